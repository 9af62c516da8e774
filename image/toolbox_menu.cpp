#include "image/toolbox_menu.h"

namespace {

constexpr ToolboxItem kSeparator = {nullptr, 0, nullptr, 0};

constexpr ToolboxItem Command(const char* text, int command) { return {text, command, nullptr, 0}; }

template <int N>
constexpr ToolboxItem Submenu(const char* text, const ToolboxItem (&items)[N]) {
    return {text, 0, items, N};
}

const ToolboxItem kBasic[] = {
    Command("Cut\tCtrl+X", kTbCut),
    Command("Copy\tCtrl+C", kTbCopy),
    Command("Paste\tCtrl+V", kTbPaste),
    kSeparator,
    Command("&Load image file", kTbLoad),
    Command("&Save as", kTbSaveAs),
    kSeparator,
    Command("Zoom: 50%", kTbZoom50),
    Command("Zoom:100%\tCtrl+0", kTbZoom100),
    Command("Zoom:200%", kTbZoom200),
    Command("&Zoom...", kTbZoomPrompt),
    kSeparator,
    Command("&Resize...", kTbResizePrompt),
    Command("&Destroy\tCtrl+Q", kTbDestroy),
};

const ToolboxItem kProcess[] = {
    Command("Invert", kTbInvert),
    kSeparator,
    Command("R. Rotate", kTbRotateRight),
    Command("L. Rotate", kTbRotateLeft),
    kSeparator,
    Command("Horz. Flip", kTbFlipHorizontal),
    Command("Vert. Flip", kTbFlipVertical),
    kSeparator,
    Command("Size 50.0%", kTbSize50),
    Command("Size 70.7%", kTbSize71),
    Command("Size 141.4%", kTbSize141),
    Command("Size 200.0%", kTbSize200),
};

const ToolboxItem kInformation32[] = {
    Command("Pixel", kTbPixel),
    Command("Line(RGB)", kTbLineRgb),
    Command("Line(HSV)", kTbLineHsv),
    Command("Line(YCrCb)", kTbLineYCrCb),
    Command("Line(CrCb)", kTbLineCrCb),
    kSeparator,
    Command("Area(CrCb)", kTbAreaCrCb),
};

const ToolboxItem kInformation8[] = {
    Command("Pixel", kTbPixel),
    Command("Line(Lumi)", kTbLineLumi),
};

const ToolboxItem kPatterns[] = {
    Command("RGB", kTbPatternRgb), Command("HSV", kTbPatternHsv), Command("YCrCb", kTbPatternYCrCb),
    Command("Yuv", kTbPatternYuv), Command("YIQ", kTbPatternYiq), Command("Grey", kTbPatternGrey),
};

const ToolboxItem kColour[] = {Command("Change", kTbColourChange), Command("Pick", kTbColourPick)};
const ToolboxItem kLine[] = {Command("Normal", kTbLineNormal), Command("Horz.", kTbLineHorizontal),
                             Command("Vert.", kTbLineVertical)};
const ToolboxItem kBox[] = {Command("Normal", kTbBoxNormal), Command("Fill", kTbBoxFill),
                            Command("Fill XOR", kTbBoxFillXor)};
const ToolboxItem kCircle[] = {Command("Normal", kTbCircleNormal), Command("Fill", kTbCircleFill),
                               Command("Fill XOR", kTbCircleFillXor)};
const ToolboxItem kTrueType[] = {Command("Draw", kTbTrueTypeDraw), Command("Font Change", kTbFontChange)};

// The two processing menus differ only in their "Information..." submenu.
#define QUB_PROCESS_MENU(information)                                                              \
    {                                                                                              \
        Submenu("Process...", kProcess), kSeparator, Submenu("Information...", information),       \
            kSeparator, Submenu("Test Pattern...", kPatterns), kSeparator,                         \
            Command("Clipping\tCtrl+R", kTbClipping), kSeparator, Submenu("Color...", kColour),    \
            Submenu("Draw Line...", kLine), Submenu("Draw Box...", kBox),                          \
            Submenu("Draw Circle...", kCircle), Submenu("TrueType...", kTrueType),                 \
            Command("Draw Text", kTbDrawText), Command("Paint", kTbPaint),                         \
    }

const ToolboxItem kProcessMenu32[] = QUB_PROCESS_MENU(kInformation32);
const ToolboxItem kProcessMenu8[] = QUB_PROCESS_MENU(kInformation8);

#undef QUB_PROCESS_MENU

template <int N>
ToolboxMenu Menu(const ToolboxItem (&items)[N]) {
    return {items, N};
}

}  // namespace

ToolboxMenu QUB_BasicMenuItems() { return Menu(kBasic); }

ToolboxMenu QUB_ProcessMenuItems(int depth) { return depth == 8 ? Menu(kProcessMenu8) : Menu(kProcessMenu32); }

bool QUB_ToolboxItemChecked(int command, int zoom) {
    return (command == kTbZoom50 && zoom == 50) || (command == kTbZoom100 && zoom == 100) ||
           (command == kTbZoom200 && zoom == 200);
}
