// Grey PNG files of 8 or 16 bits a sample, written into a byte vector: the
// companion's depth maps, whose values must come back exactly (a viewer's
// 8-bit copy would lose the disparity's fractions). Nothing here opens a file
// or needs a library: the rows are Paeth-filtered and compressed by a small
// deflate of its own (fixed Huffman codes, LZ77 matches found through a hash
// chain), which is what smooth maps need; photographs are not its job.
#pragma once
#include <cstdint>
#include <vector>

constexpr int kPngMaxSide = 1 << 16;  // larger sides are refused, as no map has them

// `samples`: width * height values, rows top-down; with `bits` 8 only the low
// byte of each is written. False (and `out` empty) for a size below 1 or past
// kPngMaxSide, a picture of more than 1.5 GB of samples (which one PNG data
// chunk could not hold), or bits other than 8 and 16.
bool WriteGreyPng(const uint16_t* samples, int width, int height, int bits,
                  std::vector<uint8_t>* out);
