// Synthetic colour charts that fill a whole image, so that the analysis views
// have known data to show. An 8-bit image receives the low byte (the blue
// value) of each computed colour as its index; the grey ramp is the one
// pattern meant for 8-bit images, whose palette the caller sets to the ramp.
#pragma once
#include <cstdint>

// R = 255x/W, G = 255y/H, B = 255 - 255(x + y)/(W + H).
void QUB_TestPatternRgb32(uint32_t* pixels, int width, int height);
void QUB_TestPatternRgb8(uint8_t* pixels, int width, int height, int stride);

// Hue 359x/W across; the top half fades from white to full colour, the bottom
// half from full colour to black. An image one row high is left unchanged.
void QUB_TestPatternHsv32(uint32_t* pixels, int width, int height);
void QUB_TestPatternHsv8(uint8_t* pixels, int width, int height, int stride);

// Chroma charts: the horizontal axis is Cb, u or Q, the vertical axis (upward)
// Cr, v or I, each from about -127 to 127, with a brightness that grows from
// black at the centre toward the corners.
void QUB_TestPatternYCrCb32(uint32_t* pixels, int width, int height);
void QUB_TestPatternYCrCb8(uint8_t* pixels, int width, int height, int stride);
void QUB_TestPatternYuv32(uint32_t* pixels, int width, int height);
void QUB_TestPatternYuv8(uint8_t* pixels, int width, int height, int stride);
void QUB_TestPatternYiq32(uint32_t* pixels, int width, int height);
void QUB_TestPatternYiq8(uint8_t* pixels, int width, int height, int stride);

// Grey v = 255x/W: the top H/2 rows run black to white from left to right, the
// rest white to black. Written column by column as two vertical lines, the
// last ending at (W - 1, H - 1).
void QUB_TestPatternGrey32(uint32_t* pixels, int width, int height);
void QUB_TestPatternGrey8(uint8_t* pixels, int width, int height, int stride);
