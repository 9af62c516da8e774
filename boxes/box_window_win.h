// What the input box and the button box share as windows: their style, the
// window size for a wanted client area, and their one-entry popup menus.
#pragma once
#include <windows.h>

#include "boxes/box_geometry.h"

constexpr DWORD kBoxStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;

// Window size for a client area, the way the box style frames it.
BoxSize QUB_BoxWindowSizeFor(BoxSize client);

// Gives a box window a client area of exactly `client`. The system keeps
// windows within a minimum and a maximum size, so it may give another one:
// then the window gets its old size back and the result is false.
bool QUB_SetBoxClientSize(HWND window, BoxSize client);

// A popup menu with the one item `text` (command `id`) at the cursor.
void QUB_ShowOneEntryMenu(HWND window, int id, const char* text);
