#include "tests/win/win_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/runtime.h"

std::function<void()> g_testRoutine;

namespace {

// Counts the routine's starts: a short routine may have returned before the
// GUI thread looks at routineRunning, but never before it is counted.
std::atomic<int> g_routineStarts{0};

MenuSpy* g_spy = nullptr;

}  // namespace

void QUB_Main() {
    ++g_routineStarts;
    if (g_testRoutine) g_testRoutine();
}

bool PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs) {
    const uint32_t start = QUB_Milliseconds();
    while (!done()) {
        if (QUB_ElapsedMs(QUB_Milliseconds(), start) > timeoutMs) return false;
        QUB_PumpMessagesPlain();
        Sleep(1);
    }
    return true;
}

void PumpFor(uint32_t ms) {
    PumpUntil([] { return false; }, ms);
}

void SendMainCommand(int id) {
    SendMessageW(qubState.mainWindow, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

bool StartRoutine() {
    const int before = g_routineStarts.load();
    SendMainCommand(kCmdStart);
    return PumpUntil([before] { return g_routineStarts.load() > before; });
}

bool StopRoutine() {
    SendMainCommand(kCmdStop);
    return PumpUntil([] { return qubState.routineRunning.load() == 0; });
}

int RunWinTests(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const int startCode = QUB_StartUp(GetModuleHandleW(nullptr));
    if (startCode != 0) {
        fprintf(stderr, "library start-up failed with %d\n", startCode);
        return 100 + startCode;
    }
    const int result = RUN_ALL_TESTS();
    if (IsWindow(qubState.mainWindow)) {
        g_testRoutine = nullptr;
        SendMainCommand(kCmdExit);
    }
    QUB_RunMessageLoop();
    QUB_ShutDown();
    return result;
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

void SetKeyState(int key, bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[key] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

std::string ClipboardText() {
    std::string text = "<none>";
    if (!OpenClipboard(nullptr)) return "<closed>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) text = p;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::vector<std::wstring> MenuLines(HMENU menu) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = L"";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_FTYPE | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 256;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            lines.push_back(L"-");
            continue;
        }
        if (info.hSubMenu) {
            lines.push_back(L">" + std::wstring(text));
            for (const std::wstring& line : MenuLines(info.hSubMenu)) lines.push_back(line);
            lines.push_back(L"<");
            continue;
        }
        std::wstring line = std::to_wstring(info.wID) + L" " + text;
        if (info.fState & MFS_GRAYED) line += L" [grey]";
        if (info.fState & MFS_CHECKED) line += L" [check]";
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::wstring> ExpectedMenu(product::MenuTexts menu,
                                       const std::function<bool(product::MenuMark)>& marked, int a,
                                       int b) {
    std::vector<std::wstring> lines;
    for (const product::MenuText* m = menu.items; m < menu.items + menu.count; ++m) {
        if (m->text == nullptr) {
            lines.push_back(L"-");
            continue;
        }
        char text[256];
        if (strstr(m->text, "%d")) snprintf(text, sizeof text, m->text, a, b);
        else snprintf(text, sizeof text, "%s", m->text);
        if (m->submenu) {
            lines.push_back(L">" + std::wstring(text, text + strlen(text)));
            for (const std::wstring& line :
                 ExpectedMenu({m->submenu, m->submenuCount}, marked, a, b))
                lines.push_back(line);
            lines.push_back(L"<");
            continue;
        }
        std::wstring line = std::to_wstring(m->id) + L" " + std::wstring(text, text + strlen(text));
        if (m->mark != product::kPlain && marked && marked(m->mark))
            line += m->mark == product::kGreyable ? L" [grey]" : L" [check]";
        lines.push_back(line);
    }
    return lines;
}

MenuSpy::MenuSpy(HWND window) : window_(window) {
    g_spy = this;
    old_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MenuSpy::Proc)));
}

MenuSpy::~MenuSpy() {
    if (IsWindow(window_))
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_));
    g_spy = nullptr;
}

LRESULT CALLBACK MenuSpy::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITMENUPOPUP) {
        g_spy->lines_ = MenuLines(reinterpret_cast<HMENU>(wParam));
        ++g_spy->seen_;
        // The menu is modal: it is closed from inside its own loop.
        PostMessageW(window, WM_CANCELMODE, 0, 0);
        EndMenu();
    }
    return CallWindowProcW(g_spy->old_, window, message, wParam, lParam);
}

std::vector<std::wstring> MenuSpy::Open(UINT message, LPARAM at) {
    const int before = seen_.load();
    lines_.clear();
    SendMessageW(window_, message, message == WM_NCRBUTTONDOWN ? HTCAPTION : MK_RBUTTON, at);
    return seen_.load() > before ? lines_ : std::vector<std::wstring>{};
}

DWORD WorkerEndCode(const std::function<void()>& ending) {
    HANDLE worker = nullptr;
    DuplicateHandle(GetCurrentProcess(), qubState.workerThread, GetCurrentProcess(), &worker, 0,
                    FALSE, DUPLICATE_SAME_ACCESS);
    ending();
    PumpUntil([] { return qubState.quitReceived.load() != 0; }, 5000);
    DWORD code = STILL_ACTIVE;
    WaitForSingleObject(worker, 1000);
    GetExitCodeThread(worker, &code);
    CloseHandle(worker);
    return code;
}
