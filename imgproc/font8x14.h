// The library's built-in 8 x 14 bitmap font: fixed pitch, codes 32 to 127.
//
// 14 bytes per glyph, rows top to bottom; bit 7 of a row is the leftmost of its
// 8 columns. Capitals and digits stand on rows 2-10 (row 10 is the baseline),
// small letters from row 4, descenders reach row 13; strokes are two pixels
// wide vertically and one pixel high horizontally. Codes 32 and 127 are blank.
#pragma once
#include <cstdint>

constexpr int kFontFirstCode = 32;
constexpr int kFontGlyphCount = 96;
constexpr int kFontRows = 14;
constexpr int kFontColumns = 8;

extern const uint8_t kFont8x14[kFontGlyphCount * kFontRows];

// The 14 rows of the glyph for `code`, or nullptr outside 32-127.
inline const uint8_t* QUB_FontGlyph(int code) {
    if (code < kFontFirstCode || code >= kFontFirstCode + kFontGlyphCount) return nullptr;
    return kFont8x14 + (code - kFontFirstCode) * kFontRows;
}
