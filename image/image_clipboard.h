// Pictures to and from the clipboard as CF_DIB. Blocks other programs leave
// there are checked against their GlobalSize before a byte is trusted, and
// converted by the library itself rather than handed to the platform.
#pragma once
#include <windows.h>

#include <cstdint>

// Puts image n on the clipboard: a 24-bit bottom-up CF_DIB for a 32-bit
// window, an 8-bit one with its 256 colours for an 8-bit window. Nothing
// happens when n is out of range or closed or the clipboard cannot be opened.
// When the block cannot be allocated, "No enough memory for copy" is shown in
// the pause box and the clipboard keeps what it held. 0 copied; 1 n out of
// range or closed; 2 not copied (no memory, or the clipboard refused).
int QUB_CopyImage(int n);

// The clipboard's picture as a new bitmap the caller owns, or null: CF_DIB
// when offered (any header version, 1 to 32 bits; a malformed block gives
// null), else a copy of CF_BITMAP. `palette` (256 entries, stored as in a
// colour table: blue, green, red, 0) receives the picture's colour table and
// `count` its length, 0 for pictures without one.
HBITMAP QUB_GetClipboardBitmap(RGBQUAD* palette, int* count);

// Pastes the clipboard's picture into image n with its top-left corner at
// (x, y); with x or y -1 the user places it with QUB_PickBoxPosition, centred
// on the picked point. An 8-bit picture's colours replace the leading palette
// entries of an 8-bit window. Nothing happens when n is closed, the clipboard
// holds no picture or the user cancels.
void QUB_PasteImage(int x, int n, int y);

// Copies `bitmap` to (0, 0) of the current image window at its own size and
// deletes it. The window is not repainted.
void QUB_PutBitmap(HBITMAP bitmap);
