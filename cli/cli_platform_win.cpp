// The companion's platform on Windows: files by UTF-16 name, and GDI+ for
// the codecs, as the program uses it.
#include "cli/cli_platform.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <io.h>
#include <shlwapi.h>

#include "image/gdi_guards_win.h"
#include "image/gdiplus_codec_win.h"

namespace gp = Gdiplus::DllExports;

namespace {

constexpr ULONGLONG kMaxFileBytes = 1ull << 30;

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                      nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &w[0], n);
    return w;
}

std::string Utf8(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string s(static_cast<size_t>(n - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &s[0], n, nullptr, nullptr);
    return s;
}

// A long path through \\?\ so that deep folders work; relative ones as given.
std::wstring PathFor(const std::string& utf8) {
    std::wstring w = Wide(utf8);
    for (wchar_t& c : w)
        if (c == L'/') c = L'\\';
    return w;
}

}  // namespace

bool CliReadFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
    bytes->clear();
    HANDLE f = CreateFileW(PathFor(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        *error = "cannot be read";
        return false;
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(f, &size) || static_cast<ULONGLONG>(size.QuadPart) > kMaxFileBytes) {
        CloseHandle(f);
        *error = "file too large for a picture";
        return false;
    }
    bytes->resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes->size()) {
        const size_t left = bytes->size() - done;
        DWORD got = 0;
        if (!ReadFile(f, bytes->data() + done, static_cast<DWORD>(left < (1u << 24) ? left : (1u << 24)),
                      &got, nullptr) ||
            got == 0)
            break;
        done += got;
    }
    CloseHandle(f);
    if (done != bytes->size()) {
        *error = "cannot be read whole";
        return false;
    }
    return true;
}

PlaceResult CliPlaceFile(const std::string& path, const std::vector<uint8_t>& bytes, bool replace,
                         std::string* error) {
    static LONG counter = 0;
    const std::wstring target = PathFor(path);
    const std::wstring temp = target + L".~qub" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(InterlockedIncrement(&counter)) + L".tmp";
    HANDLE f = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) {
        *error = "cannot write " + path;
        return PlaceResult::Failed;
    }
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const size_t left = bytes.size() - done;
        const DWORD want = static_cast<DWORD>(left < (1u << 24) ? left : (1u << 24));
        DWORD wrote = 0;
        ok = WriteFile(f, bytes.data() + done, want, &wrote, nullptr) && wrote == want;
        done += wrote;
    }
    ok = CloseHandle(f) && ok;
    if (!ok) {
        DeleteFileW(temp.c_str());
        *error = "cannot write " + path + " (disk full?)";
        return PlaceResult::Failed;
    }
    // Without MOVEFILE_REPLACE_EXISTING the rename fails when the name is
    // taken, atomically: two jobs never get one name.
    if (MoveFileExW(temp.c_str(), target.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0))
        return PlaceResult::Placed;
    const DWORD cause = GetLastError();
    DeleteFileW(temp.c_str());
    if (!replace && (cause == ERROR_ALREADY_EXISTS || cause == ERROR_FILE_EXISTS))
        return PlaceResult::Taken;
    *error = "cannot name " + path;
    return PlaceResult::Failed;
}

bool CliIsFolder(const std::string& path) {
    const DWORD a = GetFileAttributesW(PathFor(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CliMakeFolder(const std::string& path) {
    return CreateDirectoryW(PathFor(path).c_str(), nullptr) || CliIsFolder(path);
}

bool CliListFolder(const std::string& path, std::vector<std::string>* names) {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((PathFor(path) + L"\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names->push_back(Utf8(found.cFileName));
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return true;
}

bool CliDecode(const uint8_t* data, size_t size, int width, int height, CliPicture* out,
               std::string* error) {
    out->width = width;
    out->height = height;
    out->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    IStream* stream = size <= UINT_MAX ? SHCreateMemStream(data, static_cast<UINT>(size)) : nullptr;
    Gdiplus::GpImage* loaded = nullptr;
    if (!stream || gp::GdipLoadImageFromStream(stream, &loaded) != Gdiplus::Ok) loaded = nullptr;
    if (stream) stream->Release();
    qub_gdi::ScopedGpImage image(loaded);
    UINT w = 0, h = 0;
    if (loaded) {
        gp::GdipGetImageWidth(loaded, &w);
        gp::GdipGetImageHeight(loaded, &h);
    }
    if (!loaded || w != static_cast<UINT>(width) || h != static_cast<UINT>(height)) {
        *error = loaded ? "the decoder reports another size than the header" : "GDI+ cannot decode it";
        return false;
    }
    // Straight into the pixels; pictures with transparency come out on black.
    Gdiplus::GpBitmap* canvas = nullptr;
    if (gp::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppRGB,
                                      reinterpret_cast<BYTE*>(out->pixels.data()), &canvas) != Gdiplus::Ok) {
        *error = "out of memory";
        return false;
    }
    qub_gdi::ScopedGpImage canvasGuard(canvas);
    qub_gdi::ScopedGraphics graphics;
    bool drawn = gp::GdipGetImageGraphicsContext(canvas, &graphics.graphics) == Gdiplus::Ok &&
                 gp::GdipDrawImageRectI(graphics.graphics, loaded, 0, 0, width, height) == Gdiplus::Ok;
    if (graphics.graphics) gp::GdipFlush(graphics.graphics, Gdiplus::FlushIntentionSync);
    for (uint32_t& p : out->pixels) p &= 0xFFFFFFu;
    if (!drawn) *error = "GDI+ cannot draw it";
    return drawn;
}

bool CliDecodeRows(const uint8_t* data, size_t size, int width, int height,
                   const std::function<bool(int y, const uint32_t* row)>& row, std::string* error) {
    // GDI+ decodes a picture whole.
    return CliDecodeRowsOfWhole(data, size, width, height, row, error);
}

// GDI+ encodes a picture whole: the rows are gathered, then encoded at the end.
struct CliJpegWriter {
    int width, height, quality;
    std::vector<uint32_t> pixels;
};

CliJpegWriter* CliBeginJpeg(int width, int height, int quality) {
    if (width <= 0 || height <= 0) return nullptr;
    CliJpegWriter* w = new CliJpegWriter{width, height, quality, {}};
    w->pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    return w;
}

bool CliJpegRow(CliJpegWriter* w, const uint32_t* row) {
    if (w->pixels.size() >= static_cast<size_t>(w->width) * static_cast<size_t>(w->height)) return false;
    w->pixels.insert(w->pixels.end(), row, row + w->width);
    return true;
}

bool CliEndJpeg(CliJpegWriter* w, std::vector<uint8_t>* out) {
    const bool whole = w->pixels.size() == static_cast<size_t>(w->width) * static_cast<size_t>(w->height);
    const bool ok = whole && QUB_EncodeJpeg(w->pixels.data(), w->width, w->height,
                                            static_cast<size_t>(w->width), w->quality, out);
    delete w;
    return ok;
}

bool CliEncodeJpeg(const uint32_t* pixels, int width, int height, size_t stride, int quality,
                   std::vector<uint8_t>* out) {
    return QUB_EncodeJpeg(pixels, width, height, stride, quality, out);
}

int CliCores() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? static_cast<int>(info.dwNumberOfProcessors) : 1;
}

bool CliIsTerminal(FILE* stream) { return _isatty(_fileno(stream)) != 0; }
