// What a key pressed over an image window does, as data, so that the choice is
// tested without windows.
#pragma once

enum class ImageKeyAction {
    kNone,
    kPostCommand,    // post WM_COMMAND `command` to the image window (toolbox)
    kPassToMain,     // post the key unchanged to the main window
    kZoom100,        // zoom 100 % at once
    kZoomIn,         // one zoom step in
    kZoomOut,        // one zoom step out
    kToggleStretch,  // COLORONCOLOR <-> HALFTONE
};

struct ImageKeyResult {
    ImageKeyAction action;
    int command;  // for kPostCommand
};

// Toolbox command numbers the Ctrl shortcuts post.
enum ImageToolboxShortcut {
    kImageCmdDestroy = 1005,
    kImageCmdCut = 1011,
    kImageCmdCopy = 1012,
    kImageCmdPasteTopLeft = 1014,
    kImageCmdClipping = 1019,
};

// `virtualKey` is the WM_KEYDOWN code (letters as upper-case ASCII, Esc 0x1B,
// Tab 0x09, keypad 0 0x60, keypad + 0x6B, keypad - 0x6D). While a pick tool
// waits every key is ignored.
ImageKeyResult QUB_ImageWindowKey(int virtualKey, bool ctrlHeld, bool pickActive);
