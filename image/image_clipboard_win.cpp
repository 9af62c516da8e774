// Clipboard pictures. Until the image buffer lands there is no window to copy
// into; the bitmap handed over is still deleted.
#include "image/image_clipboard.h"

void QUB_PutBitmap(HBITMAP bitmap) { DeleteObject(bitmap); }
