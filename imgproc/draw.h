// Drawing into a pixel buffer: single pixels, lines and rectangles, each in a
// form that stores a colour and a form that inverts (XOR) what it covers.
//
// Every function clips to the image: coordinates anywhere in the int range are
// accepted and pixels outside are skipped. A colour written into an 8-bit image
// stores its low byte (the palette index); inverting a 32-bit pixel XORs it
// with 0x00FFFFFF (the top byte is kept), an 8-bit one becomes 255 - i. The XOR
// forms visit each pixel once, so the same call twice restores the image.
//
// None of these move a pen: the library's pen rule (a line leaves the pen at its
// second end point, a pixel at the pixel, even outside the image) is applied by
// the caller that owns the pen.
#pragma once
#include <cstdint>

// --- single pixels ------------------------------------------------------------
void QUB_SetPixel32(uint32_t* pixels, int width, int height, int x, int y, uint32_t colour);
void QUB_SetPixel8(uint8_t* pixels, int width, int height, int stride, int x, int y, uint32_t colour);
void QUB_XorPixel32(uint32_t* pixels, int width, int height, int x, int y);
void QUB_XorPixel8(uint8_t* pixels, int width, int height, int stride, int x, int y);
// The pixel word (an index 0-255 for 8 bits), or `outside` when (x, y) is not in
// the image: 0 for the library's GetPixel, -1 for ProbePixel.
int64_t QUB_ReadPixel32(const uint32_t* pixels, int width, int height, int x, int y, int64_t outside);
int64_t QUB_ReadPixel8(const uint8_t* pixels, int width, int height, int stride, int x, int y,
                       int64_t outside);

// --- lines (both end points included) -----------------------------------------
void QUB_DrawLine32(uint32_t* pixels, int width, int height, uint32_t colour, int x1, int y1, int x2,
                    int y2);
void QUB_DrawLine8(uint8_t* pixels, int width, int height, int stride, uint32_t colour, int x1, int y1,
                   int x2, int y2);
void QUB_XorLine32(uint32_t* pixels, int width, int height, int x1, int y1, int x2, int y2);
void QUB_XorLine8(uint8_t* pixels, int width, int height, int stride, int x1, int y1, int x2, int y2);

// --- rectangles: two opposite corners in any order -----------------------------
void QUB_DrawBox32(uint32_t* pixels, int width, int height, uint32_t colour, int x1, int y1, int x2,
                   int y2);
void QUB_DrawBox8(uint8_t* pixels, int width, int height, int stride, uint32_t colour, int x1, int y1,
                  int x2, int y2);
// The whole closed rectangle.
void QUB_FillBox32(uint32_t* pixels, int width, int height, uint32_t colour, int x1, int y1, int x2,
                   int y2);
void QUB_FillBox8(uint8_t* pixels, int width, int height, int stride, uint32_t colour, int x1, int y1,
                  int x2, int y2);
// Inverts each outline pixel once: corners are not inverted twice. A box one
// column wide has its two sides on the same column, which cancel.
void QUB_XorBox32(uint32_t* pixels, int width, int height, int x1, int y1, int x2, int y2);
void QUB_XorBox8(uint8_t* pixels, int width, int height, int stride, int x1, int y1, int x2, int y2);
void QUB_XorFillBox32(uint32_t* pixels, int width, int height, int x1, int y1, int x2, int y2);
void QUB_XorFillBox8(uint8_t* pixels, int width, int height, int stride, int x1, int y1, int x2,
                     int y2);
