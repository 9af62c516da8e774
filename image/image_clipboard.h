// Pictures to and from the clipboard.
#pragma once
#include <windows.h>

// Copies `bitmap` to (0, 0) of the current image window and deletes it.
void QUB_PutBitmap(HBITMAP bitmap);
