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
    std::wstring line = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

bool Poll(const std::function<bool()>& done, DWORD ms) {
    for (const DWORD start = GetTickCount(); !done(); Sleep(20))
        if (GetTickCount() - start > ms) return false;
    return true;
}

namespace {

std::wstring ClassName(HWND w) {
    wchar_t name[64] = L"";
    GetClassNameW(w, name, 64);
    return name;
}

BOOL CALLBACK CollectWindow(HWND w, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(w);
    return TRUE;
}

// The children of `window`, or the top-level windows when it is null.
std::vector<HWND> Children(HWND window) {
    std::vector<HWND> children;
    if (window) EnumChildWindows(window, CollectWindow, reinterpret_cast<LPARAM>(&children));
    else EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&children));
    return children;
}

}  // namespace

HWND WaitForProcessWindow(HANDLE process, const wchar_t* className, DWORD ms) {
    HWND found = nullptr;
    Poll([&] {
        for (HWND w : Children(nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (!found && pid == GetProcessId(process) && ClassName(w) == className) found = w;
        }
        return found != nullptr;
    }, ms);
    return found;
}

std::vector<HWND> GridButtons(HWND box) {
    std::vector<HWND> buttons;
    for (HWND w : box ? Children(box) : std::vector<HWND>{})
        if (lstrcmpiW(ClassName(w).c_str(), L"Button") == 0) buttons.push_back(w);
    std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    return buttons;
}

bool WaitForChildText(HWND window, const std::wstring& text, DWORD ms) {
    return Poll([&] {
        for (HWND w : Children(window)) {
            wchar_t shown[256] = L"";
            GetWindowTextW(w, shown, 256);
            if (text == shown) return true;
        }
        return false;
    }, ms);
}

DWORD WaitExitCode(HANDLE process, DWORD ms) {
    WaitForSingleObject(process, ms);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return code;
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
