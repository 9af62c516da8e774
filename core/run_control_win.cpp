// Start, Stop and Exit.
#include "core/library_state.h"
#include "core/run_control.h"
#include "core/runtime.h"
#include "text/text_window.h"

namespace {

constexpr uint32_t kExitGraceMs = 2000;

// While the GUI thread waits for the worker it dispatches nothing, but it
// answers messages that the worker sends to the GUI thread's windows (the
// status line, for one); otherwise a worker caught in such a call could not
// finish and would be ended by force.
void AnswerSentMessages() {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace

void QUB_CommandStart() {
    // Start pressed while dropped files are still being opened would run the
    // routine on a half-loaded picture: it waits until they are in.
    if (qubState.filesOpening > 0) {
        qubState.startDeferred = 1;
        return;
    }
    if (qubState.routineRunning.load() == 0) qubState.startRequested.store(1);
}

// A Start held back while dropped files open is cancelled too: otherwise the
// routine would start after the Stop that was meant for it.
void QUB_CommandStop() {
    qubState.startDeferred = 0;
    qubState.stopRequested.store(1);
}

void QUB_CommandExit() {
    LibraryState& s = qubState;
    if (s.terminateState.load() != 0) return;  // Exit reached again through a nested pump
    s.lineInputActive.store(0);
    s.stopRequested.store(1);
    s.terminateState.store(1);
    QUB_CloseAllLogs();

    const uint32_t start = QUB_Milliseconds();
    DWORD code = 0;  // a worker that was never created has nothing to wait for
    while (s.workerThread && GetExitCodeThread(s.workerThread, &code) && code == STILL_ACTIVE) {
        if (QUB_ElapsedMs(QUB_Milliseconds(), start) > kExitGraceMs) break;
        AnswerSentMessages();
        Sleep(0);
    }
    if (code == STILL_ACTIVE) TerminateThread(s.workerThread, 1);
    int expected = 1;
    s.terminateState.compare_exchange_strong(expected, 2);
    if (s.workerThread) CloseHandle(s.workerThread);
    s.workerThread = nullptr;
    DestroyWindow(s.mainWindow);
}
