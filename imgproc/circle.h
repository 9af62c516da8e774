// Circles: the library's integer octant walk, as outlines and as filled discs,
// in set and XOR forms.
//
// The walk (radius r): i = 0, j = r, d = r, limit = 5r/7. Each pass plots the
// eight symmetric points of (i, j) (four at i = 0 and on the diagonal), then
// d -= 2i + 1 and, if d <= 0, d += 2j - 2 and j steps down; it ends once i
// passes the limit or j. The filled form walks the same way and emits one
// horizontal span per row instead of points, so each row from cy - r to cy + r
// is covered exactly once and the XOR disc inverts each pixel once.
//
// The centre and radius may be anywhere in the int range: the arithmetic is
// 64-bit and passes that cannot reach the image are skipped in closed form, so
// a huge circle costs about as much as the part of it that crosses the image.
#pragma once
#include <cstdint>

#include "imgproc/pen.h"

void QUB_DrawCircle32(uint32_t* pixels, int width, int height, int cx, int cy, uint32_t colour, int r);
void QUB_DrawCircle8(uint8_t* pixels, int width, int height, int stride, int cx, int cy,
                     uint32_t colour, int r);
void QUB_XorCircle32(uint32_t* pixels, int width, int height, int cx, int cy, int r);
void QUB_XorCircle8(uint8_t* pixels, int width, int height, int stride, int cx, int cy, int r);

// Disc in `colour` with the outline drawn over it in the same colour. A span
// of half-width w on row y is drawn as the line from (cx - w, y) to (cx + w, y);
// `pen`, when given, receives the right end of the last span, where those
// lines leave the pen (the outline does not move it).
void QUB_FillCircle32(uint32_t* pixels, int width, int height, int cx, int cy, uint32_t colour, int r,
                      QUB_Pen* pen = nullptr);
void QUB_FillCircle8(uint8_t* pixels, int width, int height, int stride, int cx, int cy,
                     uint32_t colour, int r, QUB_Pen* pen = nullptr);
// The spans of the disc inverted, each pixel once; no outline. `pen` as above.
void QUB_XorFillCircle32(uint32_t* pixels, int width, int height, int cx, int cy, int r,
                         QUB_Pen* pen = nullptr);
void QUB_XorFillCircle8(uint8_t* pixels, int width, int height, int stride, int cx, int cy, int r,
                        QUB_Pen* pen = nullptr);

// The walk with every skip disabled, pass by pass: for tests that check the
// skipping against it. Calls pass(i, j) at the start of each pass.
void QUB_CircleWalkReference(int r, void (*pass)(void* context, int64_t i, int64_t j), void* context);
