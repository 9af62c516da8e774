// One image window slot.
#pragma once
#include <windows.h>

#include <cstdint>

constexpr int kImageSlots = 256;
constexpr int kHistoryDepth = 8;

struct ImageWindowRecord {
    int inUse;           // nonzero while the slot is open
    int depth;           // bits per pixel: 8 or 32
    int width;           // buffer width in pixels (>= 1)
    int height;          // buffer height in pixels (>= 1)
    int displayWidth;    // client width: width * zoom / 100
    int displayHeight;   // client height: height * zoom / 100
    int zoom;            // display scale in percent
    HWND window;         // the image window
    HDC memoryDC;        // memory context holding the DIB section
    HDC windowDC;        // the window's own (class-private) context
    HBITMAP dib;         // the DIB section: the pixel buffer
    HBITMAP savedBitmap; // what memoryDC held before the DIB was selected
    char* title;         // heap copy of the caller's title, without the zoom suffix
    // The reduced copy a small halftone window paints from (image/box_reduce.h);
    // made at the window's first such redisplay, freed with the window.
    HDC reducedDC;           // memory context holding it, or null
    HBITMAP reducedDib;      // its DIB section
    HBITMAP reducedSaved;    // what reducedDC held before
    uint32_t* reducedBits;   // its pixels
    int reducedFactor;       // whole factor of the reduction; 0 when none is kept
    int reducedWidth;        // its size: the picture's / factor, rounded up
    int reducedHeight;
};
