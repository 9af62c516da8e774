#include "image/stereo_file_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>

#include "core/library_state.h"
#include "formats/jps.h"
#include "formats/mpo_writer.h"
#include "image/buffer_layout.h"
#include "image/file_names.h"
#include "image/gdiplus_codec_win.h"
#include "image/gdi_guards_win.h"
#include "image/image_file.h"
#include "image/image_window.h"

namespace gp = Gdiplus::DllExports;
using qub_gdi::ScopedGpImage;

namespace {

constexpr int kLoaded = 0, kNotAPicture = 1;
constexpr int kSaved = 0, kSaveFailed = 1, kSaveBadSize = 2;
constexpr int kPathUnits = 260;

// Draws one view the slow way, for 8-bit windows and decoders that will not
// write into the buffer directly.
bool DrawView(Gdiplus::GpImage* image, const PairView& v, int x, int y) {
    const ImageWindowRecord& r = qubState.images[qubState.currentImage];
    qub_gdi::ScopedGraphics graphics;
    if (gp::GdipCreateFromHDC(r.memoryDC, &graphics.graphics) != Gdiplus::Ok) return false;
    const Gdiplus::GpStatus drawn = gp::GdipDrawImageRectRectI(
        graphics.graphics, image, x, y, v.width, v.height, v.srcX, v.srcY, v.width, v.height,
        Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
    GdiFlush();
    if (r.depth == 32)
        QUB_ClearTopBytes(qubState.imageBits32[qubState.currentImage], r.width, r.height, x, y,
                          v.width, v.height);
    return drawn == Gdiplus::Ok;
}

bool WriteBytes(const wchar_t* path, const std::vector<uint8_t>& bytes) {
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const size_t left = bytes.size() - done;
        const DWORD want = static_cast<DWORD>(left < (1u << 24) ? left : (1u << 24));
        DWORD wrote = 0;
        ok = WriteFile(f, bytes.data() + done, want, &wrote, nullptr) != 0 && wrote == want;
        done += wrote;
    }
    ok = CloseHandle(f) != 0 && ok;
    return ok;
}

// Whether the file at `path` opens as a pair of two w x h views.
bool OpensAsPair(const wchar_t* path, PairKind kind, int w, int h) {
    const PictureFile file = QUB_ReadPictureFile(path);
    const PairPlan plan = QUB_PlanPair(kind, file.bytes.data(), file.bytes.size());
    return !plan.refused && plan.pair && plan.width == 2 * w && plan.height == h;
}

}  // namespace

int QUB_LoadPair(const PictureFile& file, PairKind kind, int x, int y) {
    const int slot = qubState.currentImage;
    if (slot < 0 || slot >= kImageSlots || !qubState.images[slot].inUse) return kNotAPicture;
    const PairPlan plan = QUB_PlanPair(kind, file.bytes.data(), file.bytes.size());
    if (plan.refused) return kNotAPicture;
    ScopedGpImage images[2];
    for (int i = 0; i < plan.viewCount; ++i) {
        const PairView& v = plan.views[i];
        // A JPS is one stream holding both views.
        if (i > 0 && v.offset == plan.views[0].offset) break;
        images[i].image = QUB_DecodeBytes(file.bytes.data() + v.offset, static_cast<size_t>(v.size));
        UINT w = 0, h = 0;
        if (images[i].image) {
            gp::GdipGetImageWidth(images[i].image, &w);
            gp::GdipGetImageHeight(images[i].image, &h);
        }
        // The decoder must agree with the probe, or the parts are not where
        // the plan put them.
        if (w != static_cast<UINT>(v.streamWidth) || h != static_cast<UINT>(v.streamHeight))
            return kNotAPicture;
    }
    for (int i = 0; i < plan.viewCount; ++i) {
        const PairView& v = plan.views[i];
        Gdiplus::GpImage* image = images[i].image ? images[i].image : images[0].image;
        const int at = x + v.destX;
        if (!QUB_DecodeInto32(image, v.srcX, v.srcY, v.width, v.height, at, y) &&
            !DrawView(image, v, at, y))
            return kNotAPicture;
    }
    return kLoaded;
}

int QUB_SavePair(const wchar_t* path, PairKind kind, const uint32_t* pixels, int width, int height,
                 size_t stride, int quality) {
    if (width < 2 || height < 1 || (kind != kPairMpo && kind != kPairJps) || !pixels ||
        stride < static_cast<size_t>(width))
        return kSaveBadSize;
    const int view = width / 2;
    const uint32_t* left = pixels;
    const uint32_t* right = pixels + (width - view);
    std::vector<uint8_t> file;
    if (kind == kPairMpo) {
        std::vector<uint8_t> a, b;
        if (!QUB_EncodeJpeg(left, view, height, stride, quality, &a) ||
            !QUB_EncodeJpeg(right, view, height, stride, quality, &b) ||
            !QUB_WriteMpo(a.data(), a.size(), b.data(), b.size(), &file))
            return kSaveFailed;
    } else {
        // Cross-eyed: the right view in the left half.
        std::vector<uint32_t> swapped;
        try {
            swapped.resize(static_cast<size_t>(2 * view) * static_cast<size_t>(height));
        } catch (const std::bad_alloc&) {
            return kSaveFailed;
        }
        for (int row = 0; row < height; ++row) {
            uint32_t* to = swapped.data() + static_cast<size_t>(row) * (2 * view);
            const size_t from = static_cast<size_t>(row) * stride;
            std::memcpy(to, right + from, static_cast<size_t>(view) * 4);
            std::memcpy(to + view, left + from, static_cast<size_t>(view) * 4);
        }
        std::vector<uint8_t> jpeg;
        if (!QUB_EncodeJpeg(swapped.data(), 2 * view, height, 2 * static_cast<size_t>(view),
                            quality, &jpeg) ||
            !QUB_WriteJps(jpeg.data(), jpeg.size(), false, &file))
            return kSaveFailed;
    }
    wchar_t temp[kPathUnits];
    if (!QUB_TempSiblingName(path, QUB_TempTag(), temp, kPathUnits)) return kSaveFailed;
    if (!WriteBytes(temp, file) || !OpensAsPair(temp, kind, view, height) ||
        !MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temp);
        return kSaveFailed;
    }
    return kSaved;
}
