#include "imgproc/pick_geometry.h"

#include <climits>
#include <cmath>
#include <utility>

PickBox QUB_PickBoxAround(int mx, int my, int bw, int bh) {
    // In 64 bits, then held to int: a box far outside the picture only has
    // to stay outside it.
    auto clamp = [](long long v) {
        return static_cast<int>(v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : v);
    };
    const long long left = static_cast<long long>(mx) - bw / 2;
    const long long top = static_cast<long long>(my) - bh / 2;
    return {clamp(left), clamp(top), clamp(left + bw - 1), clamp(top + bh - 1), bw >= 9 && bh >= 9};
}

int QUB_PickRadius(int dx, int dy) {
    const double x = dx, y = dy;
    const double r = std::sqrt(x * x + y * y) + 0.5;
    return r >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(r);
}

void QUB_OrderCorners(int* x1, int* y1, int* x2, int* y2) {
    if (*x1 > *x2) std::swap(*x1, *x2);
    if (*y1 > *y2) std::swap(*y1, *y2);
}
