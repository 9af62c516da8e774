// The main window's menus and keys as data, and the one function that decides
// which commands are offered. Platform-free so that it is tested without windows.
#pragma once

enum MainCommandId {
    kCmdStart = 1001,
    kCmdExit = 1002,
    kCmdStop = 1003,
    kCmdPaste = 1026,
    kCmdImageWindow = 1027,
    kCmdTextWindow = 1028,
    kCmdInputBox = 1044,
    kCmdWindowInfo = 1045,
    kCmdButtonBox = 1051,
};

constexpr int kStatusControlId = 2001;
constexpr int kMenuStateEnabled = 0;
constexpr int kMenuStateGrayed = 3;  // MFS_GRAYED

struct MainMenuEntry {
    int id;            // command id; 0 marks a separator
    const char* text;  // narrow text; nullptr for a separator
    bool greyable;     // greyed while the routine runs or a line input waits
};

constexpr int kMainMenuBarCount = 3;
extern const MainMenuEntry kMainMenuBar[kMainMenuBarCount];

constexpr int kMainPopupCount = 12;
extern const MainMenuEntry kMainPopup[kMainPopupCount];

// MFS_GRAYED for a greyable entry while the routine runs or a line input
// waits; enabled otherwise.
int QUB_MainMenuItemState(const MainMenuEntry& entry, int routineRunning, int lineInputActive);

// What a key pressed over the main window (or passed on to it) does.
enum class MainKeyAction {
    kNone,
    kRunCommand,   // run `command` at once (Start, Stop, Exit)
    kPostCommand,  // post WM_COMMAND `command` to the main window (Ctrl shortcuts)
};

struct MainKeyResult {
    MainKeyAction action;
    int command;
};

// `virtualKey` is the WM_KEYDOWN code; letters are their upper-case ASCII codes,
// Esc is 0x1B.
MainKeyResult QUB_MainWindowKey(int virtualKey, bool ctrlHeld);
