// The two message pumps. Both dispatch what waits and return when the queue is
// empty, so that their callers can poll flags in between.
#include "core/library_state.h"
#include "core/runtime.h"

namespace {

// A pump nested inside a command of the GUI thread may take the quit message
// that Exit posted. GetMessageW has then removed it, so it is remembered here
// and the main loop ends as soon as control returns to it.
void NoteQuit(const MSG& msg) {
    if (GetCurrentThreadId() != qubState.guiThreadId) return;
    qubState.quitCode = static_cast<int>(msg.wParam);
    qubState.quitReceived.store(1);
}

void Pump(bool offerToInputBox) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            if (msg.message == WM_QUIT) NoteQuit(msg);
            return;
        }
        HWND box = qubState.inputBox.window;
        if (offerToInputBox && box && IsDialogMessageW(box, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

void QUB_PumpMessages() { Pump(true); }

void QUB_PumpMessagesPlain() { Pump(false); }
