#include "app/compose.h"

#include <cstddef>
#include <cstring>

#include "app/anaglyph_row.h"

namespace {

// Offsets are widened before negating so that INT_MIN is an ordinary, far
// out-of-range offset.
struct Shifts {
    ptrdiff_t leftX, leftY;    // where output (0, 0) reads the left view
    ptrdiff_t rightX, rightY;  // where it reads the right view
    int width, height;         // the overlap
};

Shifts ShiftsFor(int half, int height, int a, int i) {
    const long long a64 = a, i64 = i;
    Shifts s;
    s.leftX = static_cast<ptrdiff_t>(a64 > 0 ? a64 : 0);
    s.rightX = static_cast<ptrdiff_t>(a64 < 0 ? -a64 : 0);
    s.leftY = static_cast<ptrdiff_t>(i64 > 0 ? i64 : 0);
    s.rightY = static_cast<ptrdiff_t>(i64 < 0 ? -i64 : 0);
    const long long w = static_cast<long long>(half) - (a64 < 0 ? -a64 : a64);
    const long long h = static_cast<long long>(height) - (i64 < 0 ? -i64 : i64);
    if (w <= 0 || h <= 0) {
        s.width = 0;
        s.height = 0;
    } else {
        s.width = static_cast<int>(w);
        s.height = static_cast<int>(h);
    }
    return s;
}

inline const uint32_t* Row(const uint32_t* view, int half, ptrdiff_t y, ptrdiff_t x) {
    return view + y * half + x;
}

void ZeroRows(uint32_t* out, int half, int fromRow, int height) {
    if (fromRow >= height) return;
    std::memset(out + static_cast<ptrdiff_t>(fromRow) * half, 0,
                static_cast<size_t>(height - fromRow) * static_cast<size_t>(half) *
                    sizeof(uint32_t));
}

}  // namespace

StereoOverlap AlignedOverlap(int half, int height, int a, int i) {
    const Shifts s = ShiftsFor(half, height, a, i);
    return {s.width, s.height};
}

void SplitStereoPair(const uint32_t* pair, int width, int height, uint32_t* left,
                     uint32_t* right) {
    const int half = width / 2;
    if (half <= 0 || height <= 0) return;
    const size_t rowBytes = static_cast<size_t>(half) * sizeof(uint32_t);
    for (ptrdiff_t y = 0; y < height; ++y) {
        const uint32_t* src = pair + y * width;
        std::memcpy(left + y * half, src, rowBytes);
        std::memcpy(right + y * half, src + half, rowBytes);
    }
}

void MakeAnaglyph(int half, int height, const uint32_t* left, const uint32_t* right,
                  uint32_t* preview, int a, int i) {
    if (half <= 0 || height <= 0) return;
    const Shifts s = ShiftsFor(half, height, a, i);
    const size_t tailBytes = static_cast<size_t>(half - s.width) * sizeof(uint32_t);
    for (int y = 0; y < s.height; ++y) {
        const uint32_t* l = Row(left, half, y + s.leftY, s.leftX);
        const uint32_t* r = Row(right, half, y + s.rightY, s.rightX);
        uint32_t* out = preview + static_cast<ptrdiff_t>(y) * half;
        AnaglyphRow(l, r, out, s.width);
        std::memset(out + s.width, 0, tailBytes);
    }
    ZeroRows(preview, half, s.height, height);
}

void MakeWiggleFrames(int half, int height, const uint32_t* left, const uint32_t* right,
                      uint32_t* frameLeft, uint32_t* frameRight, int a, int i) {
    if (half <= 0 || height <= 0) return;
    const Shifts s = ShiftsFor(half, height, a, i);
    const size_t rowBytes = static_cast<size_t>(s.width) * sizeof(uint32_t);
    const size_t tailBytes = static_cast<size_t>(half - s.width) * sizeof(uint32_t);
    for (int y = 0; y < s.height; ++y) {
        uint32_t* outL = frameLeft + static_cast<ptrdiff_t>(y) * half;
        uint32_t* outR = frameRight + static_cast<ptrdiff_t>(y) * half;
        std::memcpy(outL, Row(left, half, y + s.leftY, s.leftX), rowBytes);
        std::memset(outL + s.width, 0, tailBytes);
        std::memcpy(outR, Row(right, half, y + s.rightY, s.rightX), rowBytes);
        std::memset(outR + s.width, 0, tailBytes);
    }
    ZeroRows(frameLeft, half, s.height, height);
    ZeroRows(frameRight, half, s.height, height);
}

SavedPairSize SavedPairSizeFor(int half, int height, int a, int i) {
    const Shifts s = ShiftsFor(half, height, a, i);
    if (s.width == 0 || s.width > 0x7FFFFFFF / 2) return {0, 0};
    return {2 * s.width, s.height};
}

void ComposeSavedPair(int half, int height, const uint32_t* left, const uint32_t* right,
                      int a, int i, uint32_t* out) {
    const SavedPairSize size = SavedPairSizeFor(half, height, a, i);
    if (size.width == 0) return;
    const Shifts s = ShiftsFor(half, height, a, i);
    const size_t rowBytes = static_cast<size_t>(s.width) * sizeof(uint32_t);
    for (int y = 0; y < s.height; ++y) {
        uint32_t* row = out + static_cast<ptrdiff_t>(y) * size.width;
        std::memcpy(row, Row(left, half, y + s.leftY, s.leftX), rowBytes);
        std::memcpy(row + s.width, Row(right, half, y + s.rightY, s.rightX), rowBytes);
    }
}
