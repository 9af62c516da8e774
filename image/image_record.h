// One image window slot.
#pragma once
#include <windows.h>

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
};
