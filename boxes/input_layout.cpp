#include <algorithm>

#include "boxes/box_geometry.h"

namespace {

constexpr int kLabelLeft = 4;
constexpr int kLabelTop = 7;
constexpr int kEditTop = 4;
constexpr int kFieldHeight = 24;
constexpr int kEditOffset = 8;    // edit left = label width + 8
constexpr int kWidthExtra = 12;   // client width = label + edit + 12
constexpr int kHeightExtra = 2;   // client height = items x 28 + 2

// The WMSZ_ codes of the three edges that move the left side.
constexpr int kEdgeLeft = 1;
constexpr int kEdgeTopLeft = 4;
constexpr int kEdgeBottomLeft = 7;

}  // namespace

int QUB_ClampInputItems(int items) { return std::clamp(items, 1, kMaxInputItems); }

bool QUB_InputWidthsAccepted(int labelWidth, int editWidth) {
    if (labelWidth < 1 || editWidth < 1) return false;
    return 1LL * labelWidth + editWidth + kWidthExtra <= kMaxBoxClient;
}

BoxSize QUB_InputBoxClientSize(int items, int labelWidth, int editWidth) {
    return {labelWidth + editWidth + kWidthExtra, items * kInputRowPitch + kHeightExtra};
}

BoxRect QUB_InputLabelRect(int i, int labelWidth) {
    return {kLabelLeft, kInputRowPitch * i + kLabelTop, labelWidth, kFieldHeight};
}

BoxRect QUB_InputEditRect(int i, int labelWidth, int editWidth) {
    return {labelWidth + kEditOffset, kInputRowPitch * i + kEditTop, editWidth, kFieldHeight};
}

int QUB_InputItemAtY(unsigned int y) { return static_cast<int>(y / kInputRowPitch); }

bool QUB_SizingLeftEdge(int sizingEdge) {
    return sizingEdge == kEdgeLeft || sizingEdge == kEdgeTopLeft || sizingEdge == kEdgeBottomLeft;
}

InputWidths QUB_InputWidthsAfterSize(int sizingEdge, int clientWidth, int labelWidth,
                                     int editWidth) {
    if (QUB_SizingLeftEdge(sizingEdge))
        return {std::max(1, clientWidth - editWidth - kWidthExtra), editWidth};
    return {labelWidth, std::max(1, clientWidth - labelWidth - kWidthExtra)};
}
