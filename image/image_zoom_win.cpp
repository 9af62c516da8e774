// Zoom changes, buffer resize, stretch mode and the caption that shows them.
#include "core/library_state.h"
#include "core/runtime.h"
#include "core/text_convert_win.h"
#include "image/image_title.h"
#include "image/image_window.h"

namespace {

bool IsOpen(int n) { return n >= 0 && n < kImageSlots && qubState.images[n].inUse; }

void SetModeOn(HDC dc, int mode) {
    SetStretchBltMode(dc, mode);
    SetBrushOrgEx(dc, 0, 0, nullptr);
}

}  // namespace

ZoomLimits QUB_ReadZoomLimits() {
    const int frame = GetSystemMetrics(SM_CXDLGFRAME);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    ZoomLimits limits;
    limits.minWidth = GetSystemMetrics(SM_CXMIN) - 2 * frame;
    // The horizontal frame width serves for the height too.
    limits.minHeight = GetSystemMetrics(SM_CYMIN) - 2 * frame - caption;
    limits.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    limits.screenHeight = GetSystemMetrics(SM_CYSCREEN) - caption;
    return limits;
}

void QUB_UpdateTitle(int n) {
    if (!IsOpen(n)) return;
    const ImageWindowRecord& r = qubState.images[n];
    char caption[kImageTitleBytes];
    QUB_FormatImageTitle(caption, r.title, r.zoom, r.depth,
                         GetStretchBltMode(r.memoryDC) == HALFTONE, QUB_IsAnsiLeadByte);
    SetWindowTextW(r.window, WideText(caption));
}

int QUB_GetStretchMode(int n) {
    if (!IsOpen(n)) return 0;
    return GetStretchBltMode(qubState.images[n].windowDC);
}

int QUB_SetStretchMode(int n, int mode) {
    if (!IsOpen(n)) return 1;
    const ImageWindowRecord& r = qubState.images[n];
    if (mode == COLORONCOLOR || mode == HALFTONE) {
        SetModeOn(r.windowDC, mode);
        SetModeOn(r.memoryDC, mode);
    }
    InvalidateRect(r.window, nullptr, FALSE);
    QUB_UpdateTitle(n);
    return 0;
}

int QUB_SetZoom(int n, int zoom) {
    if (!IsOpen(n)) return 1;
    ImageWindowRecord& r = qubState.images[n];
    // Closed while the window changes size: a paint arriving meanwhile draws nothing.
    r.inUse = 0;
    ZoomFit fit;
    if (QUB_FitZoom(r.width, r.height, zoom, QUB_ReadZoomLimits(), &fit) != kZoomFitted) {
        r.inUse = 1;
        return 2;
    }
    r.zoom = fit.zoom;
    RECT outer;
    GetWindowRect(r.window, &outer);
    // The frame keeps its real thickness: only the client part changes.
    const int outerW = outer.right - outer.left + fit.displayWidth - r.displayWidth;
    const int outerH = outer.bottom - outer.top + fit.displayHeight - r.displayHeight;
    SetWindowPos(r.window, nullptr, 0, 0, outerW, outerH,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_SHOWWINDOW);
    r.displayWidth = fit.displayWidth;
    r.displayHeight = fit.displayHeight;
    r.inUse = 1;
    InvalidateRect(r.window, nullptr, FALSE);
    QUB_UpdateTitle(n);
    QUB_CollectSnapRects();
    return 0;
}

int QUB_ResizeImage(int n, int width, int height) {
    if (!IsOpen(n)) return 1;
    const ImageWindowRecord& r = qubState.images[n];
    char title[256];
    QUB_CopyNarrow(title, sizeof title, r.title ? r.title : "", QUB_IsAnsiLeadByte);
    const int depth = r.depth;
    const int zoom = r.zoom;
    RECT outer;
    GetWindowRect(r.window, &outer);
    const int mode = GetStretchBltMode(r.windowDC);
    RGBQUAD palette[256];
    if (depth == 8) GetDIBColorTable(r.memoryDC, 0, 256, palette);

    QUB_DestroyImage(n);
    const int created =
        QUB_CreateImageDepth(n, title, outer.left, outer.top, width, height, zoom, depth, true);
    if (created != 0) return created;
    if (depth == 8) SetDIBColorTable(qubState.images[n].memoryDC, 0, 256, palette);
    QUB_SetStretchMode(n, mode);
    return 0;
}
