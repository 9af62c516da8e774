#include "image/picture_read_win.h"

#include <shlwapi.h>

#include <algorithm>

#include "core/library_state.h"
#include "image/buffer_layout.h"
#include "image/gdi_guards_win.h"
#include "image/image_window.h"

namespace gp = Gdiplus::DllExports;

namespace {

// A file larger than this cannot hold a picture the library could open; it
// is refused before any of it is read.
constexpr ULONGLONG kMaxPictureFileBytes = 1ull << 30;

// The first bytes read: enough for the header of every format, so that a
// picture claiming a buffer beyond the library's limit is refused without
// reading the rest of a large file.
constexpr size_t kHeadBytes = 64 * 1024;

bool ReadSpan(HANDLE file, uint8_t* at, size_t count) {
    size_t done = 0;
    while (done < count) {
        DWORD got = 0;
        const DWORD want =
            static_cast<DWORD>(count - done < (1u << 24) ? count - done : (1u << 24));
        if (ReadFile(file, at + done, want, &got, nullptr) == 0 || got == 0) return false;
        done += got;
    }
    return true;
}

// Reads the file whole into `bytes`. A picture whose header alone already
// claims too large a buffer stops the read after the head, with *refused
// holding that probe; the refusal does not depend on the rest of the file.
bool ReadWhole(const wchar_t* path, std::vector<uint8_t>* bytes, PictureProbe* refused) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(file, &size) != 0 && size.QuadPart >= 0;
    if (ok && static_cast<ULONGLONG>(size.QuadPart) > kMaxPictureFileBytes) {
        refused->verdict = kProbeTooLarge;
        ok = false;
    }
    if (ok) {
        const size_t total = static_cast<size_t>(size.QuadPart);
        const size_t head = total < kHeadBytes ? total : kHeadBytes;
        // Two spare bytes for an end marker a cut JPEG may need.
        bytes->reserve(total + 2);
        bytes->resize(head);
        ok = ReadSpan(file, bytes->data(), head);
        if (ok && head < total) {
            const PictureProbe early = QUB_ProbePicture(bytes->data(), head);
            if (early.verdict == kProbeTooLarge) {
                *refused = early;
                ok = false;
            }
        }
        if (ok) {
            bytes->resize(total);
            ok = ReadSpan(file, bytes->data() + head, total - head);
        }
    }
    CloseHandle(file);
    return ok;
}

}  // namespace

PictureFile QUB_ReadPictureFile(const wchar_t* path) {
    PictureFile f = {};
    PictureProbe refused = {};
    refused.verdict = kProbeNotAPicture;
    f.read = ReadWhole(path, &f.bytes, &refused);
    if (!f.read) {
        f.bytes.clear();
        f.probe = refused;
        f.read = refused.verdict == kProbeTooLarge;
        return f;
    }
    f.probe = QUB_ProbePicture(f.bytes.data(), f.bytes.size());
    if (f.probe.verdict == kProbeSound && f.probe.needsEndMarker) {
        f.bytes.push_back(0xFF);
        f.bytes.push_back(0xD9);
    }
    return f;
}

unsigned QUB_TempTag() {
    static LONG counter = 0;
    return static_cast<unsigned>(GetTickCount()) * 2654435761u ^ GetCurrentThreadId() ^
           static_cast<unsigned>(InterlockedIncrement(&counter));
}

Gdiplus::GpImage* QUB_DecodeBytes(const uint8_t* data, size_t size) {
    if (size == 0 || size > UINT_MAX) return nullptr;
    IStream* stream = SHCreateMemStream(data, static_cast<UINT>(size));
    if (stream == nullptr) return nullptr;
    Gdiplus::GpImage* image = nullptr;
    if (gp::GdipLoadImageFromStream(stream, &image) != Gdiplus::Ok) image = nullptr;
    // The image holds its own reference to the stream for as long as it lives.
    stream->Release();
    return image;
}

Gdiplus::GpImage* QUB_DecodePicture(const PictureFile& file) {
    if (file.probe.verdict != kProbeSound) return nullptr;
    return QUB_DecodeBytes(file.bytes.data(), file.bytes.size());
}

// A JPEG has no transparency, so drawing it at its own size is a copy of its
// pixels: they are decoded straight into the visible part of the window's
// buffer, without a second full-size bitmap.
bool QUB_DecodeInto32(Gdiplus::GpImage* picture, int srcX, int srcY, int width, int height, int x,
                      int y) {
    const int slot = qubState.currentImage;
    if (slot < 0 || slot >= kImageSlots || !qubState.images[slot].inUse ||
        qubState.images[slot].depth != 32)
        return false;
    const ImageWindowRecord& r = qubState.images[slot];
    Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
    if (gp::GdipGetImageType(picture, &type) != Gdiplus::Ok || type != Gdiplus::ImageTypeBitmap)
        return false;
    const long long x0 = std::max<long long>(x, 0), y0 = std::max<long long>(y, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(x) + width, r.width);
    const long long y1 = std::min<long long>(static_cast<long long>(y) + height, r.height);
    uint32_t* bits = qubState.imageBits32[slot];
    if (x1 > x0 && y1 > y0) {
        Gdiplus::GpRect part(static_cast<INT>(x0 - x + srcX), static_cast<INT>(y0 - y + srcY),
                             static_cast<INT>(x1 - x0), static_cast<INT>(y1 - y0));
        Gdiplus::BitmapData data = {};
        data.Width = static_cast<UINT>(part.Width);
        data.Height = static_cast<UINT>(part.Height);
        data.Stride = r.width * 4;
        data.PixelFormat = PixelFormat32bppRGB;
        data.Scan0 = bits + y0 * r.width + x0;
        GdiFlush();
        auto* bitmap = static_cast<Gdiplus::GpBitmap*>(picture);
        if (gp::GdipBitmapLockBits(bitmap, &part,
                                   Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                   PixelFormat32bppRGB, &data) != Gdiplus::Ok)
            return false;
        gp::GdipBitmapUnlockBits(bitmap, &data);
    }
    QUB_ClearTopBytes(bits, r.width, r.height, x, y, width, height);
    return true;
}

bool QUB_PictureSize(const PictureFile& file, UINT* width, UINT* height) {
    *width = *height = 0;
    if (file.probe.verdict != kProbeSound) return false;
    const PictureFormat format = file.probe.format;
    if (format == kPictureIco || format == kPictureWmf || format == kPictureEmf) {
        qub_gdi::ScopedGpImage image(QUB_DecodePicture(file));
        if (!image.image) return false;
        gp::GdipGetImageWidth(image.image, width);
        gp::GdipGetImageHeight(image.image, height);
    } else {
        *width = static_cast<UINT>(file.probe.width);
        *height = static_cast<UINT>(file.probe.height);
    }
    return *width > 0 && *height > 0 && *width <= INT32_MAX && *height <= INT32_MAX;
}
