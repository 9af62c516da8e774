// Pixel work of the stereo routine: splitting the dropped pair into its two
// views and composing the aligned views as an anaglyph, as the two wiggle
// frames, or side by side for saving.
//
// Every buffer holds 32-bit pixels 0x00RRGGBB, rows top-down with a stride of
// the image's width in words. The views L and R and the outputs P, F1, F2 are
// all half x height pixels. Output buffers must not overlap the inputs.
//
// Alignment (a, i): output pixel (x, y) shows the left view at
// (x + max(a, 0), y + max(i, 0)) and the right view at
// (x + max(-a, 0), y + max(-i, 0)). Only the overlap of both views,
// (half - |a|) x (height - |i|), has content; the rest of an output is black.
// Any a and i are accepted, including INT_MIN: offsets as large as the view or
// larger simply leave no overlap.
#pragma once
#include <cstdint>

struct StereoOverlap {
    int width;   // half - |a|, or 0 when the views do not overlap
    int height;  // height - |i|, or 0
};

// The part of the two views that both cover under the alignment (a, i). Both
// sides are 0 when either is empty, so a caller never sees a 0 x n overlap.
StereoOverlap AlignedOverlap(int half, int height, int a, int i);

// Copies the left half of `pair` (width x height, stride width) into `left` and
// the right half into `right`, each (width / 2) x height. With an odd width the
// last column of the pair belongs to neither view.
void SplitStereoPair(const uint32_t* pair, int width, int height, uint32_t* left,
                     uint32_t* right);

// Red/cyan anaglyph into `preview`: red is the luminance of the right view's
// pixel, Y = (g * 0.587 + r * 0.299) + b * 0.114 evaluated in IEEE double and
// truncated (low 8 bits kept); green and blue are the left view's own.
void MakeAnaglyph(int half, int height, const uint32_t* left, const uint32_t* right,
                  uint32_t* preview, int a, int i);

// The two frames of the wiggle animation: `frameLeft` gets the aligned left
// view, `frameRight` the aligned right view, pixels unchanged.
void MakeWiggleFrames(int half, int height, const uint32_t* left, const uint32_t* right,
                      uint32_t* frameLeft, uint32_t* frameRight, int a, int i);

// Size of the side-by-side image that Save writes: 2 x overlap width by overlap
// height. 0 x 0 when there is no overlap, and also when the doubled width
// would not fit an int (no real view is that wide, but a caller sizing a
// buffer from this must never see a wrapped value).
struct SavedPairSize {
    int width;
    int height;
};
SavedPairSize SavedPairSizeFor(int half, int height, int a, int i);

// Writes the aligned pair side by side into `out`, which holds
// SavedPairSizeFor(...) pixels with a stride of its width: the aligned left view
// on the left, the aligned right view on the right. Writes nothing when the
// size is 0 x 0.
void ComposeSavedPair(int half, int height, const uint32_t* left, const uint32_t* right,
                      int a, int i, uint32_t* out);
