// In-process tests under Wine: the program starts the library as WinMain would
// and runs its cases on the GUI thread, each choosing the worker's routine.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/host/product_texts.h"

// What QUB_Main runs after Start; null makes it return at once.
extern std::function<void()> g_testRoutine;

// Pumps the GUI thread's queue until `done` holds (true) or `timeoutMs` passes.
bool PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs = 5000);

// Pumps the GUI thread's queue for `ms` milliseconds.
void PumpFor(uint32_t ms);

// Sends a main-window command as the menu would.
void SendMainCommand(int id);

// Presses Start and waits until the routine has started (it may have
// returned already); Stop and waits until it has returned. Both report success.
bool StartRoutine();
bool StopRoutine();

// Starts the library, runs the selected tests, then ends the library with
// Exit if a test has not done so already.
int RunWinTests(int argc, char** argv);

std::wstring WindowText(HWND window);
// Sets or clears a key in the calling thread's keyboard state.
void SetKeyState(int key, bool down);
// CF_TEXT on the clipboard ("<none>" without it).
std::string ClipboardText();

// One line per item of `menu`: "id text", "-" for a separator, and " [grey]"
// or " [check]" appended for those states; a submenu is ">text", its lines, "<".
std::vector<std::wstring> MenuLines(HMENU menu);
// The same lines for a menu as the product describes it; `marked` says
// whether an entry's mark (grey or check) applies; %d in a text takes `a`, `b`.
std::vector<std::wstring> ExpectedMenu(product::MenuTexts menu,
                                       const std::function<bool(product::MenuMark)>& marked = {},
                                       int a = 0, int b = 0);

// Subclasses `window` (of any thread of this process) and records each popup
// menu it opens, closing it again at once. Only one spy lives at a time.
class MenuSpy {
public:
    explicit MenuSpy(HWND window);
    ~MenuSpy();
    // Sends (sent: the menu is over when the call returns) `message` to the
    // window and returns the lines of the popup it opened, or none.
    std::vector<std::wstring> Open(UINT message = WM_RBUTTONDOWN, LPARAM at = MAKELPARAM(5, 5));

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_;
    WNDPROC old_;
    std::atomic<int> seen_{0};
    std::vector<std::wstring> lines_;
};

// Runs `ending`, which ends the program, pumps until the quit message came,
// and gives how the worker thread ended (waited for up to 1 s).
DWORD WorkerEndCode(const std::function<void()>& ending);
