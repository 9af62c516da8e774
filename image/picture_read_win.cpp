#include "image/picture_read_win.h"

#include <shlwapi.h>

#include "image/gdi_guards_win.h"

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

Gdiplus::GpImage* QUB_DecodePicture(const PictureFile& file) {
    if (file.probe.verdict != kProbeSound || file.bytes.empty() || file.bytes.size() > UINT_MAX)
        return nullptr;
    IStream* stream = SHCreateMemStream(file.bytes.data(), static_cast<UINT>(file.bytes.size()));
    if (stream == nullptr) return nullptr;
    Gdiplus::GpImage* image = nullptr;
    if (gp::GdipLoadImageFromStream(stream, &image) != Gdiplus::Ok) image = nullptr;
    // The image holds its own reference to the stream for as long as it lives.
    stream->Release();
    return image;
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
