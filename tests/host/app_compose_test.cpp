// The stereo routine's pixel work: split, anaglyph, wiggle frames and the
// side-by-side composition for saving, checked against the definitions pixel
// by pixel on small asymmetric views, and the anaglyph's red exhaustively.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstdint>
#include <vector>

#include "app/compose.h"

namespace {

constexpr uint32_t kCanary = 0xDEADBEEF;  // fills outputs before a call

// A view whose every pixel tells where it came from: red = x, green = y, blue
// = which view. Channels differ, so a swap or an off-by-one row shows.
std::vector<uint32_t> View(int w, int h, uint32_t tag) {
    std::vector<uint32_t> v(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) v[static_cast<size_t>(y) * w + x] = (x << 16) | (y << 8) | tag;
    return v;
}

// Output buffer of w x h pixels plus a guard band that must stay untouched.
struct Guarded {
    std::vector<uint32_t> data;
    size_t size;
    Guarded(int w, int h)
        : data(static_cast<size_t>(w) * h + 64, kCanary), size(static_cast<size_t>(w) * h) {}
    uint32_t* get() { return data.data(); }
    uint32_t at(int w, int x, int y) const { return data[static_cast<size_t>(y) * w + x]; }
    bool GuardIntact() const {
        for (size_t k = size; k < data.size(); ++k)
            if (data[k] != kCanary) return false;
        return true;
    }
};

// The anaglyph's red by its definition, in double.
uint32_t RedByFormula(uint32_t p) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    const double y = (g * 0.587 + r * 0.299) + b * 0.114;
    return static_cast<uint32_t>(static_cast<int>(y) & 0xFF);
}

// What output pixel (x, y) must be, straight from the definition of the
// alignment: a pixel per call, no row arithmetic shared with the code.
enum class Which { Left, Right, Anaglyph };
uint32_t Expected(const std::vector<uint32_t>& L, const std::vector<uint32_t>& R, int half, int h,
                  int a, int i, int x, int y, Which which) {
    const long long ap = a > 0 ? a : 0, am = a < 0 ? -static_cast<long long>(a) : 0;
    const long long ip = i > 0 ? i : 0, im = i < 0 ? -static_cast<long long>(i) : 0;
    if (x >= half - ap - am || y >= h - ip - im) return 0;
    const uint32_t l = L[static_cast<size_t>((y + ip) * half + x + ap)];
    const uint32_t r = R[static_cast<size_t>((y + im) * half + x + am)];
    switch (which) {
        case Which::Left: return l;
        case Which::Right: return r;
        default: return (RedByFormula(r) << 16) | (l & 0x00FFFF);
    }
}

// Checks the overlap, MakeAnaglyph, MakeWiggleFrames and ComposeSavedPair for
// one alignment on 7 x 9 views.
void CheckAlignment(int a, int i) {
    SCOPED_TRACE(testing::Message() << "a = " << a << ", i = " << i);
    const int half = 7, h = 9;
    // The right view gets grey-ish colours so its luminance varies.
    const auto L = View(half, h, 0x11);
    auto R = View(half, h, 0x22);
    for (auto& p : R) p ^= 0x804020;
    Guarded P(half, h), F1(half, h), F2(half, h);
    MakeAnaglyph(half, h, L.data(), R.data(), P.get(), a, i);
    MakeWiggleFrames(half, h, L.data(), R.data(), F1.get(), F2.get(), a, i);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < half; ++x) {
            ASSERT_EQ(P.at(half, x, y), Expected(L, R, half, h, a, i, x, y, Which::Anaglyph))
                << x << "," << y;
            ASSERT_EQ(F1.at(half, x, y), Expected(L, R, half, h, a, i, x, y, Which::Left))
                << x << "," << y;
            ASSERT_EQ(F2.at(half, x, y), Expected(L, R, half, h, a, i, x, y, Which::Right))
                << x << "," << y;
        }
    EXPECT_TRUE(P.GuardIntact() && F1.GuardIntact() && F2.GuardIntact());
    // Both sides of the overlap are empty together.
    long long w = half - std::llabs(a), v = h - std::llabs(i);
    if (w <= 0 || v <= 0) w = v = 0;
    const StereoOverlap o = AlignedOverlap(half, h, a, i);
    EXPECT_TRUE(o.width == w && o.height == v) << o.width << " x " << o.height;
    const SavedPairSize size = SavedPairSizeFor(half, h, a, i);
    ASSERT_TRUE(size.width == 2 * w && size.height == v) << size.width << " x " << size.height;
    Guarded S(size.width, size.height);
    ComposeSavedPair(half, h, L.data(), R.data(), a, i, S.get());
    EXPECT_TRUE(S.GuardIntact());
    for (int y = 0; y < v; ++y)
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(S.at(size.width, x, y), Expected(L, R, half, h, a, i, x, y, Which::Left));
            ASSERT_EQ(S.at(size.width, int(w) + x, y),
                      Expected(L, R, half, h, a, i, x, y, Which::Right));
        }
}

TEST(Anaglyph, RedMatchesDoubleFormulaForAllRightColours) {
    // Every 24-bit colour goes through MakeAnaglyph itself, 65536 at a time,
    // over a left view whose green and blue must come through untouched.
    const int half = 4096, h = 16;
    std::vector<uint32_t> left(static_cast<size_t>(half) * h, 0x00ABCDEF);
    std::vector<uint32_t> right(left.size()), out(left.size());
    long mismatches = 0;
    uint32_t firstBad = 0;
    for (uint32_t chunk = 0; chunk < 256; ++chunk) {
        for (uint32_t k = 0; k < right.size(); ++k) right[k] = (chunk << 16) | k;
        MakeAnaglyph(half, h, left.data(), right.data(), out.data(), 0, 0);
        for (uint32_t k = 0; k < out.size(); ++k) {
            if (out[k] != ((RedByFormula(right[k]) << 16) | 0xCDEF)) {
                if (mismatches++ == 0) firstBad = right[k];
            }
        }
    }
    EXPECT_EQ(mismatches, 0) << "first bad right colour 0x" << std::hex << firstBad;
}

TEST(Anaglyph, IntegerFormMatchesDoubleFormulaForAllColours) {
    long mismatches = 0;
    uint32_t firstBad = 0;
    for (uint32_t c = 0; c < (1u << 24); ++c) {
        if (AnaglyphRedInteger(c) != RedByFormula(c) && mismatches++ == 0) firstBad = c;
    }
    EXPECT_EQ(mismatches, 0) << "first bad colour 0x" << std::hex << firstBad;
}

TEST(Anaglyph, KnownLuminancesAndLeftGreenBlue) {
    // 0x808080: the double sum falls just below 128; the top byte is no colour.
    const uint32_t colour[] = {0xFFFFFF, 0x808080, 0xFF0000, 0x00FF00, 0x0000FF, 0, 0xFF000000};
    const uint32_t red[] = {255, 127, 76, 149, 29, 0, 0};
    for (int k = 0; k < 7; ++k) EXPECT_EQ(AnaglyphRed(colour[k]), red[k]) << std::hex << colour[k];
    const uint32_t L[1] = {0x123456}, R[1] = {0};
    uint32_t P[1] = {kCanary};
    MakeAnaglyph(1, 1, L, R, P, 0, 0);
    EXPECT_EQ(P[0], 0x003456u);
}

TEST(Composition, EveryAlignmentAgainstItsDefinition) {
    for (int a : {-6, -1, 0, 1, 3, 6})
        for (int i : {-8, -1, 0, 1, 5, 8}) CheckAlignment(a, i);
    // Out of range: black, and nothing saved.
    for (int a : {7, -7, 100, INT_MAX, INT_MIN})
        for (int i : {0, 2}) CheckAlignment(a, i);
    for (int i : {9, -9, -100, INT_MAX, INT_MIN}) CheckAlignment(0, i);
    CheckAlignment(INT_MIN, INT_MIN);
    // Worked by hand: left (x + 3, y) beside right (x, y) for a = 3.
    const auto L = View(7, 5, 0x11), R = View(7, 5, 0x22);
    Guarded F1(7, 5), F2(7, 5);
    MakeWiggleFrames(7, 5, L.data(), R.data(), F1.get(), F2.get(), 3, 0);
    EXPECT_EQ(F1.at(7, 0, 2), 0x030211u);
    EXPECT_EQ(F2.at(7, 0, 2), 0x000222u);
    const SavedPairSize size = SavedPairSizeFor(500, 400, 10, -4);
    EXPECT_TRUE(size.width == 980 && size.height == 396);
    EXPECT_EQ(SavedPairSizeFor(INT_MAX, 1, 0, 0).width, 0) << "the doubled width never wraps";
    EXPECT_EQ(SavedPairSizeFor(INT_MAX / 2, 1, 0, 0).width, INT_MAX - 1);
}

TEST(Split, OddWidthDropsLastColumnAndWidthOneHasNoViews) {
    const int w = 7, h = 3;
    const auto pair = View(w, h, 0x33);
    Guarded left(3, h), right(3, h);
    SplitStereoPair(pair.data(), w, h, left.get(), right.get());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(left.at(3, x, y), static_cast<uint32_t>((x << 16) | (y << 8) | 0x33));
            EXPECT_EQ(right.at(3, x, y), static_cast<uint32_t>(((x + 3) << 16) | (y << 8) | 0x33));
        }
    EXPECT_TRUE(left.GuardIntact() && right.GuardIntact());
    Guarded none(0, 0);
    SplitStereoPair(pair.data(), 1, 2, none.get(), none.get());
    EXPECT_TRUE(none.GuardIntact());
}

}  // namespace
