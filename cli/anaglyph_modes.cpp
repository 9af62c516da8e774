#include "cli/anaglyph_modes.h"

#include <array>
#include <climits>
#include <cstddef>
#include <cstring>

#include "app/anaglyph_row.h"
#include "app/compose.h"

namespace {

// ---------------------------------------------------------------------------
// Luma and the gamma lift
//
// Rec.601 luma is 0.299 r + 0.587 g + 0.114 b. With the weights in thousandths
// the sum is an exact integer, so rounding it (halves up) needs no floating
// point at all.
// ---------------------------------------------------------------------------

inline uint32_t Red(uint32_t p) { return (p >> 16) & 0xFF; }
inline uint32_t Green(uint32_t p) { return (p >> 8) & 0xFF; }
inline uint32_t Blue(uint32_t p) { return p & 0xFF; }

inline uint32_t Luma(uint32_t p) {
    return (299 * Red(p) + 587 * Green(p) + 114 * Blue(p) + 500) / 1000;
}

// The Optimised red is 255 * (m / 255)^(1/1.5) with m = 0.7 g + 0.3 b. In tenths
// m is s = 7 g + 3 b, an integer in 0..2550, so a table over s gives the exact
// value. Each entry is the largest t with t - 1/2 <= 255 * (s / 2550)^(2/3);
// cubing both sides and clearing denominators (2550^2 = 25 * 510^2) turns that
// into 25 (2t - 1)^3 <= 510 s^2, integers below 2^32 that a constexpr loop
// compares exactly. The two sides are never equal (the left is odd, the right
// even), so there are no halves to break.
constexpr size_t kLiftInputs = 7 * 255 + 3 * 255 + 1;

struct LiftTable {
    std::array<uint8_t, kLiftInputs> level{};
};

constexpr LiftTable MakeLiftTable() {
    LiftTable table;
    uint64_t t = 0;
    for (size_t s = 0; s < kLiftInputs; ++s) {
        // The lift is increasing in s, so t only ever moves up.
        const uint64_t s2 = static_cast<uint64_t>(s) * s;
        while (t < 255 && 25 * (2 * t + 1) * (2 * t + 1) * (2 * t + 1) <= 510 * s2) ++t;
        table.level[s] = static_cast<uint8_t>(t);
    }
    return table;
}

constexpr LiftTable kLift = MakeLiftTable();

inline uint32_t OptimisedRed(uint32_t p) { return kLift.level[7 * Green(p) + 3 * Blue(p)]; }

// ---------------------------------------------------------------------------
// sRGB transfer, 8-bit levels to 16-bit linear light and back
//
// Both tables are literals so that no target's pow() takes part. They were
// computed once in 60-digit decimal arithmetic from the sRGB definition
// (IEC 61966-2-1: v / 12.92 up to 0.04045, ((v + 0.055) / 1.055)^2.4 above).
// kLinear[v] is 65535 * linear(v / 255) rounded to nearest; no value came
// within 1e-4 of a half, so the rounding is not fragile. kMidpoint[v - 1] is
// the first 16-bit linear value at or above linear((v - 1/2) / 255), where the
// nearest level changes from v - 1 to v. Tests check both against the formula
// in double for every input.
// ---------------------------------------------------------------------------

constexpr uint16_t kLinear[256] = {
    0, 20, 40, 60, 80, 99, 119, 139, 159, 179, 199, 219,
    241, 264, 288, 313, 340, 367, 396, 427, 458, 491, 526, 562,
    599, 637, 677, 718, 761, 805, 851, 898, 947, 997, 1048, 1101,
    1156, 1212, 1270, 1330, 1391, 1453, 1517, 1583, 1651, 1720, 1790, 1863,
    1937, 2013, 2090, 2170, 2250, 2333, 2418, 2504, 2592, 2681, 2773, 2866,
    2961, 3058, 3157, 3258, 3360, 3464, 3570, 3678, 3788, 3900, 4014, 4129,
    4247, 4366, 4488, 4611, 4736, 4864, 4993, 5124, 5257, 5392, 5530, 5669,
    5810, 5953, 6099, 6246, 6395, 6547, 6700, 6856, 7014, 7174, 7335, 7500,
    7666, 7834, 8004, 8177, 8352, 8528, 8708, 8889, 9072, 9258, 9445, 9635,
    9828, 10022, 10219, 10417, 10619, 10822, 11028, 11235, 11446, 11658, 11873, 12090,
    12309, 12530, 12754, 12980, 13209, 13440, 13673, 13909, 14146, 14387, 14629, 14874,
    15122, 15371, 15623, 15878, 16135, 16394, 16656, 16920, 17187, 17456, 17727, 18001,
    18277, 18556, 18837, 19121, 19407, 19696, 19987, 20281, 20577, 20876, 21177, 21481,
    21787, 22096, 22407, 22721, 23038, 23357, 23678, 24002, 24329, 24658, 24990, 25325,
    25662, 26001, 26344, 26688, 27036, 27386, 27739, 28094, 28452, 28813, 29176, 29542,
    29911, 30282, 30656, 31033, 31412, 31794, 32179, 32567, 32957, 33350, 33745, 34143,
    34544, 34948, 35355, 35764, 36176, 36591, 37008, 37429, 37852, 38278, 38706, 39138,
    39572, 40009, 40449, 40891, 41337, 41785, 42236, 42690, 43147, 43606, 44069, 44534,
    45002, 45473, 45947, 46423, 46903, 47385, 47871, 48359, 48850, 49344, 49841, 50341,
    50844, 51349, 51858, 52369, 52884, 53401, 53921, 54445, 54971, 55500, 56032, 56567,
    57105, 57646, 58190, 58737, 59287, 59840, 60396, 60955, 61517, 62082, 62650, 63221,
    63795, 64372, 64952, 65535,
};

constexpr uint16_t kMidpoint[255] = {
    10, 30, 50, 70, 90, 110, 130, 150, 170, 189, 209, 230,
    253, 276, 301, 327, 354, 382, 412, 443, 475, 509, 544, 580,
    618, 657, 698, 740, 783, 828, 875, 923, 972, 1023, 1075, 1129,
    1185, 1242, 1300, 1360, 1422, 1486, 1551, 1617, 1685, 1755, 1827, 1900,
    1975, 2052, 2130, 2210, 2292, 2376, 2461, 2548, 2637, 2727, 2820, 2914,
    3010, 3108, 3208, 3309, 3412, 3518, 3625, 3734, 3844, 3957, 4072, 4188,
    4307, 4427, 4550, 4674, 4800, 4928, 5059, 5191, 5325, 5461, 5599, 5740,
    5882, 6026, 6173, 6321, 6471, 6624, 6778, 6935, 7094, 7255, 7418, 7583,
    7750, 7919, 8091, 8265, 8440, 8618, 8798, 8981, 9165, 9352, 9541, 9732,
    9925, 10121, 10318, 10518, 10720, 10925, 11132, 11341, 11552, 11765, 11981, 12199,
    12420, 12643, 12868, 13095, 13325, 13557, 13791, 14028, 14267, 14508, 14752, 14998,
    15247, 15498, 15751, 16007, 16265, 16525, 16788, 17054, 17321, 17592, 17864, 18139,
    18417, 18697, 18980, 19264, 19552, 19842, 20134, 20429, 20727, 21027, 21329, 21634,
    21942, 22252, 22564, 22880, 23197, 23518, 23840, 24166, 24494, 24824, 25158, 25493,
    25832, 26173, 26516, 26862, 27211, 27563, 27917, 28273, 28633, 28995, 29359, 29727,
    30097, 30469, 30845, 31223, 31603, 31987, 32373, 32762, 33153, 33547, 33944, 34344,
    34747, 35152, 35560, 35970, 36384, 36800, 37219, 37640, 38065, 38492, 38922, 39355,
    39790, 40229, 40670, 41114, 41561, 42011, 42463, 42918, 43377, 43838, 44301, 44768,
    45238, 45710, 46185, 46663, 47144, 47628, 48115, 48605, 49097, 49593, 50091, 50592,
    51096, 51604, 52114, 52627, 53142, 53661, 54183, 54708, 55235, 55766, 56300, 56836,
    57376, 57918, 58464, 59012, 59564, 60118, 60675, 61236, 61799, 62366, 62935, 63508,
    64083, 64662, 65244,
};

// The nearest level for every 16-bit linear value: the number of midpoints at
// or below it. 64 KB, built by the compiler from the integers above.
struct ToSrgbTable {
    std::array<uint8_t, 65536> level{};
};

constexpr ToSrgbTable MakeToSrgbTable() {
    ToSrgbTable table;
    uint32_t v = 0;
    for (uint32_t n = 0; n < 65536; ++n) {
        while (v < 255 && kMidpoint[v] <= n) ++v;
        table.level[n] = static_cast<uint8_t>(v);
    }
    return table;
}

constexpr ToSrgbTable kToSrgb = MakeToSrgbTable();

// ---------------------------------------------------------------------------
// Dubois
//
// The red/cyan matrices of E. Dubois' 2009 note on his least-squares method,
// in three decimals, for common red/cyan glasses. They are not those of his
// paper "A projection method to generate anaglyph stereo images" (ICASSP
// 2001), which were computed from other measured spectra; the method is the
// paper's. Rows give the output's R, G, B; columns
// weigh the eye's linear r, g, b. Held in thousandths, the published values
// are exact, and a row times 16-bit linear light stays below 2^27.
//
// Each eye's term is clamped to [0, 1] before the two are added and the sum
// is clamped again (Dubois clamps only the sum; the tests define the mode
// this way). With these matrices that zeroes the left eye's green and blue
// rows and the right eye's red row, whose coefficients are all negative.
// ---------------------------------------------------------------------------

constexpr int32_t kDuboisLeft[3][3] = {
    {437, 449, 164},
    {-62, -62, -24},
    {-48, -50, -17},
};
constexpr int32_t kDuboisRight[3][3] = {
    {-11, -32, -7},
    {377, 761, 9},
    {-26, -93, 1234},
};

constexpr int32_t kLinearOne = 65535 * 1000;  // 1.0 at the matrices' scale

inline int32_t ClampUnit(int32_t v) { return v < 0 ? 0 : (v > kLinearOne ? kLinearOne : v); }

inline uint32_t DuboisPixel(uint32_t leftPixel, uint32_t rightPixel) {
    const int32_t l[3] = {kLinear[Red(leftPixel)], kLinear[Green(leftPixel)],
                          kLinear[Blue(leftPixel)]};
    const int32_t r[3] = {kLinear[Red(rightPixel)], kLinear[Green(rightPixel)],
                          kLinear[Blue(rightPixel)]};
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        const int32_t* ml = kDuboisLeft[c];
        const int32_t* mr = kDuboisRight[c];
        const int32_t termLeft = ClampUnit(ml[0] * l[0] + ml[1] * l[1] + ml[2] * l[2]);
        const int32_t termRight = ClampUnit(mr[0] * r[0] + mr[1] * r[1] + mr[2] * r[2]);
        const int32_t sum = ClampUnit(termLeft + termRight);
        out = (out << 8) | kToSrgb.level[static_cast<uint32_t>(sum + 500) / 1000];
    }
    return out;
}

// ---------------------------------------------------------------------------
// Pixels and rows
// ---------------------------------------------------------------------------

inline uint32_t GreyPixel(uint32_t l, uint32_t r) {
    const uint32_t y = Luma(r);
    return (Luma(l) << 16) | (y << 8) | y;
}
inline uint32_t ColourPixel(uint32_t l, uint32_t r) { return (l & 0xFF0000) | (r & 0xFFFF); }
inline uint32_t HalfColourPixel(uint32_t l, uint32_t r) { return (Luma(l) << 16) | (r & 0xFFFF); }
inline uint32_t OptimisedPixel(uint32_t l, uint32_t r) {
    return (OptimisedRed(l) << 16) | (r & 0xFFFF);
}

// The overlap's rows of one mode, then black to the edges. Output (0, 0) reads
// `left` at (leftX, leftY) and `right` at (rightX, rightY); `swap` hands the
// two buffers to the other eyes without moving where they are read.
template <uint32_t (*Pixel)(uint32_t, uint32_t)>
void ComposeRows(int half, int height, const uint32_t* left, const uint32_t* right,
                 uint32_t* out, StereoOverlap overlap, ptrdiff_t leftX, ptrdiff_t leftY,
                 ptrdiff_t rightX, ptrdiff_t rightY, bool swap) {
    for (ptrdiff_t y = 0; y < overlap.height; ++y) {
        const uint32_t* l = left + (y + leftY) * half + leftX;
        const uint32_t* r = right + (y + rightY) * half + rightX;
        uint32_t* row = out + y * half;
        if (swap) {
            for (int x = 0; x < overlap.width; ++x) row[x] = Pixel(r[x], l[x]);
        } else {
            for (int x = 0; x < overlap.width; ++x) row[x] = Pixel(l[x], r[x]);
        }
        std::memset(row + overlap.width, 0,
                    static_cast<size_t>(half - overlap.width) * sizeof(uint32_t));
    }
    std::memset(out + static_cast<ptrdiff_t>(overlap.height) * half, 0,
                static_cast<size_t>(height - overlap.height) * static_cast<size_t>(half) *
                    sizeof(uint32_t));
}

// -v for an offset; INT_MIN becomes INT_MAX, which is just as far out of range
// for any view an int can size.
inline int Negated(int v) { return v == INT_MIN ? INT_MAX : -v; }

struct ModeName {
    const char* name;
    AnaglyphMode mode;
};

// Canonical names first: AnaglyphModeName returns the first entry of a mode.
constexpr ModeName kModeNames[] = {
    {"redcyan", AnaglyphMode::RedCyan},      {"grey", AnaglyphMode::Grey},
    {"colour", AnaglyphMode::Colour},        {"half", AnaglyphMode::HalfColour},
    {"optimised", AnaglyphMode::Optimised},  {"dubois", AnaglyphMode::Dubois},
    {"gray", AnaglyphMode::Grey},            {"color", AnaglyphMode::Colour},
    {"optimized", AnaglyphMode::Optimised},
};

bool SameNameIgnoringCase(const char* typed, const char* name) {
    for (; *typed != '\0' && *name != '\0'; ++typed, ++name) {
        char c = *typed;
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != *name) return false;
    }
    return *typed == '\0' && *name == '\0';
}

}  // namespace

bool ParseAnaglyphMode(const char* name, AnaglyphMode* mode) {
    if (name == nullptr) return false;
    for (const ModeName& entry : kModeNames) {
        if (SameNameIgnoringCase(name, entry.name)) {
            *mode = entry.mode;
            return true;
        }
    }
    return false;
}

const char* AnaglyphModeName(AnaglyphMode mode) {
    for (const ModeName& entry : kModeNames)
        if (entry.mode == mode) return entry.name;
    return "unknown";
}

uint32_t AnaglyphModePixel(AnaglyphMode mode, uint32_t leftPixel, uint32_t rightPixel) {
    switch (mode) {
        case AnaglyphMode::RedCyan:
            return (AnaglyphRed(rightPixel) << 16) | (leftPixel & 0xFFFF);
        case AnaglyphMode::Grey: return GreyPixel(leftPixel, rightPixel);
        case AnaglyphMode::Colour: return ColourPixel(leftPixel, rightPixel);
        case AnaglyphMode::HalfColour: return HalfColourPixel(leftPixel, rightPixel);
        case AnaglyphMode::Optimised: return OptimisedPixel(leftPixel, rightPixel);
        case AnaglyphMode::Dubois: return DuboisPixel(leftPixel, rightPixel);
    }
    return 0;
}

uint32_t SrgbToLinear16(uint32_t level) { return kLinear[level & 0xFF]; }

uint32_t Linear16ToSrgb(uint32_t linear) { return kToSrgb.level[linear & 0xFFFF]; }

void MakeAnaglyphMode(AnaglyphMode mode, int half, int height, const uint32_t* left,
                      const uint32_t* right, uint32_t* out, int a, int i, bool swap) {
    if (half <= 0 || height <= 0) return;
    if (mode == AnaglyphMode::RedCyan) {
        // MakeAnaglyph's first view is the one whose green and blue it keeps.
        if (swap)
            MakeAnaglyph(half, height, right, left, out, Negated(a), Negated(i));
        else
            MakeAnaglyph(half, height, left, right, out, a, i);
        return;
    }
    const StereoOverlap overlap = AlignedOverlap(half, height, a, i);
    // With any overlap |a| < half and |i| < height, so neither is INT_MIN.
    const ptrdiff_t leftX = overlap.width > 0 && a > 0 ? a : 0;
    const ptrdiff_t rightX = overlap.width > 0 && a < 0 ? -static_cast<ptrdiff_t>(a) : 0;
    const ptrdiff_t leftY = overlap.height > 0 && i > 0 ? i : 0;
    const ptrdiff_t rightY = overlap.height > 0 && i < 0 ? -static_cast<ptrdiff_t>(i) : 0;
    switch (mode) {
        case AnaglyphMode::Grey:
            ComposeRows<GreyPixel>(half, height, left, right, out, overlap, leftX, leftY,
                                   rightX, rightY, swap);
            return;
        case AnaglyphMode::Colour:
            ComposeRows<ColourPixel>(half, height, left, right, out, overlap, leftX, leftY,
                                     rightX, rightY, swap);
            return;
        case AnaglyphMode::HalfColour:
            ComposeRows<HalfColourPixel>(half, height, left, right, out, overlap, leftX,
                                         leftY, rightX, rightY, swap);
            return;
        case AnaglyphMode::Optimised:
            ComposeRows<OptimisedPixel>(half, height, left, right, out, overlap, leftX,
                                        leftY, rightX, rightY, swap);
            return;
        case AnaglyphMode::Dubois:
            ComposeRows<DuboisPixel>(half, height, left, right, out, overlap, leftX, leftY,
                                     rightX, rightY, swap);
            return;
        case AnaglyphMode::RedCyan: break;
    }
    // A value outside the enum: black rather than whatever the buffer held.
    std::memset(out, 0,
                static_cast<size_t>(half) * static_cast<size_t>(height) * sizeof(uint32_t));
}
