// Small images for the pixel tests: odd sizes, distinct channels, and a way to
// see which pixels changed. 8-bit rows are padded to 4 bytes as the library's.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "imgproc/transforms.h"

template <class V>
struct TestImage {
    int width, height, stride;
    std::vector<V> px;
    TestImage(int w, int h, V fill = 0)
        : width(w), height(h), stride(sizeof(V) == 1 ? QUB_Stride8(w) : w),
          px(size_t(stride) * h, fill) {}
    V* data() { return px.data(); }
    V& at(int x, int y) { return px[size_t(y) * stride + x]; }
    V at(int x, int y) const { return px[size_t(y) * stride + x]; }
    // Every pixel different; in 32 bits all three channels and the top byte vary.
    static TestImage Distinct(int w, int h) {
        TestImage im(w, h);
        for (size_t k = 0; k < im.px.size(); ++k) {
            const uint32_t x = uint32_t(k % im.stride), y = uint32_t(k / im.stride);
            im.px[k] = sizeof(V) == 1 ? V(k * 37 + 11)
                                      : V((x * 7 + 1) << 16 ^ (y * 13 + 2) << 8 ^
                                          (x * 3 + y * 5 + 3) ^ (x + y) << 24);
        }
        return im;
    }
    // '#' where the pixel is not `background`, '.' elsewhere, one line per row.
    std::string Mask(V background = 0) const {
        std::string s;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) s += at(x, y) != background ? '#' : '.';
            s += '\n';
        }
        return s;
    }
};

using TestImage32 = TestImage<uint32_t>;
using TestImage8 = TestImage<uint8_t>;
