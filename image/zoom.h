// Zoom arithmetic of image windows: fitting a wished zoom to the screen, the
// zoom steps of keys and wheel, and the mapping from client to image pixels.
// Platform-free; the caller reads the screen limits from the system metrics.
#pragma once
#include <cstdint>

// What a window's client area must respect, in pixels.
struct ZoomLimits {
    int minWidth;      // SM_CXMIN - 2 * SM_CXDLGFRAME
    int minHeight;     // SM_CYMIN - 2 * SM_CXDLGFRAME - SM_CYCAPTION
    int screenWidth;   // SM_CXSCREEN
    int screenHeight;  // SM_CYSCREEN - SM_CYCAPTION
};

struct ZoomFit {
    int zoom;           // percent, at least 1
    int displayWidth;   // width * zoom / 100
    int displayHeight;  // height * zoom / 100
};

constexpr int kZoomFitted = 0;
constexpr int kZoomDoesNotFit = 2;

// Lowers `wished` until width x height fits the screen, or raises it until the
// client area reaches the minimum window size. Returns kZoomFitted and fills
// `fit`, or kZoomDoesNotFit (a picture too long and thin for both at once).
// width and height must be at least 1.
int QUB_FitZoom(int width, int height, int wished, const ZoomLimits& limits, ZoomFit* fit);

// `size` * `zoom` / 100 without overflow, clamped into int.
int QUB_ScaledSize(int size, int zoom);

// One step in and one step out from zoom z; the caller fits the result.
int QUB_ZoomStepIn(int z);
int QUB_ZoomStepOut(int z);

// Client pixel to image pixel at `zoom` (integer division).
int QUB_ClientToImage(int client, int zoom);

// The pointer position of a mouse message: low and high 16-bit words of its
// lParam, read as unsigned numbers, mapped to image pixels.
struct ImagePoint {
    int x, y;
};
ImagePoint QUB_MousePointToImage(uint32_t lParamBits, int zoom);
