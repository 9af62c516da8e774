// Clipboard pictures: the copy of a window as CF_DIB, the reading of whatever
// picture another program left, and the paste into a window.
#include "image/image_clipboard.h"

#include <cstring>
#include <memory>
#include <new>

#include "core/library_state.h"
#include "core/runtime.h"
#include "image/buffer_layout.h"
#include "image/dib_block.h"
#include "image/gdi_guards_win.h"
#include "image/image_window.h"
#include "imgproc/pick_tools.h"
#include "imgproc/transforms.h"

namespace {

bool SlotOpen(int n) { return n >= 0 && n < kImageSlots && qubState.images[n].inUse; }

// Opens the clipboard for as long as it lives.
struct ClipboardOpen {
    bool open;
    explicit ClipboardOpen(HWND owner) : open(QUB_OpenClipboard(owner)) {}
    ~ClipboardOpen() {
        if (open) CloseClipboard();
    }
    ClipboardOpen(const ClipboardOpen&) = delete;
    ClipboardOpen& operator=(const ClipboardOpen&) = delete;
};

// The clipboard's picture as the library reads it: a 32-bit top-down DIB
// section, and for pictures of 8 bits or fewer their indices and colour table
// too, so that a paste into an 8-bit window keeps the indices exactly.
struct ClipPicture {
    HBITMAP bitmap = nullptr;
    uint32_t* pixels = nullptr;  // the section's bits, 0x00RRGGBB
    int width = 0, height = 0;
    std::unique_ptr<uint8_t[]> indices;  // width x height, rows packed
    RGBQUAD palette[256] = {};
    int count = 0;
    ClipPicture() = default;
    ClipPicture(const ClipPicture&) = delete;
    ClipPicture& operator=(const ClipPicture&) = delete;
    ~ClipPicture() {
        if (bitmap) DeleteObject(bitmap);
    }
    HBITMAP Release() {
        HBITMAP b = bitmap;
        bitmap = nullptr;
        return b;
    }
};

bool MakeSection(ClipPicture* p, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    p->bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (p->bitmap && !bits) {
        DeleteObject(p->bitmap);
        p->bitmap = nullptr;
    }
    if (!p->bitmap) return false;
    p->pixels = static_cast<uint32_t*>(bits);
    p->width = width;
    p->height = height;
    return true;
}

// A CF_DIB block, trusted only after QUB_CheckDibBlock agreed with GlobalSize.
bool ReadDib(HANDLE data, ClipPicture* p) {
    const size_t size = GlobalSize(data);
    const auto* block = static_cast<const uint8_t*>(GlobalLock(data));
    if (!block) return false;
    bool ok = false;
    DibLayout layout;
    if (QUB_CheckDibBlock(block, size, &layout) == kDibSound && MakeSection(p, layout.width, layout.height)) {
        QUB_DibToBgra32(block, layout, reinterpret_cast<uint8_t*>(p->pixels),
                        static_cast<size_t>(layout.width) * 4);
        GdiFlush();
        ok = true;
        if (layout.bits <= 8) {
            const size_t n = static_cast<size_t>(layout.width) * static_cast<size_t>(layout.height);
            p->indices.reset(new (std::nothrow) uint8_t[n]);
            uint32_t table[256];
            if (p->indices && QUB_DibToIndex8(block, layout, p->indices.get(),
                                               static_cast<size_t>(layout.width), table)) {
                for (int k = 0; k < layout.colours; ++k)
                    p->palette[k] = {static_cast<BYTE>(table[k]), static_cast<BYTE>(table[k] >> 8),
                                     static_cast<BYTE>(table[k] >> 16), 0};
                p->count = layout.colours;
            } else {
                p->indices.reset();  // the colours are still in the section
            }
        }
    }
    GlobalUnlock(data);
    return ok;
}

// A device-dependent CF_BITMAP, drawn into a section of its size.
bool ReadBitmap(HBITMAP data, ClipPicture* p) {
    BITMAP info = {};
    if (!GetObjectW(data, sizeof info, &info) || info.bmWidth < 1 || info.bmHeight < 1) return false;
    int64_t bytes = 0;
    if (!QUB_BufferBytes(info.bmWidth, info.bmHeight, 32, &bytes)) return false;
    if (!MakeSection(p, info.bmWidth, info.bmHeight)) return false;
    qub_gdi::ScopedMemoryDC from(nullptr), to(nullptr);
    if (!from.dc || !to.dc) return false;
    qub_gdi::ScopedSelectObject a(from.dc, data), b(to.dc, p->bitmap);
    BitBlt(to.dc, 0, 0, info.bmWidth, info.bmHeight, from.dc, 0, 0, SRCCOPY);
    GdiFlush();
    QUB_ClearTopBytes(p->pixels, p->width, p->height, 0, 0, p->width, p->height);
    return true;
}

// CF_DIB when offered, else CF_BITMAP. The clipboard is closed again before
// this returns.
bool ReadClipboard(ClipPicture* p) {
    const bool dib = IsClipboardFormatAvailable(CF_DIB) != 0;
    if (!dib && !IsClipboardFormatAvailable(CF_BITMAP)) return false;
    ClipboardOpen clipboard(nullptr);
    if (!clipboard.open) return false;
    HANDLE data = GetClipboardData(dib ? CF_DIB : CF_BITMAP);
    if (!data) return false;
    return dib ? ReadDib(data, p) : ReadBitmap(static_cast<HBITMAP>(data), p);
}

}  // namespace

int QUB_CopyImage(int n) {
    if (!SlotOpen(n)) return 1;
    const ImageWindowRecord& r = qubState.images[n];
    const int bits = r.depth == 8 ? 8 : 24;
    size_t bytes = 0;
    // The block is made before the clipboard is emptied, so that a copy that
    // cannot get memory leaves the clipboard as it was.
    HGLOBAL memory = QUB_DibBlockBytes(r.width, r.height, bits, &bytes)
                         ? GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes)
                         : nullptr;
    if (!memory) {
        QUB_Pause("No enough memory for copy");
        return 2;
    }
    auto* block = static_cast<uint8_t*>(GlobalLock(memory));
    if (!block) {
        GlobalFree(memory);
        return 2;
    }
    GdiFlush();  // the buffer is read directly
    if (bits == 24) {
        QUB_WriteDibBlock24(qubState.imageBits32[n], r.width, r.height, block);
    } else {
        RGBQUAD table[256] = {};
        GetDIBColorTable(r.memoryDC, 0, 256, table);
        uint32_t palette[256];
        for (int k = 0; k < 256; ++k)
            palette[k] = static_cast<uint32_t>(table[k].rgbRed) << 16 |
                         static_cast<uint32_t>(table[k].rgbGreen) << 8 | table[k].rgbBlue;
        QUB_WriteDibBlock8(qubState.imageBits8[n], r.width, r.height, QUB_Stride8(r.width), palette,
                           block);
    }
    GlobalUnlock(memory);
    // With an owner the clipboard is left consistent: a data set after
    // EmptyClipboard with no owner is refused by Windows.
    ClipboardOpen clipboard(r.window);
    if (!clipboard.open || !EmptyClipboard() || !SetClipboardData(CF_DIB, memory)) {
        GlobalFree(memory);
        return 2;
    }
    return 0;
}

HBITMAP QUB_GetClipboardBitmap(RGBQUAD* palette, int* count) {
    *count = 0;
    ClipPicture p;
    if (!ReadClipboard(&p)) return nullptr;
    for (int k = 0; k < p.count; ++k) palette[k] = p.palette[k];
    *count = p.count;
    return p.Release();
}

void QUB_PasteImage(int x, int n, int y) {
    if (!SlotOpen(n)) return;
    ClipPicture p;
    if (!ReadClipboard(&p)) return;
    const int w = p.width, h = p.height;
    if (x == -1 || y == -1) {
        int cx = 0, cy = 0;
        if (QUB_PickBoxPosition(n, w, h, &cx, &cy) != 0) return;
        x = cx - w / 2;
        y = cy - h / 2;
    }
    if (!SlotOpen(n)) return;  // the window may have gone while the user picked
    const ImageWindowRecord& r = qubState.images[n];
    // The pixels are written straight into the buffer, clipped at its edges:
    // exact, where a blit through the platform would match colours. Only a
    // picture of more colours than an 8-bit window holds is left to the
    // platform's colour matching.
    GdiFlush();
    if (p.count > 0) SetDIBColorTable(r.memoryDC, 0, static_cast<UINT>(p.count), p.palette);
    if (r.depth == 32) {
        QUB_WriteRect(reinterpret_cast<const uint8_t*>(p.pixels), static_cast<size_t>(w) * 4, w, h, 4,
                      qubState.imageBits8[n], r.width, r.height, static_cast<size_t>(r.width) * 4, x, y);
    } else if (p.indices) {
        QUB_WriteRect(p.indices.get(), static_cast<size_t>(w), w, h, 1, qubState.imageBits8[n], r.width,
                      r.height, static_cast<size_t>(QUB_Stride8(r.width)), x, y);
    } else {
        qub_gdi::ScopedMemoryDC temporary(r.memoryDC);
        if (!temporary.dc) return;
        qub_gdi::ScopedSelectObject selected(temporary.dc, p.bitmap);
        BitBlt(r.memoryDC, x, y, w, h, temporary.dc, 0, 0, SRCCOPY);
        GdiFlush();
    }
    InvalidateRect(r.window, nullptr, FALSE);
}

void QUB_PutBitmap(HBITMAP bitmap) {
    qub_gdi::ScopedGdiObject owned(bitmap);
    const LibraryState& s = qubState;
    const int n = s.currentImage;
    if (!bitmap || !SlotOpen(n)) return;
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
