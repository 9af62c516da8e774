// What the worker does for each request.
#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "core/library_state.h"
#include "core/requests_serve.h"
#include "image/image_clipboard.h"
#include "image/image_file.h"
#include "image/image_window.h"
#include "text/text_window.h"

namespace {

constexpr int kSlotOutOfRange = 4;
constexpr int kLoadSlotClosed = 2;  // as QUB_LoadImage on a closed current slot

}  // namespace

int QUB_ServeCreateImage() {
    const LibraryState& s = qubState;
    if (static_cast<unsigned>(s.requestSlot) >= kImageSlots) return kSlotOutOfRange;
    const int x = s.requestX, y = s.requestY;
    if (s.requestDepth == 8)
        return QUB_CreateImage8(s.requestSlot, s.requestTitle, x, y, s.requestWidth,
                                s.requestHeight, s.requestZoom);
    return QUB_CreateImageDepth(s.requestSlot, s.requestTitle, x, y, s.requestWidth,
                                s.requestHeight, s.requestZoom, s.requestDepth);
}

void QUB_ServeDisplayImage() { QUB_DisplayImage(qubState.requestSlot); }

int QUB_ServeLoadImage() {
    const LibraryState& s = qubState;
    // The window may have been closed since it was made (the worker pumps in
    // between): then the picture must not land in whichever window is current.
    if (QUB_SelectImage(s.requestSlot) != 0) return kLoadSlotClosed;
    int result = QUB_LoadImageWide(s.requestFile, s.requestFileWide, s.requestX, s.requestY);
    QUB_RestoreImage();
    return result;
}

void QUB_ServePutBitmap() {
    const LibraryState& s = qubState;
    if (s.requestSlot < 0 || s.requestSlot == s.currentImage) {
        QUB_PutBitmap(s.requestBitmap);
        return;
    }
    // As for a load: a window closed since it was made takes nothing, and
    // the bitmap, handed over, is still deleted.
    if (QUB_SelectImage(s.requestSlot) != 0) {
        DeleteObject(s.requestBitmap);
        return;
    }
    QUB_PutBitmap(s.requestBitmap);
    QUB_RestoreImage();
}

void QUB_ServeTextWindow() {
    const LibraryState& s = qubState;
    const int n = s.requestSlot;
    if (static_cast<unsigned>(n) < kTextSlots)
        QUB_OpenTextWindow(n, s.requestX, s.requestY, s.requestWidth, s.requestHeight);
}

void QUB_ServeInputBox() {
    if (qubState.inputBox.window) QUB_CloseInputBox();
    QUB_OpenInputBox(qubState.requestX, qubState.requestY, qubState.requestSlot);
}

void QUB_ServeButtonBox() {
    const LibraryState& s = qubState;
    if (s.buttonBox.window) QUB_DestroyButtonBox();
    QUB_OpenButtonBox(s.requestX, s.requestY, s.requestWidth, s.requestHeight);
}
