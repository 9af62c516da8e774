#include "imgproc/bitmap_text.h"

#include "imgproc/font8x14.h"
#include "imgproc/pixel_surface.h"

using qub_px::Surface32;
using qub_px::Surface8;

namespace {

constexpr int kLinePitch = 16;

// The cursor may be anywhere in the int range; it sticks at the ends instead of
// wrapping around.
inline int SaturatingAdd(int a, int b) {
    const int64_t sum = static_cast<int64_t>(a) + b;
    if (sum > 2147483647) return 2147483647;
    if (sum < -2147483647 - 1) return -2147483647 - 1;
    return static_cast<int>(sum);
}

template <class S>
void DrawChar(const S& s, QUB_TextCursor* cursor, typename S::Value value, int code, QUB_Pen* pen) {
    if (code == 10) {
        cursor->textX = cursor->textLeft;
        cursor->textY = SaturatingAdd(cursor->textY, kLinePitch);
        return;
    }
    const uint8_t* glyph = QUB_FontGlyph(code);
    if (!glyph) return;
    const int64_t top = static_cast<int64_t>(cursor->textY) - kFontRows;
    const int64_t left = cursor->textX;
    int64_t lastX = 0, lastY = 0;
    bool any = false;
    for (int r = 0; r < kFontRows; ++r) {
        const unsigned bits = glyph[r];
        if (!bits) continue;
        const int64_t y = top + r;
        for (int k = 0; k < kFontColumns; ++k) {
            if (!(bits & (0x80u >> k))) continue;
            const int64_t x = left + k;
            if (qub_px::Inside(s, x, y)) s.Set(static_cast<int>(x), static_cast<int>(y), value);
            lastX = x;
            lastY = y;
            any = true;
        }
    }
    if (any && pen) {
        pen->x = SaturatingAdd(cursor->textX, static_cast<int>(lastX - left));
        pen->y = SaturatingAdd(cursor->textY, static_cast<int>(lastY - top) - kFontRows);
    }
    cursor->textX = SaturatingAdd(cursor->textX, kFontColumns);
    if (static_cast<int64_t>(cursor->textX) > static_cast<int64_t>(s.width) - kFontColumns) {
        cursor->textX = cursor->textLeft;
        cursor->textY = SaturatingAdd(cursor->textY, kLinePitch);
    }
}

template <class S>
void DrawString(const S& s, QUB_TextCursor* cursor, typename S::Value value, const char* text,
                QUB_Pen* pen) {
    if (!text) return;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        DrawChar(s, cursor, value, *p, pen);
}

}  // namespace

void QUB_DrawChar32(uint32_t* pixels, int width, int height, QUB_TextCursor* cursor, uint32_t colour,
                    int code, QUB_Pen* pen) {
    DrawChar(Surface32{pixels, width, height}, cursor, colour, code, pen);
}

void QUB_DrawChar8(uint8_t* pixels, int width, int height, int stride, QUB_TextCursor* cursor,
                   uint32_t colour, int code, QUB_Pen* pen) {
    DrawChar(Surface8{pixels, width, height, stride}, cursor, Surface8::Stored(colour), code, pen);
}

void QUB_DrawString32(uint32_t* pixels, int width, int height, QUB_TextCursor* cursor, uint32_t colour,
                      const char* text, QUB_Pen* pen) {
    DrawString(Surface32{pixels, width, height}, cursor, colour, text, pen);
}

void QUB_DrawString8(uint8_t* pixels, int width, int height, int stride, QUB_TextCursor* cursor,
                     uint32_t colour, const char* text, QUB_Pen* pen) {
    DrawString(Surface8{pixels, width, height, stride}, cursor, Surface8::Stored(colour), text, pen);
}
