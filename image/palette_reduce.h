// Reducing a 32-bit picture to at most 256 palette colours, for encoders that
// only write indexed pictures correctly (GIF).
#pragma once
#include <cstdint>

// Writes an index per pixel into `indices` (rows `stride` bytes apart) and the
// palette, 0x00RRGGBB, into `palette`; returns the number of palette entries.
// A picture of at most 256 distinct colours keeps them exactly; one of more is
// mapped to the nearest colour of a fixed 6 x 7 x 6 colour cube.
int QUB_ReduceToPalette(const uint32_t* pixels, int width, int height, uint8_t* indices,
                        int stride, uint32_t (&palette)[256]);
