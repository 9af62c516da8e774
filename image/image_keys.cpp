#include "image/image_keys.h"

namespace {

constexpr int kKeyTab = 0x09;
constexpr int kKeyEscape = 0x1B;
constexpr int kKeyNumpad0 = 0x60;
constexpr int kKeyAdd = 0x6B;
constexpr int kKeySubtract = 0x6D;

struct CtrlKey {
    int key;
    ImageKeyResult result;
};

constexpr CtrlKey kCtrlKeys[] = {
    {'X', {ImageKeyAction::kPostCommand, kImageCmdCut}},
    {'C', {ImageKeyAction::kPostCommand, kImageCmdCopy}},
    {'V', {ImageKeyAction::kPostCommand, kImageCmdPasteTopLeft}},
    {'Q', {ImageKeyAction::kPostCommand, kImageCmdDestroy}},
    {'R', {ImageKeyAction::kPostCommand, kImageCmdClipping}},
    {kKeyNumpad0, {ImageKeyAction::kZoom100, 0}},
    {kKeyAdd, {ImageKeyAction::kZoomIn, 0}},
    {kKeySubtract, {ImageKeyAction::kZoomOut, 0}},
};

}  // namespace

ImageKeyResult QUB_ImageWindowKey(int virtualKey, bool ctrlHeld, bool pickActive) {
    if (pickActive) return {ImageKeyAction::kNone, 0};
    if (ctrlHeld)
        for (const CtrlKey& k : kCtrlKeys)
            if (k.key == virtualKey) return k.result;
    // Any other key, with or without Ctrl, acts as a plain one: Ctrl+S still
    // reaches the main window as S.
    switch (virtualKey) {
        case 'X':
        case 'S':
        case 'C':
        case kKeyEscape: return {ImageKeyAction::kPassToMain, 0};
        case kKeyTab: return {ImageKeyAction::kToggleStretch, 0};
        default: return {ImageKeyAction::kNone, 0};
    }
}
