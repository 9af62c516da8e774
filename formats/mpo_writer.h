// A two-view multi-picture file (.mpo) from two whole JPEG streams: the left
// view first, as stereo cameras write it, so that viewers without MPO support
// show the left view.
//
// Each stream gets an APP2 "MPF" segment after its SOI and any APP0 / APP1
// (JFIF, Exif) segments. The first holds the MP Index directory, its table of
// two entries of type disparity and the first view's attribute directory; the
// second holds the second view's attribute directory. The table's sizes and
// offsets are those of the streams as written, the MPF segments included.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Fills `out` with the file. False, `out` emptied, when a stream does not
// start with SOI, its head segments run past its end, or the file would pass
// the 4 GiB the table's 32-bit offsets can reach.
bool QUB_WriteMpo(const uint8_t* left, size_t leftSize, const uint8_t* right, size_t rightSize,
                  std::vector<uint8_t>* out);
