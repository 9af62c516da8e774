#include "imgproc/test_patterns.h"

#include <cmath>
#include <cstdlib>

#include "imgproc/colour_space.h"
#include "imgproc/pixel_surface.h"

using qub_px::Surface32;
using qub_px::Surface8;

namespace {

// floor(num / den) stepped by `add` per call, for non-negative values: the
// pattern ramps without a division per pixel.
class Ramp {
public:
    Ramp(int64_t start, int64_t add, int64_t den)
        : q_(start / den), rem_(start % den), add_(add % den), addQ_(add / den), den_(den) {}
    int64_t Value() const { return q_; }
    void Step() {
        q_ += addQ_;
        rem_ += add_;
        if (rem_ >= den_) {
            rem_ -= den_;
            ++q_;
        }
    }

private:
    int64_t q_, rem_, add_, addQ_, den_;
};

template <class S>
void Rgb(const S& s) {
    const int64_t w = s.width, h = s.height;
    for (int y = 0; y < s.height; ++y) {
        const int g = static_cast<int>(255 * static_cast<int64_t>(y) / h);
        Ramp red(0, 255, w);
        Ramp blue(255 * static_cast<int64_t>(y), 255, w + h);
        typename S::Value* row = s.Row(y);
        for (int x = 0; x < s.width; ++x) {
            row[x] = S::Stored(QUB_PackRgb(static_cast<int>(red.Value()), g,
                                           255 - static_cast<int>(blue.Value())));
            red.Step();
            blue.Step();
        }
    }
}

template <class S>
void Hsv(const S& s) {
    const int n = s.height / 2;
    if (n == 0) return;  // the ramps divide by half the height
    for (int y = 0; y < s.height; ++y) {
        int sat, val;
        if (y < n) {
            sat = static_cast<int>(255 * static_cast<int64_t>(y) / n);
            val = 255;
        } else {
            sat = 255;
            val = 255 - static_cast<int>(255 * static_cast<int64_t>(y - n) / n);
        }
        Ramp hue(0, 359, s.width);
        int lastHue = -1;
        uint32_t colour = 0;
        typename S::Value* row = s.Row(y);
        for (int x = 0; x < s.width; ++x) {
            const int hv = static_cast<int>(hue.Value());
            if (hv != lastHue) {  // hue only grows along a row
                colour = QUB_HsvToRgb(val, sat, hv);
                lastHue = hv;
            }
            row[x] = S::Stored(colour);
            hue.Step();
        }
    }
}

// Channel weights of a chroma chart: 65536 x channel = 65536 L + a*ka + b*kb.
struct ChromaWeights {
    int ra, rb, ga, gb, ba, bb;
};

constexpr ChromaWeights kYCrCb{0, 91881, -22544, -46793, 116130, 0};
constexpr ChromaWeights kYuv{0, 74711, -25952, -38076, 132973, 0};
constexpr ChromaWeights kYiq{42998, 62187, -44872, -17334, 118292, -73859};

// (65536 L + terms + 32768) / 65536 truncated toward zero, then clamped.
inline int Channel(int l65536, int terms) {
    const int v = (l65536 + terms + 32768) / 65536;
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// |a|, |b| <= 127, so a^2 + b^2 <= 32258.
constexpr int kMaxRadius2 = 2 * 127 * 127;

// L = trunc(sqrt(5 (a^2 + b^2))) in floating point, tabulated by a^2 + b^2 so
// that each value is the same double computation, made once per process.
struct Brightness {
    int values[kMaxRadius2 + 1];
    Brightness() {
        for (int r2 = 0; r2 <= kMaxRadius2; ++r2)
            values[r2] = static_cast<int>(std::sqrt(5.0 * static_cast<double>(r2)));
    }
};

const Brightness& BrightnessTable() {
    static const Brightness table;
    return table;
}

template <class S>
void Chroma(const S& s, const ChromaWeights& k) {
    const int* lTable = BrightnessTable().values;
    const int64_t w = s.width, h = s.height;
    const int64_t halfW = w / 2, halfH = h / 2;
    // a depends on the column only: one division per column instead of one per
    // pixel. Without memory for the table, compute it in place.
    int* columnA = static_cast<int*>(std::malloc(sizeof(int) * static_cast<size_t>(s.width)));
    auto aOf = [&](int x) { return static_cast<int>((255 * (x - halfW)) / w); };
    if (columnA)
        for (int x = 0; x < s.width; ++x) columnA[x] = aOf(x);
    for (int y = 0; y < s.height; ++y) {
        // The division is made before the sign change.
        const int b = -static_cast<int>((255 * (y - halfH)) / h);
        const int rB = k.rb * b, gB = k.gb * b, bB = k.bb * b, b2 = b * b;
        typename S::Value* row = s.Row(y);
        for (int x = 0; x < s.width; ++x) {
            const int a = columnA ? columnA[x] : aOf(x);
            const int l = lTable[a * a + b2] * 65536;
            const uint32_t colour = QUB_PackRgb(Channel(l, k.ra * a + rB), Channel(l, k.ga * a + gB),
                                                Channel(l, k.ba * a + bB));
            row[x] = S::Stored(colour);
        }
    }
    std::free(columnA);
}

template <class S>
void Grey(const S& s) {
    const int half = s.height / 2;
    for (int y = 0; y < s.height; ++y) {
        Ramp ramp(0, 255, s.width);
        typename S::Value* row = s.Row(y);
        for (int x = 0; x < s.width; ++x) {
            const int v = static_cast<int>(ramp.Value());
            const int grey = y < half ? v : 255 - v;
            row[x] = S::Stored(static_cast<uint32_t>(grey) * 0x010101u);
            ramp.Step();
        }
    }
}

inline bool Usable(int width, int height) { return width > 0 && height > 0; }

}  // namespace

void QUB_TestPatternRgb32(uint32_t* pixels, int width, int height) {
    if (Usable(width, height)) Rgb(Surface32{pixels, width, height});
}
void QUB_TestPatternRgb8(uint8_t* pixels, int width, int height, int stride) {
    if (Usable(width, height)) Rgb(Surface8{pixels, width, height, stride});
}
void QUB_TestPatternHsv32(uint32_t* pixels, int width, int height) {
    if (Usable(width, height)) Hsv(Surface32{pixels, width, height});
}
void QUB_TestPatternHsv8(uint8_t* pixels, int width, int height, int stride) {
    if (Usable(width, height)) Hsv(Surface8{pixels, width, height, stride});
}
void QUB_TestPatternYCrCb32(uint32_t* pixels, int width, int height) {
    if (Usable(width, height)) Chroma(Surface32{pixels, width, height}, kYCrCb);
}
void QUB_TestPatternYCrCb8(uint8_t* pixels, int width, int height, int stride) {
    if (Usable(width, height)) Chroma(Surface8{pixels, width, height, stride}, kYCrCb);
}
void QUB_TestPatternYuv32(uint32_t* pixels, int width, int height) {
    if (Usable(width, height)) Chroma(Surface32{pixels, width, height}, kYuv);
}
void QUB_TestPatternYuv8(uint8_t* pixels, int width, int height, int stride) {
    if (Usable(width, height)) Chroma(Surface8{pixels, width, height, stride}, kYuv);
}
void QUB_TestPatternYiq32(uint32_t* pixels, int width, int height) {
    if (Usable(width, height)) Chroma(Surface32{pixels, width, height}, kYiq);
}
void QUB_TestPatternYiq8(uint8_t* pixels, int width, int height, int stride) {
    if (Usable(width, height)) Chroma(Surface8{pixels, width, height, stride}, kYiq);
}
void QUB_TestPatternGrey32(uint32_t* pixels, int width, int height) {
    if (Usable(width, height)) Grey(Surface32{pixels, width, height});
}
void QUB_TestPatternGrey8(uint8_t* pixels, int width, int height, int stride) {
    if (Usable(width, height)) Grey(Surface8{pixels, width, height, stride});
}
