// Drawing on the current image window: pixels, lines, boxes, circles, flood
// fill and bitmap-font text, in 32-bit and 8-bit images alike.
//
// Every call looks the current slot up afresh and writes its buffer only: the
// caller invalidates or redisplays the window when it is done. Coordinates
// anywhere in the int range are clipped to the image. A colour written into an
// 8-bit image stores its low byte, the palette index.
//
// Results: 0 done; 1 the current slot (the named slot for QUB_ClearImage) is
// out of range or closed, in which case nothing is written and the pen and the
// text cursor stay as they were. Pen, text cursor, drawColour and qub_tc live
// in LibraryState.
#pragma once
#include <cstdarg>
#include <cstdint>

// --- pixels --------------------------------------------------------------------
int QUB_SetPixel(int x, int y, uint32_t colour);         // pen := (x, y), also outside
int QUB_SetPixelKeepPen(int x, int y, uint32_t colour);
int QUB_XorPixel(int x, int y);                          // pen := (x, y)
int QUB_XorPixelKeepPen(int x, int y);
// The pixel word (the index of an 8-bit image); 0 outside the image or when
// the current slot is closed.
uint32_t QUB_GetPixel(int x, int y);
// The same, but -1 outside the image or when the current slot is closed.
int64_t QUB_ProbePixel(int x, int y);

// --- lines and boxes -----------------------------------------------------------
int QUB_DrawLine(uint32_t colour, int x1, int y1, int x2, int y2);  // pen := (x2, y2)
int QUB_XorLine(int x1, int y1, int x2, int y2);                    // pen := (x2, y2)
// Boxes take two opposite corners in any order and use drawColour. The pen
// ends where the last line of the box ends, as if each were drawn with
// QUB_DrawLine or QUB_XorLine.
int QUB_DrawBox(int x1, int y1, int x2, int y2);
int QUB_FillBox(int x1, int y1, int x2, int y2);
int QUB_XorBox(int x1, int y1, int x2, int y2);
int QUB_XorFillBox(int x1, int y1, int x2, int y2);

// --- circles and fill (the pen stays where it was) ------------------------------
int QUB_DrawCircle(int cx, int cy, uint32_t colour, int r);
int QUB_FillCircle(int r, int cx, int cy);       // drawColour, outline on top
int QUB_XorCircle(int cx, int cy, int r);
int QUB_XorFillCircle(int r, int cx, int cy);
// Fills the 4-connected region of the colour at (x, y) with drawColour, the
// whole region however ragged. 2 when the fill's working memory (an eighth of
// the pixel count in bytes) cannot be had; the picture is unchanged then.
int QUB_Paint(int x, int y);

// Every byte of slot n's buffer, padding included, set to 0.
int QUB_ClearImage(int n);

// --- bitmap-font text at textX, textY in qub_tc ---------------------------------
int QUB_DrawChar(int code);
int QUB_DrawString(const char* text);
// Formats into a 4,096-byte buffer and draws it. A longer text is cut to the
// 4,095 bytes that fit, at a character boundary of the ANSI code page.
#if defined(__MINGW_PRINTF_FORMAT)
int QUB_DrawFormat(const char* format, ...) __attribute__((format(__MINGW_PRINTF_FORMAT, 1, 2)));
#elif defined(__GNUC__)
int QUB_DrawFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
#else
int QUB_DrawFormat(const char* format, ...);
#endif
int QUB_DrawFormatList(const char* format, va_list arguments);
