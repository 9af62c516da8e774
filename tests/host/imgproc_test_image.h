// Small images for the pixel tests: odd sizes, distinct channels, and a way to
// see which pixels changed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "imgproc/transforms.h"

struct TestImage32 {
    int width, height;
    std::vector<uint32_t> px;
    TestImage32(int w, int h, uint32_t fill = 0) : width(w), height(h), px(size_t(w) * h, fill) {}
    uint32_t* data() { return px.data(); }
    uint32_t& at(int x, int y) { return px[size_t(y) * width + x]; }
    uint32_t at(int x, int y) const { return px[size_t(y) * width + x]; }
    // Every pixel different, with all three channels and the top byte varying.
    static TestImage32 Distinct(int w, int h) {
        TestImage32 im(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                im.at(x, y) = (uint32_t(x * 7 + 1) << 16) ^ (uint32_t(y * 13 + 2) << 8) ^
                              uint32_t(x * 3 + y * 5 + 3) ^ (uint32_t(x + y) << 24);
        return im;
    }
    // '#' where the pixel is not `background`, '.' elsewhere, one line per row.
    std::string Mask(uint32_t background = 0) const {
        std::string s;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) s += at(x, y) != background ? '#' : '.';
            s += '\n';
        }
        return s;
    }
};

struct TestImage8 {
    int width, height, stride;
    std::vector<uint8_t> px;
    TestImage8(int w, int h, uint8_t fill = 0)
        : width(w), height(h), stride(QUB_Stride8(w)), px(size_t(QUB_Stride8(w)) * h, fill) {}
    uint8_t* data() { return px.data(); }
    uint8_t& at(int x, int y) { return px[size_t(y) * stride + x]; }
    uint8_t at(int x, int y) const { return px[size_t(y) * stride + x]; }
    static TestImage8 Distinct(int w, int h) {
        TestImage8 im(w, h);
        for (size_t k = 0; k < im.px.size(); ++k) im.px[k] = uint8_t(k * 37 + 11);
        return im;
    }
};
