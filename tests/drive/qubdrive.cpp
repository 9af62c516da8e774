// qubdrive: drives a running instance of the program from outside, the way a
// person would, for scripts and end-to-end tests. One action per run:
//
//   qubdrive wait CLASS [MS]          wait until a window of CLASS exists
//   qubdrive gone CLASS [MS]          wait until no window of CLASS exists
//   qubdrive key CLASS KEY            post a key press (a letter, or ESC)
//   qubdrive command CLASS ID         post WM_COMMAND ID
//   qubdrive click CLASS K [TIMES]    click push button K (row by row) of the
//                                     window of CLASS, TIMES times
//
// Exit code 0 on success, 1 on a timeout or a missing window, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "tests/win/process_support.h"

namespace {

HWND Find(const wchar_t* cls) { return FindWindowW(cls, nullptr); }

int WaitFor(const wchar_t* cls, DWORD ms, bool present) {
    const DWORD start = GetTickCount();
    while ((Find(cls) != nullptr) != present) {
        if (GetTickCount() - start > ms) return 1;
        Sleep(20);
    }
    return 0;
}

int Usage() {
    fwprintf(stderr, L"usage: qubdrive wait|gone CLASS [MS] | key CLASS KEY | command CLASS ID"
                     L" | click CLASS K [TIMES]\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return Usage();
    const wchar_t* verb = argv[1];
    const wchar_t* cls = argv[2];
    const DWORD ms = argc > 3 ? static_cast<DWORD>(wcstoul(argv[3], nullptr, 10)) : 10000;
    if (wcscmp(verb, L"wait") == 0) return WaitFor(cls, ms, true);
    if (wcscmp(verb, L"gone") == 0) return WaitFor(cls, ms, false);
    if (argc < 4) return Usage();
    HWND target = Find(cls);
    if (!target) return 1;
    if (wcscmp(verb, L"key") == 0) {
        WPARAM key = _wcsicmp(argv[3], L"ESC") == 0 ? VK_ESCAPE : towupper(argv[3][0]);
        return PostMessageW(target, WM_KEYDOWN, key, 0) ? 0 : 1;
    }
    if (wcscmp(verb, L"click") == 0) {
        const size_t k = wcstoul(argv[3], nullptr, 10);
        const int times = argc > 4 ? _wtoi(argv[4]) : 1;
        std::vector<HWND> buttons = GridButtons(target);
        if (k >= buttons.size()) return 1;
        for (int n = 0; n < times; ++n) PostMessageW(buttons[k], BM_CLICK, 0, 0);
        return 0;
    }
    if (wcscmp(verb, L"command") == 0) {
        WPARAM id = wcstoul(argv[3], nullptr, 10);
        return PostMessageW(target, WM_COMMAND, id, 0) ? 0 : 1;
    }
    return Usage();
}
