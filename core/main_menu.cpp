#include "core/main_menu.h"

const MainMenuEntry kMainMenuBar[kMainMenuBarCount] = {
    {kCmdStart, "Start(&S)", false},
    {kCmdStop, "Stop(&C)", false},
    {kCmdExit, "Exit(&X)", false},
};

const MainMenuEntry kMainPopup[kMainPopupCount] = {
    {kCmdPaste, "Paste\tCtrl+V", true},
    {0, nullptr, false},
    {kCmdStart, "Start", true},
    {kCmdStop, "Stop", false},
    {kCmdExit, "E&xit", false},
    {0, nullptr, false},
    {kCmdImageWindow, "Image Window", true},
    {kCmdTextWindow, "Text Window", true},
    {kCmdInputBox, "Input Box", true},
    {kCmdButtonBox, "Button Box", true},
    {0, nullptr, false},
    {kCmdWindowInfo, "&Window Info.\tCtrl+W", true},
};

int QUB_MainMenuItemState(const MainMenuEntry& entry, int routineRunning, int lineInputActive) {
    if (entry.greyable && (routineRunning == 1 || lineInputActive != 0)) return kMenuStateGrayed;
    return kMenuStateEnabled;
}

MainKeyResult QUB_MainWindowKey(int virtualKey, bool ctrlHeld) {
    constexpr int kEscape = 0x1B;
    if (ctrlHeld) {
        if (virtualKey == 'V') return {MainKeyAction::kPostCommand, kCmdPaste};
        if (virtualKey == 'W') return {MainKeyAction::kPostCommand, kCmdWindowInfo};
        return {MainKeyAction::kNone, 0};
    }
    switch (virtualKey) {
        case 'X':
        case kEscape: return {MainKeyAction::kRunCommand, kCmdExit};
        case 'S': return {MainKeyAction::kRunCommand, kCmdStart};
        case 'C': return {MainKeyAction::kRunCommand, kCmdStop};
        default: return {MainKeyAction::kNone, 0};
    }
}
