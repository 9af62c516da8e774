// Pictures to and from the clipboard.
#pragma once
#include <windows.h>

// Copies `bitmap` to (0, 0) of the current image window at its own size and
// deletes it. The window is not repainted.
void QUB_PutBitmap(HBITMAP bitmap);
