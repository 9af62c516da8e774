// A text window's popup menu and keys as data, and the functions that decide
// the check marks and what a key does. Platform-free.
#pragma once
#include <cstddef>

enum TextCommandId {
    kTextCmdDestroy = 1006,
    kTextCmdAbout = 1020,
    kTextCmdStartLog = 1024,
    kTextCmdStopLog = 1025,
    kTextCmdConsole = 1029,
    kTextCmdCopyLog = 1030,
    kTextCmdWindowInfo = 1045,
    kTextCmdSelect = 1069,
};

enum class TextMenuCheck {
    kNever,
    kWhenCurrent,   // this window is the current text window
    kWhenLogging,   // logState 1
    kWhenPaused,    // logState 2
};

struct TextMenuEntry {
    int id;              // command id; 0 marks a separator
    const char* text;    // narrow text; the copy entry is a format of the instance and window numbers
    TextMenuCheck check;
};

constexpr int kTextPopupCount = 11;
extern const TextMenuEntry kTextPopup[kTextPopupCount];

constexpr int kMenuStateChecked = 8;  // MFS_CHECKED

// MFS_CHECKED or 0 for an entry of window `isCurrent` with log state `logState`.
int QUB_TextMenuItemState(const TextMenuEntry& entry, bool isCurrent, int logState);

// The entry's text; the copy entry names the log file of window `window` of
// instance `instance`. Cut to fit `size` bytes.
void QUB_TextMenuItemText(const TextMenuEntry& entry, int instance, int window, char* out,
                          size_t size);

enum class TextKeyAction {
    kNone,
    kPostCommand,  // post WM_COMMAND `value` to this window
    kPassToMain,   // post WM_KEYDOWN `value` to the main window
    kConsole,      // make this window current and run the command console
};

struct TextKeyResult {
    TextKeyAction action;
    int value;
};

// What a key pressed in a text window does while no line input waits.
// `virtualKey` is the WM_KEYDOWN code: letters are upper-case ASCII, Esc 0x1B,
// Space 0x20.
TextKeyResult QUB_TextWindowKey(int virtualKey, bool ctrlHeld);
