#include "tests/win/process_support.h"

#include <algorithm>

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
