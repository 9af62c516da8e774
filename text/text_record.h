// One text window slot.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>

constexpr int kTextSlots = 256;
constexpr int kTextColourStackDepth = 8;

struct TextWindowRecord {
    int inUse;                                        // nonzero while the slot is open
    HWND window;                                      // the text window
    int width, height;                                // client size = back buffer size, pixels
    int cursorX, cursorY;                             // top-left of the next character's cell
    int cellWidth;                                    // narrow cell width (tmAveCharWidth)
    int lineHeight;                                   // line height (tmHeight)
    uint32_t textColour;                              // 0xRRGGBB of the characters
    uint32_t backColour;                              // 0xRRGGBB behind the characters
    uint32_t textColourStack[kTextColourStackDepth];  // saved text colours, [0] on top
    uint32_t backColourStack[kTextColourStackDepth];  // saved background colours, [0] on top
    HDC windowDC;                                     // the window's own context (CS_OWNDC)
    HDC memoryDC;                                     // where all text is drawn
    HBITMAP backBuffer;                               // width x height, selected into memoryDC
    HBITMAP savedBitmap;                              // what memoryDC held before backBuffer
    int logState;                                     // 0 no log, 1 logging, 2 paused
    FILE* logFile;                                    // the open log stream, or null
    std::atomic<int> logBusy;                         // a thread is using logFile (see text_log_win)
};
