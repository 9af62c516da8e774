#include "app/compose.h"

#include <array>
#include <cfloat>
#include <cstddef>
#include <cstring>

#include "core/work_sharing.h"

namespace {

// ---------------------------------------------------------------------------
// Luminance
//
// The anaglyph's red is trunc((g * 0.587 + r * 0.299) + b * 0.114) in IEEE
// double. Where doubles are evaluated as doubles (SSE2 and every 64-bit
// target) the row loop computes exactly that: the compiler turns it into two
// lanes per instruction, which keeps up with memory; it may not reorder or fuse
// the operations, because the build is ISO C++ without fast-math.
//
// Where the x87 unit keeps intermediates in 80 bits (32-bit x86 without
// -mfpmath=sse), the same source would round differently, so the pixels go
// through an integer form instead:
//
// In exact arithmetic the sum is S / 1000 with S = 299 r + 587 g + 114 b, and
// the rounding of the double operations is far below 1/1000, so the truncated
// value is floor(S / 1000) whenever S is not a multiple of 1000. When it is
// (about one colour in a thousand, but every grey), the double sum lands just
// below or just on the integer depending on the colour: grey 128 gives 127,
// white gives 255. Those colours are looked up in a bitmap of the ones that
// land below. For each (g, b) at most one r in 0..255 makes S a multiple of
// 1000 (299 is invertible mod 1000, 299 * 699 = 209001), so the bitmap is
// indexed by g and b alone: 65536 bits. The compiler builds it by constant
// folding, which is exact IEEE double on any target. Tests compare both forms
// with the double formula for all 2^24 colours.
// ---------------------------------------------------------------------------

constexpr uint32_t kInverse299Mod1000 = 699;

struct BelowBitmap {
    std::array<uint32_t, 65536 / 32> words{};
};

constexpr BelowBitmap MakeBelowBitmap() {
    BelowBitmap bitmap;
    for (uint32_t gb = 0; gb < 65536; ++gb) {
        const uint32_t g = gb >> 8, b = gb & 0xFF;
        const uint32_t rest = (587 * g + 114 * b) % 1000;
        const uint32_t r = (1000 - rest) % 1000 * kInverse299Mod1000 % 1000;
        if (r > 255) continue;
        const uint32_t s = 299 * r + 587 * g + 114 * b;
        const double y = (g * 0.587 + r * 0.299) + b * 0.114;
        if (static_cast<uint32_t>(y) < s / 1000) bitmap.words[gb >> 5] |= 1u << (gb & 31);
    }
    return bitmap;
}

constexpr BelowBitmap kBelow = MakeBelowBitmap();

// floor(s / 1000) for s <= 255000 as (s / 8) * 33555 >> 22: 33555 is
// 2^22 / 125 rounded up, exact for s / 8 < 59074, and the product stays
// below 2^31.
inline uint32_t DivideBy1000(uint32_t s) { return ((s >> 3) * 33555u) >> 22; }

inline uint32_t IntegerLuminance(uint32_t pixel) {
    const uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    const uint32_t s = 299 * r + 587 * g + 114 * b;
    uint32_t y = DivideBy1000(s);
    if (s == y * 1000) {
        const uint32_t gb = (g << 8) | b;
        y -= (kBelow.words[gb >> 5] >> (gb & 31)) & 1;
    }
    return y;
}

#if defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD == 0
constexpr bool kDoublesAreDoubles = true;
#else
constexpr bool kDoublesAreDoubles = false;
#endif

void AnaglyphRow(const uint32_t* left, const uint32_t* right, uint32_t* out, int width) {
    if (kDoublesAreDoubles) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p = right[x];
            // Channels as int: the conversion of signed integers to double is
            // the one SSE2 has for two lanes at once.
            const int r = static_cast<int>((p >> 16) & 0xFF);
            const int g = static_cast<int>((p >> 8) & 0xFF);
            const int b = static_cast<int>(p & 0xFF);
            const double y = (g * 0.587 + r * 0.299) + b * 0.114;
            out[x] = (static_cast<uint32_t>(static_cast<int>(y)) << 16) | (left[x] & 0xFFFF);
        }
    } else {
        for (int x = 0; x < width; ++x)
            out[x] = (IntegerLuminance(right[x]) << 16) | (left[x] & 0xFFFF);
    }
}

// ---------------------------------------------------------------------------
// Alignment arithmetic
// ---------------------------------------------------------------------------

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

// A composition streams through memory faster than one core alone reads and
// writes it, so a large one is split into bands of rows taken by two threads
// (bands rather than halves, so that a core busy with other work takes
// fewer). Each row depends on nothing but its own inputs: the result is the
// same however the bands are shared.
constexpr long long kThreadedPixels = 1 << 16;
constexpr int kBands = 8;
constexpr int kThreads = 2;

template <class RowsBody>
void ForRowBands(int width, int rows, const RowsBody& body) {
    if (static_cast<long long>(width) * rows < kThreadedPixels || rows < 2) {
        body(0, rows);
        return;
    }
    const int bands = rows < kBands ? rows : kBands;
    ForEachShared(bands, kThreads, [&](int b, int) {
        body(static_cast<int>(static_cast<long long>(rows) * b / bands),
             static_cast<int>(static_cast<long long>(rows) * (b + 1) / bands));
    });
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

uint32_t AnaglyphRed(uint32_t rightPixel) {
    const uint32_t blackLeft = 0;
    uint32_t out = 0;
    AnaglyphRow(&blackLeft, &rightPixel, &out, 1);
    return out >> 16;
}

uint32_t AnaglyphRedInteger(uint32_t rightPixel) { return IntegerLuminance(rightPixel); }

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
    ForRowBands(half, s.height, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            const uint32_t* l = Row(left, half, y + s.leftY, s.leftX);
            const uint32_t* r = Row(right, half, y + s.rightY, s.rightX);
            uint32_t* out = preview + static_cast<ptrdiff_t>(y) * half;
            AnaglyphRow(l, r, out, s.width);
            std::memset(out + s.width, 0, tailBytes);
        }
    });
    ZeroRows(preview, half, s.height, height);
}

void MakeWiggleFrames(int half, int height, const uint32_t* left, const uint32_t* right,
                      uint32_t* frameLeft, uint32_t* frameRight, int a, int i) {
    if (half <= 0 || height <= 0) return;
    const Shifts s = ShiftsFor(half, height, a, i);
    const size_t rowBytes = static_cast<size_t>(s.width) * sizeof(uint32_t);
    const size_t tailBytes = static_cast<size_t>(half - s.width) * sizeof(uint32_t);
    ForRowBands(half, s.height, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint32_t* outL = frameLeft + static_cast<ptrdiff_t>(y) * half;
            uint32_t* outR = frameRight + static_cast<ptrdiff_t>(y) * half;
            std::memcpy(outL, Row(left, half, y + s.leftY, s.leftX), rowBytes);
            std::memset(outL + s.width, 0, tailBytes);
            std::memcpy(outR, Row(right, half, y + s.rightY, s.rightX), rowBytes);
            std::memset(outR + s.width, 0, tailBytes);
        }
    });
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
