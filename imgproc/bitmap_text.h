// Text in the 8 x 14 bitmap font, drawn at a text cursor.
//
// textX is the left edge of the next character cell and textY the row just
// below the glyph cell (glyph rows are textY - 14 ... textY - 1). Set bits are
// drawn in the text colour, clear bits leave the picture alone. After each
// glyph the cursor moves 8 columns right and wraps to textLeft, 16 rows down,
// when the next glyph would not fit inside the image width; code 10 is a
// newline; every other code outside 32-127 is ignored without moving the cursor.
//
// The cursor and the pen belong to the caller: they are passed in and updated.
// The pen ends on the last set bit drawn (also outside the image), as if each
// pixel had been set with the pen-moving pixel call; a blank glyph leaves it.
#pragma once
#include <cstdint>

#include "imgproc/pen.h"

struct QUB_TextCursor {
    int textX;     // left edge of the next character cell
    int textY;     // row just below the glyph cell
    int textLeft;  // where a newline or a wrap returns textX
};


void QUB_DrawChar32(uint32_t* pixels, int width, int height, QUB_TextCursor* cursor, uint32_t colour,
                    int code, QUB_Pen* pen);
void QUB_DrawChar8(uint8_t* pixels, int width, int height, int stride, QUB_TextCursor* cursor,
                   uint32_t colour, int code, QUB_Pen* pen);

// Each byte in turn (bytes 128-255 are therefore ignored).
void QUB_DrawString32(uint32_t* pixels, int width, int height, QUB_TextCursor* cursor, uint32_t colour,
                      const char* text, QUB_Pen* pen);
void QUB_DrawString8(uint8_t* pixels, int width, int height, int stride, QUB_TextCursor* cursor,
                     uint32_t colour, const char* text, QUB_Pen* pen);
