// The worker thread's loop and the serving of requests.
#include "core/library_state.h"

#include <shellapi.h>
#include "core/requests_serve.h"
#include "core/runtime.h"
#include "core/worker.h"

void QUB_StartWorker() {
    qubState.workerThread = CreateThread(nullptr, 0, WorkerThreadProc, nullptr, 0, nullptr);
}

DWORD WINAPI WorkerThreadProc(LPVOID) {
    LibraryState& s = qubState;
    s.mouseTracking.store(1);
    QUB_CollectSnapRects();
    while (s.terminateState.load() == 0) {
        Sleep(1);
        QUB_PumpMessages();
        if (s.requestCode.load(std::memory_order_acquire) != 0) ServeRequest();
        if (s.startRequested.load() && !s.routineRunning.load()) {
            DragAcceptFiles(s.mainWindow, FALSE);
            s.routineRunning.store(1);
            s.startRequested.store(0);
            s.stopRequested.store(0);
            QUB_Main();
            if (s.terminateState.load() != 0) break;  // routineRunning stays 1
            s.routineRunning.store(0);
            s.stopRequested.store(0);
            DragAcceptFiles(s.mainWindow, TRUE);
        }
    }
    s.terminateState.store(2);
    QUB_PumpMessages();
    return 0;
}

namespace {

// A requester that is re-entered through its pump may post a second request as
// soon as its caller's has been served, and that one overwrites requestResult
// before the caller has read it. So the result is also written to the
// requester's own variable, whose frame lives until the requester returns.
void SetResult(int result) {
    LibraryState& s = qubState;
    s.requestResult = result;
    if (s.requestResultOut) *s.requestResultOut = result;
}

}  // namespace

void ServeRequest() {
    LibraryState& s = qubState;
    switch (s.requestCode.load(std::memory_order_acquire)) {
        case REQ_CREATE_IMAGE: SetResult(QUB_ServeCreateImage()); break;
        case REQ_DISPLAY_IMAGE: QUB_ServeDisplayImage(); break;
        case REQ_LOAD_IMAGE: SetResult(QUB_ServeLoadImage()); break;
        case REQ_PUT_BITMAP: QUB_ServePutBitmap(); break;
        case REQ_OPEN_TEXT_WINDOW: QUB_ServeTextWindow(); break;
        case REQ_OPEN_INPUT_BOX: QUB_ServeInputBox(); break;
        case REQ_OPEN_BUTTON_BOX: QUB_ServeButtonBox(); break;
        default: break;
    }
    s.requestDone.store(1, std::memory_order_release);
    s.requestCode.store(0, std::memory_order_release);
}
