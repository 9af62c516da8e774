// The main window's commands beyond Start, Stop and Exit: paste, interactive
// creation and window information. They run on the GUI thread and have the
// worker make every window through the request hand-off; prompts go to the
// current text window. Dropped files are in drop_files_win.cpp.
#include <windows.h>

#include <cstdio>

#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/run_control.h"
#include "core/worker.h"
#include "image/image_clipboard.h"
#include "image/image_window.h"
#include "text/decimal.h"
#include "text/text_menu.h"
#include "text/text_window.h"

namespace {

constexpr int kCreated = 0, kSlotTaken = 1;

// The number typed after `prompt`; false when Exit ended the input.
bool Ask(const char* prompt, int* value) {
    QUB_Printf("%s", prompt);
    char line[kInputLineBytes] = "";
    QUB_InputLine(line);
    if (qubState.terminateState.load() != 0) return false;
    *value = QUB_ParseDecimal(line);
    return true;
}

// Ctrl+V reaches Paste whatever the popup shows; while the routine runs the
// worker serves no requests, so it is refused here.
void Paste() {
    if (qubState.routineRunning.load() == 1) return;
    RGBQUAD palette[256];
    int count = 0;
    HBITMAP bitmap = QUB_GetClipboardBitmap(palette, &count);
    if (!bitmap) return;
    BITMAP info = {};
    GetObjectW(bitmap, sizeof info, &info);
    for (int n = 0; n < kImageSlots; ++n) {
        char title[8];
        std::snprintf(title, sizeof title, "%03d", n);
        const int created = QUB_RequestCreateImage(n, title, info.bmWidth, info.bmHeight, 32);
        if (created == kCreated) {
            QUB_RequestPutBitmap(bitmap, n);  // the bitmap is the new window's now
            QUB_RequestDisplayImage(n);
            QUB_RestoreImage();
            return;
        }
        // A size that cannot be had, or a worker that is gone, fails in
        // every slot alike.
        if (created != kSlotTaken) break;
    }
    DeleteObject(bitmap);
}

void ImageWindow() {
    QUB_RequestTextWindow(0);
    QUB_Printf("Creating ImageWindow...\n");
    int width = 0, height = 0, depth = 0;
    if (!Ask(" Width=", &width) || !Ask("Height=", &height) || !Ask("Bit[32 or 8]=", &depth)) return;
    if (depth != 32 && depth != 8) return;
    for (int n = 0; n < kImageSlots; ++n) {
        if (qubState.images[n].inUse) continue;
        char title[8];
        std::snprintf(title, sizeof title, "%03d", n);
        QUB_RequestCreateImage(n, title, width, height, depth);
        return;
    }
}

void TextWindow() {
    for (int n = 0; n < kTextSlots; ++n) {
        if (qubState.textWindows[n].inUse) continue;
        QUB_RequestTextWindow(n);
        return;
    }
}

void InputBox() {
    QUB_RequestTextWindow(0);
    QUB_Printf("Creating InpuxBox...\n");
    int items = 0;
    if (Ask("How many items? >", &items)) QUB_RequestInputBox(items);
}

void ButtonBox() {
    QUB_RequestTextWindow(0);
    QUB_Printf("Creating ButtonBox...\n");
    int nx = 0, ny = 0;
    if (Ask("Number[X]=>", &nx) && Ask("Number[Y]=>", &ny)) QUB_RequestButtonBox(nx, ny);
}

void WindowInfo() {
    const LibraryState& s = qubState;
    const int n = s.currentTextWindow;
    if (n < 0 || n >= kTextSlots || !s.textWindows[n].inUse) QUB_RequestTextWindow(0);
    const int current = s.currentTextWindow;
    if (current >= 0 && current < kTextSlots && s.textWindows[current].inUse)
        PostMessageW(s.textWindows[current].window, WM_COMMAND, kTextCmdWindowInfo, 0);
}

struct MainCommand {
    int id;
    void (*run)();
    bool menuOnly;  // reached only through the popup, so held to its greying
};

// Paste and Window Info also have keys, which are never greyed: Paste refuses
// itself during a run, and Window Info is always carried out (its request for
// text window 0 waits for the routine to return). The creations, which prompt
// and then make windows, are held back when their entries are grey, whoever
// posted the command.
constexpr MainCommand kCommands[] = {
    {kCmdPaste, Paste, false},         {kCmdImageWindow, ImageWindow, true},
    {kCmdTextWindow, TextWindow, true}, {kCmdInputBox, InputBox, true},
    {kCmdButtonBox, ButtonBox, true},   {kCmdWindowInfo, WindowInfo, false},
};

bool Offered(int id) {
    const LibraryState& s = qubState;
    for (const MainMenuEntry& entry : kMainPopup)
        if (entry.id == id)
            return QUB_MainMenuItemState(entry, s.routineRunning.load(), s.lineInputActive.load()) ==
                   kMenuStateEnabled;
    return false;
}

}  // namespace

void QUB_RunMainWindowCommand(int id) {
    // A command waiting for the worker or for a line pumps messages, so the
    // same command can arrive again inside it (a held Ctrl+W repeats every
    // few tens of milliseconds): each waits its turn only once.
    static bool running[sizeof kCommands / sizeof kCommands[0]] = {};
    for (size_t i = 0; i < sizeof kCommands / sizeof kCommands[0]; ++i) {
        const MainCommand& command = kCommands[i];
        if (command.id != id || running[i] || (command.menuOnly && !Offered(id))) continue;
        running[i] = true;
        command.run();
        running[i] = false;
    }
}
