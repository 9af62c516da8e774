// The input box and the button box: at most one of each; a null window means absent.
#pragma once
#include <windows.h>

struct InputBoxRecord {
    HWND window;  // the input box, or null
};

struct ButtonBoxRecord {
    HWND window;  // the button box, or null
};
