#include "tests/win/process_support.h"

#include <algorithm>
#include <cstdio>

std::wstring WindowsPath(const char* path) {
    std::wstring out;
    if (path[0] == '/') out = L"Z:";
    for (const char* p = path; *p; ++p) out += (*p == '/') ? L'\\' : static_cast<wchar_t>(*p);
    return out;
}

HANDLE StartProgram(const std::wstring& exe, const std::wstring& args,
                    const std::wstring& folder) {
    std::wstring line = L"\"" + exe + L"\"";
    if (!args.empty()) line += L" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindWindowW(className, (title && *title) ? title : nullptr);
        if (w) return w;
        if (GetTickCount() - start > ms) return nullptr;
        Sleep(20);
    }
}

namespace {

struct FindByProcess {
    DWORD pid;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchProcessWindow(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<FindByProcess*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t cls[64] = L"";
    GetClassNameW(w, cls, 64);
    if (pid == f->pid && lstrcmpW(cls, f->className) == 0) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectText(HWND w, LPARAM lp) {
    wchar_t text[256] = L"";
    GetWindowTextW(w, text, 256);
    reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(text);
    return TRUE;
}

}  // namespace

HWND WaitForProcessWindow(HANDLE process, const wchar_t* className, DWORD ms) {
    FindByProcess f = {GetProcessId(process), className, nullptr};
    const DWORD start = GetTickCount();
    for (;;) {
        EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&f));
        if (f.found) return f.found;
        if (GetTickCount() - start > ms) return nullptr;
        Sleep(20);
    }
}

namespace {

BOOL CALLBACK CollectButton(HWND w, LPARAM lp) {
    wchar_t cls[16] = L"";
    GetClassNameW(w, cls, 16);
    if (lstrcmpiW(cls, L"Button") == 0) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

}  // namespace

std::vector<HWND> GridButtons(HWND box) {
    std::vector<HWND> buttons;
    EnumChildWindows(box, CollectButton, reinterpret_cast<LPARAM>(&buttons));
    std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    return buttons;
}

std::vector<std::wstring> ChildTexts(HWND window) {
    std::vector<std::wstring> texts;
    EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

DWORD WaitExitCode(HANDLE process, DWORD ms) {
    WaitForSingleObject(process, ms);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
}

bool WaitForChildText(HWND window, const std::wstring& text, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        const std::vector<std::wstring> texts = ChildTexts(window);
        if (std::find(texts.begin(), texts.end(), text) != texts.end()) return true;
        if (GetTickCount() - start > ms) return false;
        Sleep(20);
    }
}

std::vector<std::wstring> g_programPaths;

bool ReadProgramPaths(int argc, char** argv, int paths, const char* usage) {
    if (argc < paths + 1) {
        fprintf(stderr, "usage: %s %s\n", argv[0], usage);
        return false;
    }
    for (int i = 1; i <= paths; ++i) g_programPaths.push_back(WindowsPath(argv[i]));
    return true;
}

std::wstring FreshFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const std::wstring& file : ListFiles(folder, L"*")) DeleteFileW(file.c_str());
    return folder;
}

std::vector<std::wstring> ListFiles(const std::wstring& folder, const wchar_t* pattern) {
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((folder + L"\\" + pattern).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            files.push_back(folder + L"\\" + found.cFileName);
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return files;
}
