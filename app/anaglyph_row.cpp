// The luminance Y = trunc((g * 0.587 + r * 0.299) + b * 0.114) in IEEE double,
// computed exactly in integers, so that every target gives the same bytes
// (an x87 unit keeping 80-bit intermediates would round the double sum
// differently) and so that SSE2 computes eight pixels a step (AnaglyphRowSse2):
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
// folding, which is exact IEEE double on any target. Tests compare the rows
// with the double formula for all 2^24 colours.
#include "app/anaglyph_row.h"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr uint32_t kInverse299Mod1000 = 699;

// The double formula with every step stored in a double, so that a compiler
// that keeps excess precision (x87) still rounds each step as IEEE double does,
// in constant folding too.
constexpr double DoubleSum(uint32_t r, uint32_t g, uint32_t b) {
    const double green = g * 0.587, red = r * 0.299, blue = b * 0.114;
    const double greenRed = green + red;
    const double sum = greenRed + blue;
    return sum;
}

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
        if (static_cast<uint32_t>(DoubleSum(r, g, b)) < s / 1000)
            bitmap.words[gb >> 5] |= 1u << (gb & 31);
    }
    return bitmap;
}

constexpr BelowBitmap kBelow = MakeBelowBitmap();

// floor(s / 1000) for s <= 255000 as (s / 8) * 33555 >> 22: 33555 is
// 2^22 / 125 rounded up, exact for s / 8 < 59074, and the product stays
// below 2^31.
inline uint32_t DivideBy1000(uint32_t s) { return ((s >> 3) * 33555u) >> 22; }

// 1 when the double sum for a pixel whose S is a multiple of 1000 lands just
// below the integer; the pixel's low 16 bits are g << 8 | b.
inline uint32_t LandsBelow(uint32_t pixel) {
    const uint32_t gb = pixel & 0xFFFF;
    return (kBelow.words[gb >> 5] >> (gb & 31)) & 1;
}

inline uint32_t Luminance(uint32_t pixel) {
    const uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    const uint32_t s = 299 * r + 587 * g + 114 * b;
    uint32_t y = DivideBy1000(s);
    if (s == y * 1000) y -= LandsBelow(pixel);
    return y;
}

// Y of the greys, r = g = b = v, by the same constant folding.
struct GreyTable {
    std::array<uint8_t, 256> y{};
};

constexpr GreyTable MakeGreyTable() {
    GreyTable table;
    for (uint32_t v = 0; v < 256; ++v)
        table.y[v] = static_cast<uint8_t>(DoubleSum(v, v, v));
    return table;
}

constexpr GreyTable kGrey = MakeGreyTable();

// Greys whose double sum falls just below them, and two that do not.
static_assert(kGrey.y[128] == 127 && kGrey.y[1] == 0 && kGrey.y[255] == 255 &&
                  kGrey.y[3] == 3,
              "the tables are folded in IEEE double");
static_assert((kBelow.words[0x8080 >> 5] >> (0x8080 & 31) & 1) == 1 &&
                  (kBelow.words[0xFFFF >> 5] >> (0xFFFF & 31) & 1) == 0,
              "the tables are folded in IEEE double");

inline uint32_t AnaglyphPixel(uint32_t left, uint32_t right) {
    return Luminance(right) << 16 | (left & 0xFFFF);
}

#if defined(__SSE2__)
// S for four pixels: red and blue as the two 16-bit halves of each word,
// multiplied and added in one step, then green.
inline __m128i WeightedSum(__m128i p) {
    const __m128i redBlue = _mm_and_si128(p, _mm_set1_epi32(0x00FF00FF));
    const __m128i green = _mm_and_si128(_mm_srli_epi32(p, 8), _mm_set1_epi32(0xFF));
    return _mm_add_epi32(_mm_madd_epi16(redBlue, _mm_set1_epi32(299 << 16 | 114)),
                         _mm_madd_epi16(green, _mm_set1_epi32(587)));
}

// The double formula itself for four pixels, two lanes an instruction: the
// same IEEE operations in the same order as the scalar expression.
inline __m128i DoubleLuminance(__m128i p) {
    const __m128i byte = _mm_set1_epi32(0xFF);
    const __m128i r = _mm_and_si128(_mm_srli_epi32(p, 16), byte);
    const __m128i g = _mm_and_si128(_mm_srli_epi32(p, 8), byte);
    const __m128i b = _mm_and_si128(p, byte);
    auto two = [](__m128i rr, __m128i gg, __m128i bb) {
        const __m128d y =
            _mm_add_pd(_mm_add_pd(_mm_mul_pd(_mm_cvtepi32_pd(gg), _mm_set1_pd(0.587)),
                                  _mm_mul_pd(_mm_cvtepi32_pd(rr), _mm_set1_pd(0.299))),
                       _mm_mul_pd(_mm_cvtepi32_pd(bb), _mm_set1_pd(0.114)));
        return _mm_cvttpd_epi32(y);
    };
    const int upper = 0xEE;  // lanes 2 and 3 moved down
    return _mm_unpacklo_epi64(two(r, g, b),
                              two(_mm_shuffle_epi32(r, upper), _mm_shuffle_epi32(g, upper),
                                  _mm_shuffle_epi32(b, upper)));
}

inline bool AllGrey(__m128i p0, __m128i p1) {
    auto grey = [](__m128i p) {
        const __m128i rgb = _mm_and_si128(p, _mm_set1_epi32(0xFFFFFF));
        const __m128i b = _mm_and_si128(p, _mm_set1_epi32(0xFF));
        return _mm_cmpeq_epi32(rgb, _mm_or_si128(b, _mm_or_si128(_mm_slli_epi32(b, 8),
                                                              _mm_slli_epi32(b, 16))));
    };
    return _mm_movemask_epi8(_mm_and_si128(grey(p0), grey(p1))) == 0xFFFF;
}

// Eight pixels a step, in integers: DivideBy1000 in 16-bit lanes (s / 8 <
// 2^15 packs without saturating, and the high half of the product shifted
// by 6 is the shift by 22). A step with a lane whose S is a multiple of 1000
// takes the double formula instead, or the table when all eight are grey;
// in the colour photographs tried, 0.1-2.5 % of the steps did.
int AnaglyphRowSse2(const uint32_t* left, const uint32_t* right, uint32_t* out, int width) {
    const __m128i low = _mm_set1_epi32(0xFFFF), zero = _mm_setzero_si128();
    const __m128i thousand = _mm_set1_epi32(1000);
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i p0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(right + x));
        const __m128i p1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(right + x + 4));
        const __m128i s0 = WeightedSum(p0), s1 = WeightedSum(p1);
        const __m128i eighths = _mm_packs_epi32(_mm_srli_epi32(s0, 3), _mm_srli_epi32(s1, 3));
        const __m128i y =
            _mm_srli_epi16(_mm_mulhi_epu16(eighths, _mm_set1_epi16(static_cast<short>(33555))), 6);
        __m128i y0 = _mm_unpacklo_epi16(y, zero), y1 = _mm_unpackhi_epi16(y, zero);
        const __m128i exact = _mm_or_si128(_mm_cmpeq_epi32(_mm_madd_epi16(y0, thousand), s0),
                                           _mm_cmpeq_epi32(_mm_madd_epi16(y1, thousand), s1));
        if (_mm_movemask_epi8(exact) != 0) {
            if (AllGrey(p0, p1)) {
                for (int k = 0; k < 8; ++k)
                    out[x + k] =
                        uint32_t{kGrey.y[right[x + k] & 0xFF]} << 16 | (left[x + k] & 0xFFFF);
                continue;
            }
            y0 = DoubleLuminance(p0);
            y1 = DoubleLuminance(p1);
        }
        const __m128i l0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(left + x));
        const __m128i l1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(left + x + 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                         _mm_or_si128(_mm_slli_epi32(y0, 16), _mm_and_si128(l0, low)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4),
                         _mm_or_si128(_mm_slli_epi32(y1, 16), _mm_and_si128(l1, low)));
    }
    return x;
}
#endif

}  // namespace

void AnaglyphRow(const uint32_t* left, const uint32_t* right, uint32_t* out, int width) {
    int x = 0;
#if defined(__SSE2__)
    x = AnaglyphRowSse2(left, right, out, width);
#endif
    for (; x < width; ++x) out[x] = AnaglyphPixel(left[x], right[x]);
}

uint32_t AnaglyphRed(uint32_t rightPixel) { return Luminance(rightPixel); }
