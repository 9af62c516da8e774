#include "imgproc/colour_space.h"

namespace {

// The sums are built with the rounding term +32768 already inside; C++ integer
// division truncates toward zero, which is the rule the views print with (a
// negative sum does not round down as a shift would).
inline int Weighted(uint32_t pixel, int kr, int kg, int kb) {
    const int sum = kr * QUB_Red(pixel) + kg * QUB_Green(pixel) + kb * QUB_Blue(pixel) + 32768;
    return sum / 65536;
}

inline int Clamp255(int c) { return c < 0 ? 0 : (c > 255 ? 255 : c); }

}  // namespace

int QUB_Luminance(uint32_t pixel) { return Weighted(pixel, 19595, 38470, 7471); }

QUB_ChromaPair QUB_RgbToCrCb(uint32_t pixel) {
    return {Weighted(pixel, 32768, -27460, -5308), Weighted(pixel, -11076, -21692, 32768)};
}

QUB_ChromaPair QUB_RgbToUv(uint32_t pixel) {
    return {Weighted(pixel, -9634, -18940, 28574), Weighted(pixel, 40305, -33751, -6554)};
}

QUB_ChromaPair QUB_RgbToIq(uint32_t pixel) {
    return {Weighted(pixel, 39053, -18022, -21037), Weighted(pixel, 13533, -32565, 19032)};
}

void QUB_RgbToHsv(uint32_t pixel, int* h, int* s, int* v) {
    const int r = QUB_Red(pixel), g = QUB_Green(pixel), b = QUB_Blue(pixel);
    const int rgMax = r > g ? r : g;
    const int rgMin = r < g ? r : g;
    const int mx = b >= rgMax ? b : rgMax;
    const int mn = b <= rgMin ? b : rgMin;
    const int d = mx - mn;
    int hue = 0;
    // The cases are tried in this order and compare values, not channels, so
    // ties (yellow has max = R = G) land in the first sector that fits. Each
    // numerator is >= 0: a sector is truncated down from its own start angle.
    if (d != 0) {
        if (mx == r && mn == b) {
            hue = (g - b) * 60 / d;
        } else if (mx == g && mn == b) {
            hue = (g - r) * 60 / d + 60;
        } else if (mx == g && mn == r) {
            hue = (b - r) * 60 / d + 120;
        } else if (mx == b && mn == r) {
            hue = (b - g) * 60 / d + 180;
        } else if (mx == b && mn == g) {
            hue = (r - g) * 60 / d + 240;
        } else {  // max = R, min = G
            hue = (r - b) * 60 / d + 300;
        }
    }
    if (h) *h = hue;
    if (s) *s = d;
    if (v) *v = mx;
}

int QUB_Hue(uint32_t pixel) {
    int h = 0;
    QUB_RgbToHsv(pixel, &h, nullptr, nullptr);
    return h;
}

int QUB_Saturation(uint32_t pixel) {
    int s = 0;
    QUB_RgbToHsv(pixel, nullptr, &s, nullptr);
    return s;
}

int QUB_Value(uint32_t pixel) {
    int v = 0;
    QUB_RgbToHsv(pixel, nullptr, nullptr, &v);
    return v;
}

uint32_t QUB_HsvToRgb(int v, int s, int h) {
    // Keep the arithmetic far from int overflow whatever a caller passes; in the
    // documented ranges these limits change nothing.
    if (v < -1024) v = -1024;
    if (v > 1024) v = 1024;
    if (s < -2048) s = -2048;
    if (s > 2048) s = 2048;
    if (h < -3600) h = -3600;
    if (h > 3600) h = 3600;
    int m = v - s;
    if (m < 0) m = 0;
    const int d = v - m;
    int r, g, b;
    if (h <= 59) {
        r = v; g = m + d * h / 60; b = m;
    } else if (h <= 119) {
        r = m + d * (120 - h) / 60; g = v; b = m;
    } else if (h <= 179) {
        r = m; g = v; b = m + d * (h - 120) / 60;
    } else if (h <= 239) {
        r = m; g = m + d * (240 - h) / 60; b = v;
    } else if (h <= 299) {
        r = m + d * (h - 240) / 60; g = m; b = v;
    } else {
        r = v; g = m; b = m + d * (360 - h) / 60;
    }
    return QUB_PackRgb(Clamp255(r), Clamp255(g), Clamp255(b));
}
