// A user routine that leaves a text window in a typical state for a look at
// it: coloured lines, a line that wraps, and a prompt waiting for input with
// two characters typed. It presses Start itself; Exit ends it.
#include <windows.h>

#include "core/library_state.h"
#include "core/runtime.h"
#include "text/decimal.h"
#include "text/text_window.h"

void QUB_Main() {
    QUB_OpenTextWindow(0, 200, 150, 400, 300);
    QUB_PushTextColor(0x000080, 0xFFFF00);
    QUB_Printf("******* QUBLIB text window *******\n");
    QUB_PopTextColor();
    QUB_PushTextColor(0x000000, 0x00FF00);
    QUB_Printf("[green]");
    QUB_PopTextColor();
    QUB_Printf(" white on black, then ");
    QUB_PushTextColor(0x800000, 0xFFFFFF);
    QUB_Printf("white on maroon");
    QUB_PopTextColor();
    QUB_Printf("\n");
    QUB_PushTextColor(0x000000, 0x0080FF);
    QUB_Printf("A long line that does not fit into four hundred pixels wraps at the "
               "right edge, never splitting a character.\n");
    QUB_PopTextColor();
    for (int i = 1; i <= 3; ++i) QUB_Printf("line %d of %d\n", i, 3);
    QUB_Printf("Number[X]=>");
    HWND window = qubState.textWindows[0].window;
    PostMessageW(window, WM_CHAR, '4', 0);
    PostMessageW(window, WM_CHAR, '2', 0);
    char line[kInputLineBytes];
    QUB_InputLine(line);
    QUB_Printf("read %d\n", QUB_ParseDecimal(line));
}

namespace {

// Presses Start once the main window is up, as a person would.
DWORD WINAPI PressStart(LPVOID) {
    while (qubState.mainWindow == nullptr || qubState.workerThread == nullptr) Sleep(50);
    Sleep(500);
    PostMessageW(qubState.mainWindow, WM_KEYDOWN, 'S', 0);
    return 0;
}

const HANDLE g_starter = CreateThread(nullptr, 0, PressStart, nullptr, 0, nullptr);

}  // namespace
