// Rows of the current image as data, and the plots the analysis graphs are
// drawn with, into the current image. They draw with QUB_SetPixel and
// QUB_DrawLine, so the pen, the text cursor and qub_tc keep what the plot
// left; nothing is redisplayed.
//
// Results: 0 done; 1 the current slot is out of range or closed.
#pragma once
#include <cstdint>

// Pixels x = 0 ... count - 1 of row y: 32-bit words of a 32-bit image, bytes
// of an 8-bit one; positions outside the image give 0. Nothing is written
// when the current slot is closed.
int QUB_ReadRow(void* destination, int y, int count);

// One curve of `count` samples of `data` (see imgproc/plot_values.h for the
// flags) at columns xOffset, xOffset + 1, ...
int QUB_PlotChannel(const void* data, int xOffset, int count, int flags, uint32_t colour);

// Into a 256 x 256 image: grey axes, the labels "Cr" and "Cb", then the
// chroma of `count` pixels joined in alternating magenta and white.
int QUB_PlotCrCbLine(const uint32_t* pixels, int count);
// The same axes and labels, then each of `rows` rows of `columns` pixels as
// a white polyline of its own.
int QUB_PlotCrCbArea(int rows, const uint32_t* pixels, int columns);
