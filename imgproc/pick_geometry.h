// The arithmetic of the pick tools' rubber bands and results, apart from the
// windows: the box a paste is placed with, a circle's radius, and the order
// of a rectangle's corners.
#pragma once

// The box of bw x bh centred on the mouse at (mx, my): left = mx - bw / 2,
// top = my - bh / 2 (halves truncated), right and bottom inclusive. Boxes of
// at least 9 x 9 also show their inner diagonals.
struct PickBox {
    int left, top, right, bottom;
    bool diagonals;
};
PickBox QUB_PickBoxAround(int mx, int my, int bw, int bh);

// The radius of a circle around a centre through a point (dx, dy) away:
// trunc(sqrt(dx² + dy²) + 0.5), computed in double. Any ints are accepted.
int QUB_PickRadius(int dx, int dy);

// Orders two corners so that x1 <= x2 and y1 <= y2.
void QUB_OrderCorners(int* x1, int* y1, int* x2, int* y2);
