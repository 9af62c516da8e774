#include "image/zoom.h"

#include <climits>
#include <cmath>

namespace {

// One axis of the fit, as the zoom that shows `size` pixels in the extent
// z * size / 100 limited by the screen and at least 1, truncated. Integer
// arithmetic throughout: in doubles, 37 % of 401 pixels comes back as
// 36.99999 % and a zoom that fits would be lowered by one.
int64_t AxisZoom(int size, int z, int screen) {
    const int64_t wanted = static_cast<int64_t>(z) * size;  // 100 x the extent
    if (wanted >= 100 * static_cast<int64_t>(screen)) return 100 * static_cast<int64_t>(screen) / size;
    if (wanted < 100) return 100 / size;
    return z;
}

int ClampToInt(int64_t v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

void Display(int width, int height, int zoom, ZoomFit* fit) {
    fit->zoom = zoom;
    fit->displayWidth = QUB_ScaledSize(width, zoom);
    fit->displayHeight = QUB_ScaledSize(height, zoom);
}

}  // namespace

int QUB_ScaledSize(int size, int zoom) {
    return ClampToInt(static_cast<int64_t>(size) * zoom / 100);
}

int QUB_FitZoom(int width, int height, int wished, const ZoomLimits& limits, ZoomFit* fit) {
    const int64_t zw = AxisZoom(width, wished, limits.screenWidth);
    const int64_t zh = AxisZoom(height, wished, limits.screenHeight);
    ZoomFit result;
    Display(width, height, static_cast<int>(zw < zh ? zw : zh), &result);

    // A zoom of 0 would show nothing and break every division by the zoom, so
    // it is raised like any other display below the minimum size.
    if (result.displayWidth < limits.minWidth || result.displayHeight < limits.minHeight ||
        result.zoom < 1) {
        const double a = std::ceil(static_cast<double>(limits.minWidth) * 100.0 / width);
        const double b = std::ceil(static_cast<double>(limits.minHeight) * 100.0 / height);
        double raised = a > b ? a : b;
        if (raised < 1.0) raised = 1.0;
        if (raised > INT_MAX) return kZoomDoesNotFit;
        Display(width, height, static_cast<int>(raised), &result);
        if (result.displayWidth > limits.screenWidth || result.displayHeight > limits.screenHeight)
            return kZoomDoesNotFit;
    }
    *fit = result;
    return kZoomFitted;
}

int QUB_ZoomStepIn(int z) { return ClampToInt((10 * static_cast<int64_t>(z) + 4) / 9); }

int QUB_ZoomStepOut(int z) { return ClampToInt((9 * static_cast<int64_t>(z) + 5) / 10); }

int QUB_ClientToImage(int client, int zoom) { return zoom > 0 ? client * 100 / zoom : client; }

ImagePoint QUB_MousePointToImage(uint32_t lParamBits, int zoom) {
    const int x = static_cast<int>(lParamBits & 0xFFFFu);
    const int y = static_cast<int>((lParamBits >> 16) & 0xFFFFu);
    return {QUB_ClientToImage(x, zoom), QUB_ClientToImage(y, zoom)};
}
