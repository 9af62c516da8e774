// One text window slot.
#pragma once
#include <windows.h>

constexpr int kTextSlots = 256;

struct TextWindowRecord {
    int inUse;    // nonzero while the slot is open
    HWND window;  // the text window
};
