// The image toolbox's two popup menus as data: the basic menu of a right
// press and the processing menu of a middle or Ctrl + right press, with their
// command numbers. Platform-free so that their shape is tested without windows.
#pragma once

enum ToolboxCommandId {
    kTbLoad = 1004,
    kTbDestroy = 1005,
    kTbZoom50 = 1007,
    kTbZoom100 = 1008,
    kTbZoom200 = 1009,
    kTbSaveAs = 1010,
    kTbCut = 1011,
    kTbCopy = 1012,
    kTbPaste = 1013,
    kTbPasteTopLeft = 1014,  // Ctrl + V only
    kTbPixel = 1015,
    kTbLineRgb = 1016,
    kTbLineHsv = 1017,
    kTbLineYCrCb = 1018,
    kTbClipping = 1019,
    kTbLineCrCb = 1021,
    kTbAreaCrCb = 1022,
    kTbColourChange = 1031,
    kTbLineNormal = 1032,
    kTbLineHorizontal = 1034,
    kTbLineVertical = 1035,
    kTbBoxNormal = 1036,
    kTbBoxFill = 1037,
    kTbBoxFillXor = 1038,
    kTbCircleNormal = 1039,
    kTbCircleFill = 1040,
    kTbCircleFillXor = 1041,
    kTbDrawText = 1042,
    kTbPaint = 1043,
    kTbZoomPrompt = 1046,
    kTbResizePrompt = 1047,
    kTbTrueTypeDraw = 1048,
    kTbFontChange = 1049,
    kTbColourPick = 1052,
    kTbPatternRgb = 1053,
    kTbPatternHsv = 1054,
    kTbPatternYCrCb = 1055,
    kTbInvert = 1058,
    kTbFlipHorizontal = 1059,
    kTbFlipVertical = 1060,
    kTbRotateRight = 1061,
    kTbRotateLeft = 1062,
    kTbSize50 = 1063,
    kTbSize71 = 1064,
    kTbSize141 = 1065,
    kTbSize200 = 1066,
    kTbPatternYuv = 1067,
    kTbPatternYiq = 1068,
    kTbLineLumi = 1070,
    kTbPatternGrey = 1071,
};

// One menu entry: a command, a submenu, or (text null) a separator.
struct ToolboxItem {
    const char* text;
    int command;                  // 0 for a submenu or a separator
    const ToolboxItem* submenu;   // the submenu's entries, or null
    int submenuCount;
};

struct ToolboxMenu {
    const ToolboxItem* items;
    int count;
};

ToolboxMenu QUB_BasicMenuItems();
// The processing menu of a window of `depth` bits: an 8-bit window's
// "Information..." offers only "Pixel" and "Line(Lumi)".
ToolboxMenu QUB_ProcessMenuItems(int depth);

// Whether `command` shows a check mark on a window at `zoom` percent.
bool QUB_ToolboxItemChecked(int command, int zoom);
