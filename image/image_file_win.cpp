// Picture files. Until loading lands, no image window can be open, so a load
// reports that the current slot is closed.
#include "image/image_file.h"

int QUB_LoadImageWide(const char*, const wchar_t*, int, int) { return 2; }

int QUB_LoadImage(const char* fileName, int x, int y) {
    return QUB_LoadImageWide(fileName, nullptr, x, y);
}
