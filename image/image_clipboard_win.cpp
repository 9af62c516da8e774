// Clipboard pictures: copying a bitmap handed over by the main window's paste
// into the current image window.
#include "image/image_clipboard.h"

#include "core/library_state.h"
#include "image/gdi_guards_win.h"

void QUB_PutBitmap(HBITMAP bitmap) {
    qub_gdi::ScopedGdiObject owned(bitmap);
    const LibraryState& s = qubState;
    const int n = s.currentImage;
    if (!bitmap || n < 0 || n >= kImageSlots || !s.images[n].inUse) return;
    const ImageWindowRecord& r = s.images[n];
    qub_gdi::ScopedMemoryDC temporary(r.memoryDC);
    if (!temporary.dc) return;
    BITMAP info = {};
    if (!GetObjectW(bitmap, sizeof info, &info)) return;
    {
        qub_gdi::ScopedSelectObject selected(temporary.dc, bitmap);
        BitBlt(r.memoryDC, 0, 0, info.bmWidth, info.bmHeight, temporary.dc, 0, 0, SRCCOPY);
    }
    GdiFlush();
}
