// The texts the user sees, written out here rather than taken from the production
// constants so that a test comparing the code with them can fail. Plain data:
// native and Wine tests both include it.
#pragma once

namespace product {

// When an entry is greyed or checked.
enum MenuMark {
    kPlain,
    kGreyable,          // greyed while the routine runs or a line input waits
    kCheckedWhenCurrent,
    kCheckedWhenLogging,
    kCheckedWhenPaused,
    kCheckedAtZoom50,
    kCheckedAtZoom100,
    kCheckedAtZoom200,
};
struct MenuText {
    const char* text;         // nullptr for a separator
    int id;                   // command id; 0 for a separator or a submenu
    MenuMark mark;
    const MenuText* submenu;  // a submenu's entries, or nullptr
    int submenuCount;
};
struct MenuTexts {
    const MenuText* items;
    int count;
};
template <int N>
constexpr MenuTexts Texts(const MenuText (&items)[N]) { return {items, N}; }
constexpr MenuText kSep = {nullptr, 0, kPlain, nullptr, 0};
template <int N>
constexpr MenuText Sub(const char* text, const MenuText (&items)[N]) {
    return {text, 0, kPlain, items, N};
}
constexpr MenuText Item(const char* text, int id, MenuMark mark = kPlain) {
    return {text, id, mark, nullptr, 0};
}
inline constexpr MenuText kMainMenuBar[] = {Item("Start(&S)", 1001), Item("Stop(&C)", 1003),
                                            Item("Exit(&X)", 1002)};
inline constexpr MenuText kMainPopup[] = {
    Item("Paste\tCtrl+V", 1026, kGreyable), kSep, Item("Start", 1001, kGreyable),
    Item("Stop", 1003), Item("E&xit", 1002), kSep, Item("Image Window", 1027, kGreyable),
    Item("Text Window", 1028, kGreyable), Item("Input Box", 1044, kGreyable),
    Item("Button Box", 1051, kGreyable), kSep, Item("&Window Info.\tCtrl+W", 1045, kGreyable),
};
// The copy entry is a format of the instance and window numbers.
inline constexpr MenuText kTextPopup[] = {
    Item("&Select\tCtrl+S", 1069, kCheckedWhenCurrent), Item("&Window Info.\tCtrl+W", 1045),
    Item("Command", 1029), kSep, Item("Start Log", 1024, kCheckedWhenLogging),
    Item("Stop Log", 1025, kCheckedWhenPaused), Item("&Copy QUBLIB%d%d.LOG\tCtrl+C", 1030), kSep,
    Item("&About QUBLIB\tCtrl+A", 1020), kSep, Item("&Destroy\tCtrl+Q", 1006),
};
inline constexpr MenuText kToolboxBasic[] = {
    Item("Cut\tCtrl+X", 1011), Item("Copy\tCtrl+C", 1012), Item("Paste\tCtrl+V", 1013), kSep,
    Item("&Load image file", 1004), Item("&Save as", 1010), kSep,
    Item("Zoom: 50%", 1007, kCheckedAtZoom50), Item("Zoom:100%\tCtrl+0", 1008, kCheckedAtZoom100),
    Item("Zoom:200%", 1009, kCheckedAtZoom200), Item("&Zoom...", 1046), kSep,
    Item("&Resize...", 1047), Item("&Destroy\tCtrl+Q", 1005),
};
inline constexpr MenuText kProcessP[] = {
    Item("Invert", 1058), kSep, Item("R. Rotate", 1061), Item("L. Rotate", 1062), kSep,
    Item("Horz. Flip", 1059), Item("Vert. Flip", 1060), kSep, Item("Size 50.0%", 1063),
    Item("Size 70.7%", 1064), Item("Size 141.4%", 1065), Item("Size 200.0%", 1066),
};
inline constexpr MenuText kProcessI32[] = {
    Item("Pixel", 1015), Item("Line(RGB)", 1016), Item("Line(HSV)", 1017),
    Item("Line(YCrCb)", 1018), Item("Line(CrCb)", 1021), kSep, Item("Area(CrCb)", 1022),
};
inline constexpr MenuText kProcessI8[] = {Item("Pixel", 1015), Item("Line(Lumi)", 1070)};
inline constexpr MenuText kProcessT[] = {
    Item("RGB", 1053), Item("HSV", 1054), Item("YCrCb", 1055),
    Item("Yuv", 1067), Item("YIQ", 1068), Item("Grey", 1071),
};
inline constexpr MenuText kProcessC[] = {Item("Change", 1031), Item("Pick", 1052)};
inline constexpr MenuText kProcessL[] = {Item("Normal", 1032), Item("Horz.", 1034),
                                         Item("Vert.", 1035)};
inline constexpr MenuText kProcessB[] = {Item("Normal", 1036), Item("Fill", 1037),
                                         Item("Fill XOR", 1038)};
inline constexpr MenuText kProcessO[] = {Item("Normal", 1039), Item("Fill", 1040),
                                         Item("Fill XOR", 1041)};
inline constexpr MenuText kProcessF[] = {Item("Draw", 1048), Item("Font Change", 1049)};
inline constexpr MenuText kToolboxProcess32[] = {
    Sub("Process...", kProcessP), kSep, Sub("Information...", kProcessI32), kSep,
    Sub("Test Pattern...", kProcessT), kSep, Item("Clipping\tCtrl+R", 1019), kSep,
    Sub("Color...", kProcessC), Sub("Draw Line...", kProcessL), Sub("Draw Box...", kProcessB),
    Sub("Draw Circle...", kProcessO), Sub("TrueType...", kProcessF), Item("Draw Text", 1042),
    Item("Paint", 1043),
};
inline constexpr MenuText kToolboxProcess8[] = {
    Sub("Process...", kProcessP), kSep, Sub("Information...", kProcessI8), kSep,
    Sub("Test Pattern...", kProcessT), kSep, Item("Clipping\tCtrl+R", 1019), kSep,
    Sub("Color...", kProcessC), Sub("Draw Line...", kProcessL), Sub("Draw Box...", kProcessB),
    Sub("Draw Circle...", kProcessO), Sub("TrueType...", kProcessF), Item("Draw Text", 1042),
    Item("Paint", 1043),
};
// Input box: a right press in the client area, and on the caption or border.
inline constexpr MenuText kInputBoxItemPopup[] = {Item("Rename", 1056)};
inline constexpr MenuText kInputBoxFramePopup[] = {Item("Destroy", 1023)};
// Button box: the same two places.
inline constexpr MenuText kButtonBoxItemPopup[] = {Item("Rename", 1057)};
inline constexpr MenuText kButtonBoxFramePopup[] = {Item("&Destroy\tCtrl+Q", 1050)};
// The file dialogs' filters, numbered from 1; the save dialog offers the first six.
struct FilterText {
    const char* description;
    const char* pattern;
};
inline constexpr FilterText kImageFilters[] = {
    {"All Files (*.*)", "*.*"}, {"BMP (*.BMP;*.RLE;*.DIB)", "*.BMP;*.RLE;*.DIB"},
    {"JPEG (*.JPG;*.JPEG;*.JPE)", "*.JPG;*.JPEG;*.JPE"}, {"CompuServe GIF (*.GIF)", "*.GIF"},
    {"PNG (*.PNG)", "*.PNG"}, {"TIFF (*.TIF;*.TIFF)", "*.TIF;*.TIFF"}, {"WMF (*.WMF)", "*.WMF"},
    {"EMF (*.EMF)", "*.EMF"}, {"ICO (*.ICO)", "*.ICO"},
};
constexpr int kSaveFilters = 6;
// Save types 0-4: BMP, JPEG, GIF, PNG, TIFF.
inline constexpr const char* kFileMime[] = {"image/bmp", "image/jpeg", "image/gif", "image/png",
                                            "image/tiff"};
inline constexpr const char* kFileExtension[] = {".bmp", ".jpg", ".gif", ".png", ".tif"};
inline constexpr const char kLoadDialogTitle[] = "Load image file";
inline constexpr const char kSaveDialogTitle[] = "Save as";
// Window titles.
inline constexpr const char kImageTitle32[] = "%s(%d%%)";
inline constexpr const char kImageTitle8[] = "%s(%d%%)[8bit]";
inline constexpr const char kHalftoneMark[] = "*";
inline constexpr const char kTextWindowTitle[] = "TextWindow %d";
inline constexpr const char kInputBoxTitle[] = "InputBox";
inline constexpr const char kButtonBoxTitle[] = "ButtonBox";
inline constexpr const char kInputItemLabel[] = "Item %d";
inline constexpr const char kDroppedTitle[] = "%03d %s";
inline constexpr const char kCreatedTitle[] = "%03d";
inline constexpr const char kClipTitle[] = "(%d,%d)-(%d,%d)";
inline constexpr const char* kGraphTitles[] = {"RGB(Y=%d)", "HSV(Y=%d)", "YCrCb(Y=%d)",
                                               "Luminance(Y=%d)", "CrCb(Y=%d)",
                                               "CrCb(%d,%d)-(%d,%d)"};
inline constexpr const char* kRoutineWindows[] = {"Left side", "Right side", "buruburuL",
                                                  "buruburuR", "Preview"};
// Status lines.
inline constexpr const char kStatusReady[] = "Ready";
inline constexpr const char kStatusDepth[] = "%d-bit color";
inline constexpr const char kClickAPoint[] = "Click a point";
inline constexpr const char kClickFirst[] = "Click the first point";
inline constexpr const char kClickSecond[] = "Click the second point";
// Prompts printed into text window 0.
inline constexpr const char kZoomPrompt[] = "[%d] Zoom(%%)=";
inline constexpr const char kResizeXPrompt[] = "[%d] New x-size(pixel)=";
inline constexpr const char kResizeYPrompt[] = "[%d] New y-size(pixel)=";
inline constexpr const char kTextPrompt[] = "Text>";
inline constexpr const char* kImageWindowPrompts[] = {"Creating ImageWindow...\n", " Width=",
                                                      "Height=", "Bit[32 or 8]="};
inline constexpr const char* kInputBoxPrompts[] = {"Creating InpuxBox...\n", "How many items? >"};
inline constexpr const char* kButtonBoxPrompts[] = {"Creating ButtonBox...\n", "Number[X]=>",
                                                    "Number[Y]=>"};
// The command console: its words in the order they are tried, and its lines.
inline constexpr const char* kConsoleWords[] = {"exit", "start", "help", "ver", "color"};
inline constexpr const char kConsolePrompt[] = "Cmd>";
inline constexpr const char kConsoleHelp[] = "Command list:exit help start ver color\n";
inline constexpr const char kConsoleInvalid[] = "Invalid command\n";
inline constexpr const char* kConsoleColour[] = {"Red  :%3d\n", "Green:%3d\n", "Blue :%3d\n",
                                                 "qub_tttc=%06x\n", "qub_tc=%06x\n"};
inline constexpr const char kPixelPosition[] = "(X,Y)=(%d,%d)\n";
// Message boxes: text and caption.
struct MessageText {
    const char* text;
    const char* caption;
};
inline constexpr MessageText kInstanceLimit = {"Over instance limit!", "QUBLIB"};
inline constexpr MessageText kCopyLogNoMemory = {"No enough memory (copy log)", "Pause"};
}  // namespace product
