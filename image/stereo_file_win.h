// Stereo pair files through GDI+: a .mpo or .jps opened into one 32-bit
// picture holding both views side by side, and a side-by-side pair written as
// MPO or JPS. The container layouts are read and written by the formats code;
// here each JPEG stream is decoded and encoded.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "formats/stereo_plan.h"
#include "image/gdiplus_codec_win.h"
#include "image/picture_read_win.h"

// Draws the pair (or the single picture) that `file` opens as into the current
// image window with its top-left corner at (x, y), as QUB_LoadImage does:
// 0 loaded, 1 not readable as such a picture. Both views are decoded before
// either is drawn, so a failure leaves the buffer as it was.
int QUB_LoadPair(const PictureFile& file, PairKind kind, int x, int y);

// Writes the side-by-side pair `pixels` (left view in the left half; an odd
// width leaves out the middle column) to `path` as MPO (kPairMpo) or
// cross-eyed JPS (kPairJps), through a temporary file that is read back and
// checked before it takes the name. 0 written, 1 failed (nothing is left
// behind), 2 width below 2, height below 1 or a kind that is no pair file.
int QUB_SavePair(const wchar_t* path, PairKind kind, const uint32_t* pixels, int width, int height,
                 size_t stride, int quality);
