// Loading pictures into the current image window and saving it, through GDI+.
//
// A save never leaves a half-written or undecodable file under the name it
// reports as saved: the encoder writes a temporary file beside the target,
// the file is decoded back and checked for its size, and only then renamed
// over the target. Wine's GIF encoder, for one, answers Ok for a 24-bit
// bitmap and writes 24 bytes; GIF is therefore always written from 8-bit
// indexed pixels.
#include "image/image_file.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "core/library_state.h"
#include "core/text_convert_win.h"
#include "image/buffer_layout.h"
#include "image/gdi_guards_win.h"
#include "image/image_window.h"
#include "image/palette_reduce.h"
#include "image/picture_read_win.h"
#include "image/stereo_file_win.h"

namespace {

namespace gp = Gdiplus::DllExports;
using Gdiplus::GpBitmap;
using Gdiplus::GpImage;
using Gdiplus::Ok;
using qub_gdi::ScopedGpImage;

constexpr int kLoaded = 0, kNotAPicture = 1, kLoadNoWindow = 2;
constexpr int kSaved = 0, kSaveFailed = 1, kSaveBadSize = 2, kSaveNoWindow = 3;
// 8-bit saves declare 2834 pixels per metre. 72 dpi is 2834.6, which an
// encoder that rounds writes as 2835; this is 2834.4, right either way.
constexpr Gdiplus::REAL kDibDpi = 71.99376f;

bool CurrentOpen() {
    const int n = qubState.currentImage;
    return n >= 0 && n < kImageSlots && qubState.images[n].inUse;
}

// Replaces the leading palette entries of the current (8-bit) window with the
// picture's own palette, if it has one.
void TakePicturePalette(GpImage* image) {
    INT size = 0;
    if (gp::GdipGetImagePaletteSize(image, &size) != Ok || size <= static_cast<INT>(sizeof(UINT) * 2))
        return;
    std::vector<unsigned char> raw(static_cast<size_t>(size));
    auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(raw.data());
    if (gp::GdipGetImagePalette(image, palette, size) != Ok) return;
    // The count comes from the file; never read past what GDI+ returned.
    const size_t room = (static_cast<size_t>(size) - offsetof(Gdiplus::ColorPalette, Entries)) / 4;
    UINT count = palette->Count;
    if (count > room) count = static_cast<UINT>(room);
    if (count > 256) count = 256;
    uint32_t colours[256];
    for (UINT i = 0; i < count; ++i) colours[i] = palette->Entries[i] & 0x00FFFFFFu;
    if (count > 0) QUB_SetPalette(colours, static_cast<int>(count));
}

// A GDI+ bitmap of the rectangle (0, 0, w, h) of the current window, in the
// form the encoder of `type` writes correctly. `keep` holds pixel memory that
// must outlive the bitmap.
struct SaveSource {
    ScopedGpImage bitmap;
    std::vector<unsigned char> keep;
    HBITMAP dib = nullptr;
    ~SaveSource() {
        bitmap.Reset();
        if (dib) DeleteObject(dib);
    }
};

bool MakeSource24(int w, int h, SaveSource& out) {
    const LibraryState& s = qubState;
    const ImageWindowRecord& r = s.images[s.currentImage];
    const uint32_t* pixels = s.imageBits32[s.currentImage];
    if (w != r.width || h != r.height) {
        out.keep.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
        QUB_ReadRect32(pixels, r.width, r.height, 0, 0, w, h,
                       reinterpret_cast<uint32_t*>(out.keep.data()));
        pixels = reinterpret_cast<const uint32_t*>(out.keep.data());
    }
    GpBitmap* wrapped = nullptr;
    if (gp::GdipCreateBitmapFromScan0(w, h, 4 * w, PixelFormat32bppRGB,
                                      reinterpret_cast<BYTE*>(const_cast<uint32_t*>(pixels)),
                                      &wrapped) != Ok)
        return false;
    ScopedGpImage wrappedGuard(wrapped);
    GpBitmap* clone = nullptr;
    if (gp::GdipCloneBitmapAreaI(0, 0, w, h, PixelFormat24bppRGB, wrapped, &clone) != Ok)
        return false;
    out.bitmap.image = clone;
    std::vector<unsigned char>().swap(out.keep);
    return true;
}

bool SetGpPalette(GpBitmap* bitmap, const uint32_t* colours, int count) {
    std::vector<unsigned char> raw(sizeof(Gdiplus::ColorPalette) + 256 * sizeof(Gdiplus::ARGB));
    auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(raw.data());
    palette->Flags = 0;
    palette->Count = static_cast<UINT>(count);
    for (int i = 0; i < count; ++i) palette->Entries[i] = 0xFF000000u | (colours[i] & 0xFFFFFFu);
    return gp::GdipSetImagePalette(bitmap, palette) == Ok;
}

// 32-bit pixels reduced to at most 256 colours, for GIF.
bool MakeSourceIndexed(int w, int h, SaveSource& out) {
    const LibraryState& s = qubState;
    const ImageWindowRecord& r = s.images[s.currentImage];
    std::vector<uint32_t> packed(static_cast<size_t>(w) * static_cast<size_t>(h));
    QUB_ReadRect32(s.imageBits32[s.currentImage], r.width, r.height, 0, 0, w, h, packed.data());
    const int stride = static_cast<int>(QUB_RowStride(w, 8));
    out.keep.assign(static_cast<size_t>(stride) * static_cast<size_t>(h), 0);
    uint32_t palette[256];
    const int count = QUB_ReduceToPalette(packed.data(), w, h, out.keep.data(), stride, palette);
    GpBitmap* bitmap = nullptr;
    if (gp::GdipCreateBitmapFromScan0(w, h, stride, PixelFormat8bppIndexed, out.keep.data(),
                                      &bitmap) != Ok)
        return false;
    out.bitmap.image = bitmap;
    return SetGpPalette(bitmap, palette, count);
}

// An 8-bit window: an indexed DIB with the window's palette.
bool MakeSource8(int w, int h, SaveSource& out) {
    const LibraryState& s = qubState;
    const ImageWindowRecord& r = s.images[s.currentImage];
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } description = {};
    description.header.biSize = sizeof(BITMAPINFOHEADER);
    description.header.biWidth = w;
    description.header.biHeight = -h;
    description.header.biPlanes = 1;
    description.header.biBitCount = 8;
    description.header.biCompression = BI_RGB;
    description.header.biXPelsPerMeter = 2834;
    description.header.biYPelsPerMeter = 2834;
    QUB_GetPalette(reinterpret_cast<uint32_t*>(description.colours));
    void* bits = nullptr;
    out.dib = CreateDIBSection(r.memoryDC, reinterpret_cast<BITMAPINFO*>(&description),
                               DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!out.dib || !bits) return false;
    const int stride = static_cast<int>(QUB_RowStride(w, 8));
    QUB_ReadRect8(s.imageBits8[s.currentImage], r.width, r.height,
                  static_cast<int>(QUB_RowStride(r.width, 8)), 0, 0, w, h,
                  static_cast<uint8_t*>(bits), stride);
    GpBitmap* bitmap = nullptr;
    if (gp::GdipCreateBitmapFromGdiDib(reinterpret_cast<BITMAPINFO*>(&description), bits,
                                       &bitmap) != Ok)
        return false;
    out.bitmap.image = bitmap;
    gp::GdipBitmapSetResolution(bitmap, kDibDpi, kDibDpi);
    return true;
}

// Whether `path` decodes to a w x h picture. The image is released at once so
// that the file can be renamed.
bool DecodesAs(const wchar_t* path, int w, int h) {
    GpImage* image = nullptr;
    if (gp::GdipLoadImageFromFile(path, &image) != Ok) return false;
    ScopedGpImage guard(image);
    UINT iw = 0, ih = 0;
    gp::GdipGetImageWidth(image, &iw);
    gp::GdipGetImageHeight(image, &ih);
    return iw == static_cast<UINT>(w) && ih == static_cast<UINT>(h);
}

// Encodes `bitmap` into a temporary file beside `target`, checks it, and puts
// it in place. Nothing is left behind on failure.
bool WriteThroughTemporary(GpImage* bitmap, const wchar_t* target, const CLSID& encoder,
                           const Gdiplus::EncoderParameters* parameters, int w, int h) {
    wchar_t temp[kFileNameUnits];
    if (!QUB_TempSiblingName(target, QUB_TempTag(), temp, kFileNameUnits)) return false;
    const bool written = gp::GdipSaveImageToFile(bitmap, temp, &encoder, parameters) == Ok;
    if (!written || !DecodesAs(temp, w, h) ||
        !MoveFileExW(temp, target, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temp);
        return false;
    }
    return true;
}

// `fileName` in UTF-16, or false when it does not fit a name buffer whole.
// The conversion would cut it at a character boundary, and a cut name can be
// another file: a save would then report success for a file under a name
// nobody asked for.
bool WholeName(const char* fileName, wchar_t (&out)[kFileNameUnits]) {
    wchar_t wide[kFileNameUnits + 1];
    const int units = QUB_ToWide(fileName, wide, kFileNameUnits + 1);
    if (units >= kFileNameUnits) return false;
    std::wmemcpy(out, wide, static_cast<size_t>(units) + 1);
    return true;
}

}  // namespace

int QUB_LoadImageWide(const char* fileName, const wchar_t* fileNameWide, int x, int y) {
    if (!CurrentOpen()) return kLoadNoWindow;
    const LibraryState& s = qubState;
    const ImageWindowRecord& r = s.images[s.currentImage];
    wchar_t converted[kFileNameUnits];
    const wchar_t* name = fileNameWide;
    if (!name) {
        if (!WholeName(fileName, converted)) return kNotAPicture;
        name = converted;
    }
    // The platform decoders are handed only files the probe found sound.
    const PictureFile file = QUB_ReadPictureFile(name);
    const PairKind pairKind = QUB_PairKindFromName(name);
    if (pairKind != kPairNone) return QUB_LoadPair(file, pairKind, x, y);
    GpImage* loaded = QUB_DecodePicture(file);
    if (loaded == nullptr) return kNotAPicture;
    ScopedGpImage image(loaded);
    UINT width = 0, height = 0;
    gp::GdipGetImageWidth(loaded, &width);
    gp::GdipGetImageHeight(loaded, &height);
    if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX) return kNotAPicture;

    if (r.depth == 32 && file.probe.format == kPictureJpeg &&
        QUB_DecodeInto32(loaded, 0, 0, static_cast<int>(width), static_cast<int>(height), x, y))
        return kLoaded;
    if (r.depth == 8) TakePicturePalette(loaded);
    qub_gdi::ScopedGraphics graphics;
    if (gp::GdipCreateFromHDC(r.memoryDC, &graphics.graphics) != Ok) return kNotAPicture;
    const Gdiplus::GpStatus drawn =
        gp::GdipDrawImageRectI(graphics.graphics, loaded, x, y, static_cast<INT>(width),
                               static_cast<INT>(height));
    GdiFlush();  // the buffer is read directly after this
    if (r.depth == 32)
        QUB_ClearTopBytes(s.imageBits32[s.currentImage], r.width, r.height, x, y,
                          static_cast<int>(width), static_cast<int>(height));
    return drawn == Ok ? kLoaded : kNotAPicture;
}

int QUB_LoadImage(const char* fileName, int x, int y) {
    return QUB_LoadImageWide(fileName, nullptr, x, y);
}

int QUB_AppendExtension(wchar_t* fileName, const wchar_t* extension) {
    return QUB_AppendExtensionTo(fileName, kFileNameUnits, extension) ? 0 : 1;
}

void QUB_ReadRect(void* destination, int x0, int y0, int w, int h) {
    if (!CurrentOpen() || !destination) return;
    GdiFlush();  // GDI may still hold drawing into the buffer in its batch
    const LibraryState& s = qubState;
    const int n = s.currentImage;
    const ImageWindowRecord& r = s.images[n];
    if (r.depth == 32)
        QUB_ReadRect32(s.imageBits32[n], r.width, r.height, x0, y0, w, h,
                       static_cast<uint32_t*>(destination));
    else
        QUB_ReadRect8(s.imageBits8[n], r.width, r.height, static_cast<int>(QUB_RowStride(r.width, 8)),
                      x0, y0, w, h, static_cast<uint8_t*>(destination), w);
}

int QUB_SaveImage(int height, int width, int type, const char* fileName) {
    if (!CurrentOpen()) return kSaveNoWindow;
    if (width <= 0 || height <= 0) return kSaveBadSize;
    if (type < 0 || type >= kImageFileTypes) return kSaveFailed;
    int64_t bytes = 0;
    if (!QUB_BufferBytes(width, height, 32, &bytes)) return kSaveFailed;

    CLSID encoder;
    if (!QUB_FindEncoder(kImageFileMime[type], &encoder)) return kSaveFailed;
    wchar_t name[kFileNameUnits];
    if (!WholeName(fileName, name) || name[0] == L'\0' ||
        QUB_AppendExtension(name, kImageFileExtension[type]) != 0)
        return kSaveFailed;

    GdiFlush();  // the pixels are read from the buffer directly
    SaveSource source;
    const int depth = qubState.images[qubState.currentImage].depth;
    bool made;
    if (depth == 8)
        made = MakeSource8(width, height, source);
    else if (type == kFileGif)
        made = MakeSourceIndexed(width, height, source);
    else
        made = MakeSource24(width, height, source);
    if (!made) return kSaveFailed;

    Gdiplus::EncoderParameters quality;
    ULONG qualityValue = static_cast<ULONG>(qubState.jpegQuality);
    quality.Count = 1;
    quality.Parameter[0].Guid = Gdiplus::EncoderQuality;
    quality.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    quality.Parameter[0].NumberOfValues = 1;
    quality.Parameter[0].Value = &qualityValue;
    const Gdiplus::EncoderParameters* parameters = type == kFileJpeg ? &quality : nullptr;

    return WriteThroughTemporary(source.bitmap.image, name, encoder, parameters, width, height)
               ? kSaved
               : kSaveFailed;
}
