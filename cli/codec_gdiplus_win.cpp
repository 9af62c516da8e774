// The companion's codecs through GDI+, as the program uses it, for the i686
// Windows build: the x86_64 one links libjpeg and libpng instead (codecs.h),
// which stream and sample colour as asked. GDI+ decodes and encodes whole
// pictures, and its JPEG encoder always writes 4:2:0.
#include "cli/cli_platform.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shlwapi.h>

#include "image/gdi_guards_win.h"
#include "image/gdiplus_codec_win.h"

namespace gp = Gdiplus::DllExports;

bool CliDecodeCuts(const uint8_t* data, size_t size, int width, int height, const CliCut* cuts,
                   int count, std::string* error, std::string* warning) {
    // GDI+ tells nothing of damaged data it decoded past.
    if (warning) warning->clear();
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
    // Each part drawn straight into its pixels, one to one; pictures with
    // transparency come out on black.
    for (int c = 0; c < count; ++c) {
        CliPicture& to = *cuts[c].to;
        to.pixels.assign(static_cast<size_t>(to.width) * static_cast<size_t>(to.height), 0);
        Gdiplus::GpBitmap* canvas = nullptr;
        if (gp::GdipCreateBitmapFromScan0(to.width, to.height, to.width * 4, PixelFormat32bppRGB,
                                          reinterpret_cast<BYTE*>(to.pixels.data()), &canvas) != Gdiplus::Ok) {
            *error = "out of memory";
            return false;
        }
        qub_gdi::ScopedGpImage canvasGuard(canvas);
        qub_gdi::ScopedGraphics graphics;
        const bool drawn =
            gp::GdipGetImageGraphicsContext(canvas, &graphics.graphics) == Gdiplus::Ok &&
            gp::GdipDrawImageRectRectI(graphics.graphics, loaded, 0, 0, to.width, to.height,
                                       cuts[c].x, cuts[c].y, to.width, to.height, Gdiplus::UnitPixel,
                                       nullptr, nullptr, nullptr) == Gdiplus::Ok;
        if (graphics.graphics) gp::GdipFlush(graphics.graphics, Gdiplus::FlushIntentionSync);
        for (uint32_t& p : to.pixels) p &= 0xFFFFFFu;
        if (!drawn) {
            *error = "GDI+ cannot draw it";
            return false;
        }
    }
    return true;
}

bool CliDecodeRows(const uint8_t* data, size_t size, int width, int height,
                   const std::function<bool(int y, const uint32_t* row)>& row, std::string* error,
                   std::string* warning) {
    // GDI+ decodes a picture whole.
    return CliDecodeRowsOfWhole(data, size, width, height, row, error, warning);
}

// GDI+ encodes a picture whole: the rows are gathered, then encoded at the end.
struct CliJpegWriter {
    int width, height, quality;
    std::vector<uint32_t> pixels;
};

CliJpegWriter* CliBeginJpeg(int width, int height, int quality, bool) {
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
