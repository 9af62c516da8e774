// The GUI thread's side of the request hand-off.
//
// A requester waits out any pending request (possibly its own caller's, further
// down the stack, reached through the pump), writes the parameters, clears
// requestDone and publishes requestCode last. It then pumps until the worker
// reports the request served. Should the worker thread be gone (Exit, forced
// termination, a failed creation, a routine that ended the thread itself), no
// one will serve the request, so every wait also ends then.
#include "core/library_state.h"
#include "core/runtime.h"
#include "core/worker.h"

namespace {

// terminateState says so after Exit; the handle also tells of a worker that was
// never created or that ended without passing through its loop's end.
bool WorkerGone() {
    const LibraryState& s = qubState;
    if (s.terminateState.load() == 2 || s.workerThread == nullptr) return true;
    return WaitForSingleObject(s.workerThread, 0) == WAIT_OBJECT_0;
}

// Step 1: wait until no request is pending. False when the worker is gone.
bool WaitForFreeBlock() {
    while (qubState.requestCode.load(std::memory_order_acquire) != 0) {
        if (WorkerGone()) return false;
        QUB_PumpMessagesPlain();
    }
    return !WorkerGone();
}

void Publish(int code, bool expectDone, int* resultOut = nullptr) {
    qubState.requestResultOut = resultOut;
    if (expectDone) qubState.requestDone.store(0, std::memory_order_relaxed);
    qubState.requestCode.store(code, std::memory_order_release);
}

// Step 3: pump until served. False when the worker ended first.
bool WaitServed() {
    while (qubState.requestDone.load(std::memory_order_acquire) == 0) {
        if (WorkerGone()) {
            // It may have been served just before the worker ended.
            if (qubState.requestDone.load(std::memory_order_acquire) != 0) return true;
            // Nobody will take it now: withdraw it so that the block is free.
            qubState.requestCode.store(0, std::memory_order_release);
            qubState.requestDone.store(1, std::memory_order_release);
            return false;
        }
        QUB_PumpMessagesPlain();
    }
    return true;
}

}  // namespace

int QUB_RequestCreateImage(int n, const char* title, int width, int height, int depth) {
    if (!WaitForFreeBlock()) return kRequestWorkerGone;
    LibraryState& s = qubState;
    s.requestSlot = n;
    s.requestTitle = title;
    s.requestX = -1;
    s.requestY = -1;
    s.requestWidth = width;
    s.requestHeight = height;
    s.requestZoom = 100;
    s.requestDepth = depth;
    int result = kRequestWorkerGone;
    Publish(REQ_CREATE_IMAGE, true, &result);
    if (!WaitServed()) return kRequestWorkerGone;
    return result;
}

void QUB_RequestDisplayImage(int n) {
    if (!WaitForFreeBlock()) return;
    qubState.requestSlot = n;
    Publish(REQ_DISPLAY_IMAGE, false);
}

int QUB_RequestLoadImageWide(int n, const char* file, const wchar_t* fileWide) {
    if (!WaitForFreeBlock()) return kRequestWorkerGone;
    LibraryState& s = qubState;
    s.requestSlot = n;
    s.requestFile = file;
    s.requestFileWide = fileWide;
    s.requestX = 0;
    s.requestY = 0;
    int result = kRequestWorkerGone;
    Publish(REQ_LOAD_IMAGE, true, &result);
    if (!WaitServed()) return kRequestWorkerGone;
    return result;
}

int QUB_RequestLoadImage(int n, const char* file) {
    return QUB_RequestLoadImageWide(n, file, nullptr);
}

void QUB_RequestPutBitmap(HBITMAP bitmap, int n) {
    if (!WaitForFreeBlock()) {
        DeleteObject(bitmap);  // the bitmap was handed over; do not leak it
        return;
    }
    qubState.requestSlot = n;
    qubState.requestBitmap = bitmap;
    Publish(REQ_PUT_BITMAP, true);
    if (!WaitServed()) DeleteObject(bitmap);  // withdrawn unserved: it is still ours
}

void QUB_RequestTextWindowAt(int n, int x, int y, int w, int h) {
    LibraryState& s = qubState;
    if (n >= 0 && n < kTextSlots && s.textWindows[n].inUse) {
        SetForegroundWindow(s.textWindows[n].window);
        return;
    }
    if (!WaitForFreeBlock()) return;
    s.requestSlot = n;
    s.requestX = x;
    s.requestY = y;
    s.requestWidth = w;
    s.requestHeight = h;
    Publish(REQ_OPEN_TEXT_WINDOW, true);
    WaitServed();
}

void QUB_RequestTextWindow(int n) { QUB_RequestTextWindowAt(n, -1, -1, -1, -1); }

void QUB_RequestInputBox(int count) {
    if (!WaitForFreeBlock()) return;
    LibraryState& s = qubState;
    s.requestSlot = count;
    s.requestX = 0;
    s.requestY = 0;
    Publish(REQ_OPEN_INPUT_BOX, true);
    WaitServed();
}

void QUB_RequestButtonBox(int nx, int ny) {
    if (!WaitForFreeBlock()) return;
    LibraryState& s = qubState;
    s.requestWidth = nx;
    s.requestHeight = ny;
    s.requestX = 0;
    s.requestY = 0;
    Publish(REQ_OPEN_BUTTON_BOX, true);
    WaitServed();
}
