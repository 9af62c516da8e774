// The anaglyph styles the companion can write, from the program's own red/cyan
// to Dubois' least-squares projection.
//
// Buffers and alignment are those of MakeAnaglyph (app/compose.h): pixels
// 0x00RRGGBB, rows top-down with a stride of `half`; the views and the output
// are half x height; output pixel (x, y) combines the left view at
// (x + max(a, 0), y + max(i, 0)) with the right view at
// (x + max(-a, 0), y + max(-i, 0)); only the overlap has content and the rest
// of the output is black. The output must not overlap the views.
//
// Which eye gets which view. Red/cyan glasses put the red filter over the left
// eye, so every mode here except RedCyan takes the output's red from the left
// view and its green and blue from the right view. RedCyan is the program's
// own preview, kept bit for bit: its red is the luminance of the RIGHT view and
// its green and blue are the LEFT view's, i.e. it suits glasses worn with red
// over the right eye (or a pair given in the other order).
//
// All arithmetic after the RedCyan mode is integer or table lookup, so the same
// bytes come out on every target, whatever its floating-point unit does.
#pragma once
#include <cstdint>

enum class AnaglyphMode {
    RedCyan,     // MakeAnaglyph itself: red = luminance of the right view, truncated
    Grey,        // R = Y(left), G = B = Y(right); Y with Rec.601 weights, rounded
    Colour,      // R = left's red, G and B = right's
    HalfColour,  // R = Y(left), G and B = right's
    Optimised,   // R = left's 0.7 g + 0.3 b lifted by gamma 1/1.5, G and B = right's
    Dubois,      // Dubois' 2009 least-squares red/cyan matrices, in linear light
};

// Reads a mode's name as typed on a command line: "redcyan", "grey" or "gray",
// "colour" or "color", "half", "optimised" or "optimized", "dubois", in any
// letter case. Returns false, leaving *mode unchanged, for anything else.
bool ParseAnaglyphMode(const char* name, AnaglyphMode* mode);

// The mode's canonical name, one that ParseAnaglyphMode reads back; "unknown"
// for a value outside the enum.
const char* AnaglyphModeName(AnaglyphMode mode);

// Writes the anaglyph of the aligned views in `mode` into `out`. With `swap`
// the views change eyes: `right` is treated as the left eye's view and `left`
// as the right eye's, while (a, i) keeps describing where each buffer is read,
// so the overlap shows the same pixels of each buffer either way. For RedCyan
// without `swap` this is exactly MakeAnaglyph(half, height, left, right, out,
// a, i). Writes nothing when half or height is not positive.
void MakeAnaglyphMode(AnaglyphMode mode, int half, int height, const uint32_t* left,
                      const uint32_t* right, uint32_t* out, int a, int i, bool swap);

// One output pixel of `mode` from the pixel the left view shows at that point
// and the one the right view shows (no swapping): the value MakeAnaglyphMode
// writes in the overlap, exposed so that each mode can be checked against its
// definition colour by colour.
uint32_t AnaglyphModePixel(AnaglyphMode mode, uint32_t leftPixel, uint32_t rightPixel);

// The sRGB transfer stages of the Dubois mode, exposed for tests. Linear light
// is 16-bit fixed point, 0..65535 for 0..1.
// SrgbToLinear16: an 8-bit sRGB level (0..255) to linear, correctly rounded.
// Linear16ToSrgb: linear (0..65535) to the nearest 8-bit sRGB level, halves up.
// Linear16ToSrgb(SrgbToLinear16(v)) == v for every level.
uint32_t SrgbToLinear16(uint32_t level);
uint32_t Linear16ToSrgb(uint32_t linear);
