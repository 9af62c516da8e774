// The stereo routine without windows, its pixel work against the definitions.
#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <set>
#include <string>
#include <vector>
#include "app/alignment.h"
#include "app/anaglyph_row.h"
#include "app/compose.h"
#include "app/save_name.h"
#include "app/stereo_slots.h"

namespace {
bool IsOpenIn(int slot, void* context) {
    return static_cast<std::set<int>*>(context)->count(slot) != 0;
}

// Slots for left, right, preview, two frames and save: known ones first, never taken ones.
TEST(StereoSlots, FreeSlotsInRoleOrder) {
    std::set<int> open = {0, 1, 2, 7, 9};  // three dropped files and two of the user's
    const StereoSlots s = AssignStereoSlots(IsOpenIn, &open);
    EXPECT_TRUE(s.ok);
    EXPECT_EQ(std::vector<int>(s.slot, s.slot + kStereoRoles),
              std::vector<int>({8, 10, 3, 4, 5, 6}));
    for (int n = 6; n < 256; ++n) open.insert(n);  // 3, 4 and 5 free: one short
    EXPECT_FALSE(AssignStereoSlots(IsOpenIn, &open).ok);
}

std::tm At(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

bool Exists(const char* name, void* files) {
    return static_cast<std::set<std::string>*>(files)->count(name) != 0;
}

// The name the next save gets into a buffer of `bytes`: "" when none is free or fits.
TEST(SaveName, TimeStampsAndCountersKeepSavesInOneSecondApart) {
    const std::tm t = At(2008, 1, 24, 14, 5, 9);
    const std::string stamp = "Dor-080124_14_05_09";
    std::set<std::string> full = {stamp + ".jpg"};
    for (int k = 2; k <= kMaxSaveCounter; ++k)
        full.insert(stamp + "_" + std::to_string(k) + ".jpg");
    const struct {
        std::tm at;
        std::set<std::string> files;
        size_t bytes;
        std::string name;
    } cases[] = {
        {At(2000, 12, 31, 23, 59, 59), {stamp + ".jpg"}, kSaveNameBytes, "Dor-001231_23_59_59"},
        {t, {stamp + ".jpg", stamp + "_3.jpg"}, kSaveNameBytes, stamp + "_2"},  // a gap is reused
        {t, full, kSaveNameBytes, ""},
        {t, {stamp + ".bmp"}, 20, stamp},  // only .jpg counts; the plain name needs 20 bytes
        {t, {stamp + ".jpg"}, 20, ""},
    };
    for (auto c : cases) {
        char out[kSaveNameBytes];
        std::memset(out, 'Z', sizeof out);
        EXPECT_EQ(ChooseSaveName(c.at, Exists, &c.files, out, c.bytes), !c.name.empty());
        EXPECT_EQ(std::string(out), c.name);
    }
}

MouseSample Mouse(int x, int y, bool button = false, int image = 0) {
    return {image, x, y, button};
}

std::string Act(const GuideAction& g) {
    return testing::PrintToString(std::vector<int>{g.moveLine, g.from, g.to, g.recompose, g.a});
}

TEST(Layout, HalfScreenZoomAndNeighbours) {
    // 1920 * 100 / 1001 = 191, / 2 = 95; 1001 * 95 / 100 = 950; 301 * 95 / 100 = 285.
    const StereoLayout l = ComputeStereoLayout(1001, 301, 1920);
    EXPECT_EQ(std::vector<int>({l.ok, l.half, l.zoom, l.previewY, l.buttonBoxX}),
              std::vector<int>({true, 500, 95, 285, 950}));
    EXPECT_FALSE(ComputeStereoLayout(1, 100, 1280).ok || ComputeStereoLayout(2, 0, 1280).ok);
}

TEST(Guides, HoverPreviewsButtonSetsLeavingRestores) {
    StereoAlignment s = StartAlignment(501, 400);  // guides in the middle of each view
    EXPECT_TRUE(s.leftGuide == 250 && s.rightGuide == 751 && HorizontalOffset(s) == 0);
    s = StartAlignment(500, 400);
    EXPECT_EQ(Act(UpdateLeftGuide(s, Mouse(260, 200))), Act({true, 250, 260, true, 10}));
    EXPECT_EQ(s.leftGuide, 250) << "not set without the button";
    EXPECT_EQ(Act(UpdateLeftGuide(s, Mouse(260, 200, false, 3))), Act({true, 260, 250, true, 0}))
        << "over another window";
    EXPECT_FALSE(UpdateLeftGuide(s, Mouse(260, 200, false, 3)).recompose) << "already restored";
    UpdateLeftGuide(s, Mouse(240, 100, true));
    const GuideAction back = UpdateLeftGuide(s, Mouse(0, 0));
    EXPECT_TRUE(!back.moveLine && back.recompose && back.a == -10) << Act(back);
    UpdateRightGuide(s, Mouse(800, 300, true));
    EXPECT_EQ(HorizontalOffset(s), 240 - 800 + 500);
}

TEST(Guides, NearnessLimits) {
    const StereoAlignment start = StartAlignment(500, 400);
    const int cases[][3] = {{349, 200, 1}, {350, 200, 0}, {250, 50, 0},
                            {250, 51, 1},  {250, 349, 1}, {250, 350, 0}};
    for (const auto& c : cases) {
        StereoAlignment s = start;
        EXPECT_EQ(UpdateLeftGuide(s, Mouse(c[0], c[1])).recompose, c[2] != 0) << c[0] << c[1];
    }
    StereoAlignment s = start;  // each guide answers only on its own side of the pair
    s.rightDrawn = 520;
    EXPECT_FALSE(UpdateRightGuide(s, Mouse(499, 200)).recompose);
}

TEST(Arrows, MoveTheLeftGuidePastTheEdgeAndSaturate) {
    StereoAlignment s = StartAlignment(640, 480);
    for (int k = 0; k < 12; ++k) PressRightArrow(s);
    EXPECT_EQ(s.rightGuide, 960);
    EXPECT_EQ(Act(PressLeftArrow(s)), Act({true, 332, 331, true, 11}));
    s.leftGuide = s.leftDrawn = INT_MAX;
    PressRightArrow(s);
    s.rightGuide = -5;
    EXPECT_EQ(HorizontalOffset(s), INT_MAX);
    s = StartAlignment(10, 3);  // the vertical offset stops at the height
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(PressDownArrow(s));
    EXPECT_FALSE(PressDownArrow(s) || s.verticalOffset != -3);
}

constexpr uint32_t kCanary = 0xDEADBEEF;  // fills outputs before a call

// Every pixel tells where it came from: red = x, green = y, blue = which view.
std::vector<uint32_t> View(int w, int h, uint32_t tag) {
    std::vector<uint32_t> v(size_t(w) * h);
    for (size_t k = 0; k < v.size(); ++k)
        v[k] = uint32_t(k % size_t(w)) << 16 | uint32_t(k / size_t(w)) << 8 | tag;
    return v;
}

// Output buffer of w x h pixels plus a guard band that must stay untouched.
struct Guarded {
    std::vector<uint32_t> data;
    size_t size;
    Guarded(int w, int h) : data(size_t(w) * h + 64, kCanary), size(size_t(w) * h) {}
    uint32_t* get() { return data.data(); }
    uint32_t at(int w, int x, int y) const { return data[size_t(y) * w + x]; }
    bool GuardIntact() const {
        return std::count(data.begin() + long(size), data.end(), kCanary) == 64;
    }
};

// The anaglyph's red by its definition, in double.
uint32_t RedByFormula(uint32_t p) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    const double y = (g * 0.587 + r * 0.299) + b * 0.114;
    return static_cast<uint32_t>(static_cast<int>(y) & 0xFF);
}

// Output pixel (x, y) of the left and right frame straight from the definition
// of the alignment; black outside the overlap.
using Pixels = std::vector<uint32_t>;
std::pair<uint32_t, uint32_t> Expected(const Pixels& L, const Pixels& R, int half, int h, int a,
                                       int i, int x, int y) {
    const long long ap = a > 0 ? a : 0, am = a < 0 ? -static_cast<long long>(a) : 0;
    const long long ip = i > 0 ? i : 0, im = i < 0 ? -static_cast<long long>(i) : 0;
    if (x >= half - ap - am || y >= h - ip - im) return {0, 0};
    return {L[size_t((y + ip) * half + x + ap)], R[size_t((y + im) * half + x + am)]};
}

// The overlap, anaglyph, wiggle frames and saved pair for one alignment of
// 7 x 9 views, or larger ones whose rows go eight pixels a step with a tail.
void CheckAlignment(int a, int i, int half = 7, int h = 9) {
    SCOPED_TRACE(testing::Message() << "a = " << a << ", i = " << i << ", half = " << half);
    const auto L = View(half, h, 0x11);
    auto R = View(half, h, 0x22);
    for (auto& p : R) p ^= 0x804020;  // so that the luminance varies
    Guarded P(half, h), F1(half, h), F2(half, h);
    MakeAnaglyph(half, h, L.data(), R.data(), P.get(), a, i);
    MakeWiggleFrames(half, h, L.data(), R.data(), F1.get(), F2.get(), a, i);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < half; ++x) {
            const auto [l, r] = Expected(L, R, half, h, a, i, x, y);
            ASSERT_TRUE(F1.at(half, x, y) == l && F2.at(half, x, y) == r) << x << "," << y;
            ASSERT_EQ(P.at(half, x, y), RedByFormula(r) << 16 | (l & 0xFFFF)) << x << "," << y;
        }
    EXPECT_TRUE(P.GuardIntact() && F1.GuardIntact() && F2.GuardIntact());
    long long w = half - std::llabs(a), v = h - std::llabs(i);
    if (w <= 0 || v <= 0) w = v = 0;
    const SavedPairSize size = SavedPairSizeFor(half, h, a, i);
    ASSERT_TRUE(size.width == 2 * w && size.height == v) << size.width << " x " << size.height;
    Guarded S(size.width, size.height);
    ComposeSavedPair(half, h, L.data(), R.data(), a, i, S.get());
    EXPECT_TRUE(S.GuardIntact());
    for (int y = 0; y < v; ++y)
        for (int x = 0; x < w; ++x) {
            const auto [l, r] = Expected(L, R, half, h, a, i, x, y);
            ASSERT_TRUE(S.at(size.width, x, y) == l && S.at(size.width, int(w) + x, y) == r);
        }
}

// Every 24-bit colour through MakeAnaglyph's rows (eight pixels a step) and
// one pixel at a time, over a left view whose green and blue must come through.
TEST(Anaglyph, RedMatchesDoubleFormulaForAllColours) {
    const int half = 4096, h = 16;
    std::vector<uint32_t> left(size_t(half) * h, 0xFFABCDEF), right(left.size()), out(left.size());
    long mismatches = 0;
    for (uint32_t chunk = 0; chunk <= 256; ++chunk) {  // and a last chunk of greys only
        for (uint32_t k = 0; k < right.size(); ++k)
            right[k] = chunk < 256 ? (chunk << 16) | k : (k & 0xFF) * 0x010101u;
        MakeAnaglyph(half, h, left.data(), right.data(), out.data(), 0, 0);
        for (uint32_t k = 0; k < out.size(); ++k)
            if (out[k] != ((RedByFormula(right[k]) << 16) | 0xCDEF) ||
                AnaglyphRed(right[k]) != RedByFormula(right[k])) {
                EXPECT_EQ(mismatches++, 0) << "first bad colour 0x" << std::hex << right[k];
            }
    }
    EXPECT_EQ(AnaglyphRed(0xFF808080), 127u) << "the double sum falls just below 128";
}

TEST(Composition, EveryAlignmentAgainstItsDefinition) {
    for (int a : {-6, -1, 0, 3, 6})
        for (int i : {-8, -1, 0, 5}) CheckAlignment(a, i);
    // Out of range: black, and nothing saved.
    for (int a : {7, -7, INT_MAX, INT_MIN}) CheckAlignment(a, 2);
    for (int i : {9, -9, INT_MIN}) CheckAlignment(0, i);
    CheckAlignment(-5, 3, 308, 250);  // an overlap of 303: 37 steps of eight and a tail
    EXPECT_EQ(SavedPairSizeFor(INT_MAX, 1, 0, 0).width, 0) << "the doubled width never wraps";
    EXPECT_EQ(SavedPairSizeFor(INT_MAX / 2, 1, 0, 0).width, INT_MAX - 1);
}

TEST(Split, OddWidthDropsLastColumnAndWidthOneHasNoViews) {
    const auto pair = View(7, 3, 0x33), left = View(3, 3, 0x33);
    Guarded l(3, 3), r(3, 3), none(0, 0);
    SplitStereoPair(pair.data(), 7, 3, l.get(), r.get());
    for (size_t k = 0; k < 9; ++k)
        EXPECT_TRUE(l.data[k] == left[k] && r.data[k] == left[k] + (3 << 16)) << k;
    SplitStereoPair(pair.data(), 1, 2, none.get(), none.get());
    EXPECT_TRUE(l.GuardIntact() && r.GuardIntact() && none.GuardIntact());
}
}  // namespace
