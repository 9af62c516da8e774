// Creating a library window where it was asked for, and on the screen.
#pragma once
#include <windows.h>

// The x and y to give CreateWindowExW: the given ones, or CW_USEDEFAULT for
// both when either coordinate is to be the system's default.
int QUB_CreationX(int x, bool xDefault, bool yDefault);
int QUB_CreationY(int y, bool xDefault, bool yDefault);

// Moves a window just created with QUB_CreationX/Y to its final place (see
// QUB_PlaceWindow), on the virtual screen of all monitors.
void QUB_SettleWindowPlace(HWND window, int x, int y, bool xDefault, bool yDefault);
