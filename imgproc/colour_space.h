// Integer colour arithmetic on 0x00RRGGBB pixels: luminance and the chroma pairs
// of the YCrCb, Yuv and YIQ views, and HSV both ways. Every conversion uses
// 16-bit fixed-point coefficients and division truncating toward zero, so the
// printed numbers and plotted curves are reproducible to the last unit.
// Bits 24-31 of a pixel are ignored.
#pragma once
#include <cstdint>

struct QUB_ChromaPair {
    int first;   // Cr, u or I
    int second;  // Cb, v or Q
};

// 0-255.
int QUB_Luminance(uint32_t pixel);
// Cr and Cb, each -127...128.
QUB_ChromaPair QUB_RgbToCrCb(uint32_t pixel);
// u and v (signed).
QUB_ChromaPair QUB_RgbToUv(uint32_t pixel);
// I and Q (signed).
QUB_ChromaPair QUB_RgbToIq(uint32_t pixel);

// H 0-359 degrees, S = max - min and V = max, both 0-255 (S is not normalised).
void QUB_RgbToHsv(uint32_t pixel, int* h, int* s, int* v);
int QUB_Hue(uint32_t pixel);
int QUB_Saturation(uint32_t pixel);
int QUB_Value(uint32_t pixel);

// Note the argument order: value, saturation, hue. A saturation above the value
// gives full colour. Arguments outside V 0-255, S >= 0, H 0-359 still give a
// valid pixel: each channel is clamped to 0-255.
uint32_t QUB_HsvToRgb(int v, int s, int h);

inline int QUB_Red(uint32_t pixel) { return static_cast<int>((pixel >> 16) & 255u); }
inline int QUB_Green(uint32_t pixel) { return static_cast<int>((pixel >> 8) & 255u); }
inline int QUB_Blue(uint32_t pixel) { return static_cast<int>(pixel & 255u); }
inline uint32_t QUB_PackRgb(int r, int g, int b) {
    return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
           static_cast<uint32_t>(b);
}
