// The platform-free side of TrueType text: how a multi-byte text falls into
// character codes, what a control code does, how far a character moves the
// cursor, and which font size a call may ask the platform for.
//
// The platform side (truetype_text_win.cpp) measures and draws; everything it
// decides from numbers lives here.
#pragma once
#include <cstdint>

#include "imgproc/bitmap_text.h"

// --- the byte walk ---------------------------------------------------------------
// Bytes 0x81-0x9F and 0xE0-0xFC lead a double-byte character whatever the
// ANSI code page: the text is Shift_JIS by contract. 0x7F and 0xA0-0xDF are
// single-byte characters.
bool QUB_IsTTLeadByte(unsigned char byte);

// The code of the character at `text`: a single byte 1-255, or lead * 256 +
// trail. Returns the place of the next character, or null when the walk ends
// here: at the terminator, or at a lead byte the terminator follows (a lone
// lead byte at the end is dropped).
const char* QUB_NextTTCode(const char* text, int* code);

// The bytes of a character code >= 32 as MultiByteToWideChar takes them: two
// for a code >= 256, else one, then a terminator. Returns the byte count.
int QUB_TTCodeBytes(int code, char out[3]);

// --- control codes ---------------------------------------------------------------
enum QUB_TTAction {
    kTTDraw,         // code >= 32: a character
    kTTIgnore,       // a code below 32 without a meaning
    kTTNewline,      // 10
    kTTItalicOn,     // 1
    kTTItalicOff,    // 2
    kTTBold,         // 3
    kTTNormal,       // 4
    kTTUnderlineOn,  // 5
    kTTUnderlineOff  // 6
};
QUB_TTAction QUB_TTActionOf(int code);

// The LOGFONT fields the control codes switch.
struct QUB_TTStyle {
    int italic;     // lfItalic
    int weight;     // lfWeight
    int underline;  // lfUnderline
};
// Applies a style action; false (style untouched) for any other action.
bool QUB_ApplyTTStyle(QUB_TTAction action, QUB_TTStyle* style);

// Code 10: back to textLeft, one line pitch down.
void QUB_TTNewline(QUB_TextCursor* cursor, int lineHeight);

// Top row of the cell whose bottom row is textY.
int QUB_TTCellTop(int textY, int cellHeight);

// --- advance ---------------------------------------------------------------------
// What the platform could measure of one character; each part may be missing.
struct QUB_TTMeasure {
    bool abcKnown;    // GetCharABCWidthsW succeeded
    int a;
    unsigned b;
    int c;
    bool widthKnown;  // GetCharWidthW succeeded
    int width;
    bool extentKnown; // GetTextExtentPoint32W succeeded
    int extent;
};
// A + B + C when the ABC widths are known, else the character width, else the
// text extent, else 0. Kept inside the int range.
int QUB_TTAdvance(const QUB_TTMeasure& m);
// textX moved by an advance without leaving the int range.
int QUB_TTMoveX(int textX, int advance);

// --- font sizes ------------------------------------------------------------------
// The LOGFONT cell a size call asks for. The platform draws glyphs of any
// requested size into a bitmap of that size, so absurd requests are brought
// into 1..kTTMaxHeight for the height and 0..kTTMaxWidth for the width
// (0: the platform picks the width from the height). Measured under Wine: a
// 16384-pixel glyph draws in about a second with 220 MB at its peak; 30000
// pixels take 670 MB, and from 65535 nothing is drawn at all. A rectangle as
// tall as a large photograph still gets its full height. The width is the
// average character's: a "W" of width 16384 is 14818 pixels wide (315 MB),
// and a full-width character twice that, hence half the height's limit.
constexpr int kTTMaxHeight = 16384;
constexpr int kTTMaxWidth = kTTMaxHeight / 2;
struct QUB_TTSize {
    int width;   // LOGFONT width and ttFontWidth: half the requested width
    int height;  // LOGFONT height and ttFontHeight
};
QUB_TTSize QUB_TTSizeFor(int width, int height);

// The request a picked rectangle makes: one double-width cell, as wide and as
// high as the rectangle (corners inclusive, in any order).
struct QUB_TTRequest {
    int width, height;
};
QUB_TTRequest QUB_TTRequestFromRect(int xmin, int ymin, int xmax, int ymax);
