#include <algorithm>
#include <climits>

#include "boxes/box_geometry.h"

namespace {

// Grid arithmetic in 64 bits, clamped back into int: button sizes come from
// the user's resizing and from QUB_ResizeButtonBox, not only from constants.
int ClampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// One grid step: a button and the gap after it. Never below 1, so that the
// cell search cannot divide by zero whatever size was stored.
long long Pitch(int buttonSize) { return std::max<long long>(1, 1LL * buttonSize + kButtonGap); }

int CellAt(int point, int cells, int buttonSize) {
    if (point < 0) return 0;
    const long long cell = point / Pitch(buttonSize);
    return static_cast<int>(std::min<long long>(cell, cells - 1));
}

}  // namespace

bool QUB_BoxClientAccepted(int width, int height) {
    return width >= 1 && height >= 1 && width <= kMaxBoxClient && height <= kMaxBoxClient;
}

bool QUB_ButtonGridAccepted(int nx, int ny) {
    if (nx < 1 || ny < 1) return false;
    return 1LL * nx * ny <= kMaxButtons;
}

BoxSize QUB_ButtonGridClientSize(int nx, int ny, int buttonWidth, int buttonHeight) {
    return {ClampToInt(nx * Pitch(buttonWidth) + kButtonGap),
            ClampToInt(ny * Pitch(buttonHeight) + kButtonGap)};
}

BoxRect QUB_ButtonRect(int k, int nx, int buttonWidth, int buttonHeight) {
    const int columns = std::max(1, nx);
    const int row = k / columns, column = k % columns;
    return {ClampToInt(column * Pitch(buttonWidth) + kButtonGap),
            ClampToInt(row * Pitch(buttonHeight) + kButtonGap), buttonWidth, buttonHeight};
}

BoxSize QUB_ButtonSizeForClient(int clientWidth, int clientHeight, int nx, int ny) {
    const int columns = std::max(1, nx), rows = std::max(1, ny);
    const long long spaceX = std::max(1LL, clientWidth - (1LL * kButtonGap * columns + kButtonGap));
    const long long spaceY = std::max(1LL, clientHeight - (1LL * kButtonGap * rows + kButtonGap));
    return {ClampToInt(spaceX / columns), ClampToInt(spaceY / rows)};
}

int QUB_ButtonAtPoint(int x, int y, int nx, int ny, int buttonWidth, int buttonHeight) {
    const int columns = std::max(1, nx), rows = std::max(1, ny);
    return CellAt(y, rows, buttonHeight) * columns + CellAt(x, columns, buttonWidth);
}

int QUB_AddPress(int count) { return count < INT_MAX ? count + 1 : INT_MAX; }

int QUB_DigitButton(unsigned int character) {
    return character >= '0' && character <= '9' ? static_cast<int>(character - '0') : -1;
}
