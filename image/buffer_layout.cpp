#include "image/buffer_layout.h"

#include <cstring>

int QUB_AtLeastOne(int size) { return size < 1 ? 1 : size; }

int64_t QUB_RowStride(int width, int depth) {
    if (depth == 32) return 4 * static_cast<int64_t>(width);
    if (depth == 8) return (static_cast<int64_t>(width) + 3) & ~int64_t{3};
    return 0;
}

bool QUB_BufferBytes(int width, int height, int depth, int64_t* bytes) {
    if (width < 1 || height < 1) return false;
    const int64_t stride = QUB_RowStride(width, depth);
    if (stride == 0) return false;
    // stride < 2^34 and height < 2^31: check the product by division first.
    if (stride > kMaxBufferBytes / height) return false;
    *bytes = stride * height;
    return true;
}

namespace {

// The part [from, to) of a row of `n` requested pixels starting at x0 that
// falls inside 0..width-1, as offsets into the request.
void InsideSpan(int x0, int n, int width, int* from, int* to) {
    const int64_t lo = x0 < 0 ? -static_cast<int64_t>(x0) : 0;
    int64_t hi = static_cast<int64_t>(width) - x0;
    if (hi > n) hi = n;
    *from = static_cast<int>(lo < n ? lo : n);
    *to = static_cast<int>(hi < *from ? *from : hi);
}

bool RowInside(int64_t y, int height) { return y >= 0 && y < height; }

}  // namespace

void QUB_ReadRect32(const uint32_t* pixels, int width, int height, int x0, int y0, int w, int h,
                    uint32_t* out) {
    if (w <= 0 || h <= 0) return;
    int from, to;
    InsideSpan(x0, w, width, &from, &to);
    for (int row = 0; row < h; ++row) {
        uint32_t* dst = out + static_cast<size_t>(row) * static_cast<size_t>(w);
        const int64_t y = static_cast<int64_t>(y0) + row;
        if (!RowInside(y, height) || from == to) {
            std::memset(dst, 0, static_cast<size_t>(w) * 4);
            continue;
        }
        std::memset(dst, 0, static_cast<size_t>(from) * 4);
        std::memcpy(dst + from, pixels + static_cast<size_t>(y) * static_cast<size_t>(width) + (x0 + from),
                    static_cast<size_t>(to - from) * 4);
        std::memset(dst + to, 0, static_cast<size_t>(w - to) * 4);
    }
}

void QUB_ReadRect8(const uint8_t* pixels, int width, int height, int stride, int x0, int y0,
                   int w, int h, uint8_t* out, int outStride) {
    if (w <= 0 || h <= 0) return;
    int from, to;
    InsideSpan(x0, w, width, &from, &to);
    for (int row = 0; row < h; ++row) {
        uint8_t* dst = out + static_cast<size_t>(row) * static_cast<size_t>(outStride);
        const int64_t y = static_cast<int64_t>(y0) + row;
        if (!RowInside(y, height) || from == to) {
            std::memset(dst, 0, static_cast<size_t>(w));
            continue;
        }
        std::memset(dst, 0, static_cast<size_t>(from));
        std::memcpy(dst + from, pixels + static_cast<size_t>(y) * static_cast<size_t>(stride) + (x0 + from),
                    static_cast<size_t>(to - from));
        std::memset(dst + to, 0, static_cast<size_t>(w - to));
    }
}

void QUB_WriteRect(const uint8_t* source, size_t sourceStride, int w, int h, int pixelBytes,
                   uint8_t* pixels, int width, int height, size_t stride, int x0, int y0) {
    if (w <= 0 || h <= 0) return;
    int from, to;
    InsideSpan(x0, w, width, &from, &to);
    if (from == to) return;
    const size_t bytes = static_cast<size_t>(to - from) * static_cast<size_t>(pixelBytes);
    for (int row = 0; row < h; ++row) {
        const int64_t y = static_cast<int64_t>(y0) + row;
        if (!RowInside(y, height)) continue;
        std::memcpy(pixels + static_cast<size_t>(y) * stride + static_cast<size_t>(x0 + from) * pixelBytes,
                    source + static_cast<size_t>(row) * sourceStride + static_cast<size_t>(from) * pixelBytes,
                    bytes);
    }
}

void QUB_ClearTopBytes(uint32_t* pixels, int width, int height, int x0, int y0, int w, int h) {
    if (w <= 0 || h <= 0) return;
    int from, to;
    InsideSpan(x0, w, width, &from, &to);
    for (int row = 0; row < h; ++row) {
        const int64_t y = static_cast<int64_t>(y0) + row;
        if (!RowInside(y, height)) continue;
        uint32_t* p = pixels + static_cast<size_t>(y) * static_cast<size_t>(width) + (x0 + from);
        for (int i = from; i < to; ++i) *p++ &= 0x00FFFFFFu;
    }
}
