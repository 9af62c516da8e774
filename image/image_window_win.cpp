// Image windows: the slot table, creation and destruction of the window with
// its DIB-section buffer, redisplay, the current window and the palette.
#include "image/image_window.h"

#include <cstdlib>
#include <cstring>

#include "core/library_state.h"
#include "core/runtime.h"
#include "core/text_convert_win.h"
#include "core/window_place_win.h"
#include "image/buffer_layout.h"
#include "image/image_title.h"

namespace {

constexpr int kSlotOutOfRange = 4;
constexpr int kSlotTaken = 1;
constexpr int kNoFit = 2;
constexpr int kNoBuffer = 3;
constexpr DWORD kImageWindowStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU;

bool IsOpen(int n) { return n >= 0 && n < kImageSlots && qubState.images[n].inUse; }

// The description a buffer is made from: header plus the grey ramp.
struct BufferDescription {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

void DescribeBuffer(BufferDescription& d, int width, int height, int depth) {
    std::memset(&d, 0, sizeof d);
    d.header.biSize = sizeof(BITMAPINFOHEADER);
    d.header.biWidth = width;
    d.header.biHeight = -height;  // negative: rows run top-down
    d.header.biPlanes = 1;
    d.header.biBitCount = static_cast<WORD>(depth);
    d.header.biCompression = BI_RGB;
    for (int i = 0; i < 256; ++i) {
        const BYTE v = static_cast<BYTE>(i);
        d.colours[i] = {v, v, v, 0};
    }
}

void PrepareDC(HDC dc) {
    SetStretchBltMode(dc, COLORONCOLOR);
    SetBrushOrgEx(dc, 0, 0, nullptr);
}

char* CopyTitle(const char* title) {
    const char* text = title ? title : "";
    const size_t n = std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(n + 1));
    if (copy) std::memcpy(copy, text, n + 1);
    return copy;
}

void ReleaseWindowParts(ImageWindowRecord& r) {
    QUB_FreeReducedCopy(r);
    if (r.memoryDC) {
        if (r.savedBitmap) SelectObject(r.memoryDC, r.savedBitmap);
        DeleteDC(r.memoryDC);
    }
    if (r.dib) DeleteObject(r.dib);
    if (r.windowDC) ReleaseDC(r.window, r.windowDC);
    std::free(r.title);
    if (r.window) DestroyWindow(r.window);
    r.memoryDC = r.windowDC = nullptr;
    r.dib = r.savedBitmap = nullptr;
    r.title = nullptr;
    r.window = nullptr;
}

}  // namespace

int QUB_CreateImageDepth(int n, const char* title, int x, int y, int width, int height, int zoom,
                         int depth, bool placeGiven) {
    if (n < 0 || n >= kImageSlots) return kSlotOutOfRange;
    LibraryState& s = qubState;
    ImageWindowRecord& r = s.images[n];
    if (r.inUse) return kSlotTaken;
    if (depth != 8 && depth != 32) return kNoBuffer;

    // A closed slot's handles were released; forget them so that a failure
    // below releases only what this creation made.
    r.window = nullptr;
    r.memoryDC = r.windowDC = nullptr;
    r.dib = r.savedBitmap = nullptr;
    r.title = nullptr;
    QUB_ForgetReducedCopy(r);
    r.depth = depth;
    r.width = QUB_AtLeastOne(width);
    r.height = QUB_AtLeastOne(height);
    ZoomFit fit;
    if (QUB_FitZoom(r.width, r.height, zoom, QUB_ReadZoomLimits(), &fit) != kZoomFitted)
        return kNoFit;
    // A buffer whose size overflows the layout arithmetic is refused before a
    // window appears for it.
    int64_t bytes = 0;
    if (!QUB_BufferBytes(r.width, r.height, depth, &bytes)) return kNoBuffer;
    r.zoom = fit.zoom;
    r.displayWidth = fit.displayWidth;
    r.displayHeight = fit.displayHeight;

    RECT outer = {0, 0, r.displayWidth, r.displayHeight};
    AdjustWindowRect(&outer, kImageWindowStyle, FALSE);
    r.title = CopyTitle(title);
    if (!r.title) return kNoBuffer;
    char caption[kImageTitleBytes];
    QUB_FormatImageTitle(caption, r.title, r.zoom, depth, false, QUB_IsAnsiLeadByte);

    const bool xDefault = x == -1 && !placeGiven, yDefault = y == -1 && !placeGiven;
    r.window = CreateWindowExW(0, L"qub_iw", WideText(caption), kImageWindowStyle,
                               QUB_CreationX(x, xDefault, yDefault),
                               QUB_CreationY(y, xDefault, yDefault), outer.right - outer.left,
                               outer.bottom - outer.top, s.mainWindow, nullptr, s.instance, nullptr);
    if (!r.window) {
        ReleaseWindowParts(r);
        return kNoBuffer;
    }
    QUB_SettleWindowPlace(r.window, x, y, xDefault, yDefault);
    UpdateWindow(r.window);
    SetForegroundWindow(r.window);
    DragAcceptFiles(r.window, TRUE);

    r.windowDC = GetDC(r.window);
    PrepareDC(r.windowDC);
    r.memoryDC = CreateCompatibleDC(r.windowDC);
    if (r.memoryDC) PrepareDC(r.memoryDC);

    BufferDescription description;
    DescribeBuffer(description, r.width, r.height, depth);
    void* bits = nullptr;
    r.dib = r.memoryDC ? CreateDIBSection(r.windowDC, reinterpret_cast<BITMAPINFO*>(&description),
                                          DIB_RGB_COLORS, &bits, nullptr, 0)
                       : nullptr;
    if (!r.dib || !bits) {
        ReleaseWindowParts(r);
        return kNoBuffer;
    }
    r.savedBitmap = static_cast<HBITMAP>(SelectObject(r.memoryDC, r.dib));
    s.imageBits32[n] = static_cast<uint32_t*>(bits);
    s.imageBits8[n] = static_cast<uint8_t*>(bits);
    std::memset(bits, 0, static_cast<size_t>(bytes));

    r.inUse = 1;
    QUB_CollectSnapRects();
    QUB_SelectImage(n);
    return 0;
}

int QUB_CreateImage(int n, const char* title, int x, int y, int width, int height, int zoom) {
    return QUB_CreateImageDepth(n, title, x, y, width, height, zoom, 32);
}

int QUB_CreateImage8(int n, const char* title, int x, int y, int width, int height, int zoom) {
    return QUB_CreateImageDepth(n, title, x, y, width, height, zoom, 8);
}

bool QUB_StillHoldsImage(int n, HWND window) {
    if (!window || QUB_FindImageSlot(window) != n) return false;
    if (qubState.currentImage != n) QUB_SelectImage(n);
    return true;
}

void QUB_RepaintImage(int n) {
    if (IsOpen(n)) InvalidateRect(qubState.images[n].window, nullptr, FALSE);
}

int QUB_CreateImageInFreeSlot(const char* title, int x, int y, int width, int height, int zoom,
                              int depth) {
    for (int n = 0; n < kImageSlots; ++n) {
        const int result = QUB_CreateImageDepth(n, title, x, y, width, height, zoom, depth);
        if (result == 0) return n;
        if (result != kSlotTaken) break;
    }
    return -1;
}

int QUB_DestroyImage(int n) {
    if (!IsOpen(n)) return 1;
    ImageWindowRecord& r = qubState.images[n];
    r.inUse = 0;
    ReleaseWindowParts(r);
    QUB_CollectSnapRects();
    return 0;
}

int QUB_SelectImage(int n) {
    if (!IsOpen(n)) return 1;
    LibraryState& s = qubState;
    for (int i = kHistoryDepth - 1; i > 0; --i) s.imageHistory[i] = s.imageHistory[i - 1];
    s.imageHistory[0] = s.currentImage;
    s.currentImage = n;
    return 0;
}

int QUB_RestoreImage() {
    LibraryState& s = qubState;
    const int m = s.imageHistory[0];
    if (!IsOpen(m)) return 1;
    s.currentImage = m;
    for (int i = 0; i < kHistoryDepth - 1; ++i) s.imageHistory[i] = s.imageHistory[i + 1];
    return 0;
}

int QUB_FindImageSlot(HWND window) {
    for (int n = 0; n < kImageSlots; ++n)
        if (qubState.images[n].inUse && qubState.images[n].window == window) return n;
    return -1;
}

int QUB_SelectImageByWindow(HWND window) {
    const int n = QUB_FindImageSlot(window);
    QUB_SelectImage(n);
    return n;
}

int QUB_SetPalette(const uint32_t* colours, int count) {
    const int n = qubState.currentImage;
    if (!IsOpen(n)) return 1;
    const ImageWindowRecord& r = qubState.images[n];
    if (r.depth != 8) return 2;
    if (count > 256) count = 256;
    if (count > 0 && colours)
        SetDIBColorTable(r.memoryDC, 0, static_cast<UINT>(count),
                         reinterpret_cast<const RGBQUAD*>(colours));
    InvalidateRect(r.window, nullptr, FALSE);
    return 0;
}

int QUB_GetPalette(uint32_t* colours) {
    const int n = qubState.currentImage;
    if (!IsOpen(n)) return 1;
    const ImageWindowRecord& r = qubState.images[n];
    if (r.depth != 8) return 2;
    GetDIBColorTable(r.memoryDC, 0, 256, reinterpret_cast<RGBQUAD*>(colours));
    return 0;
}
