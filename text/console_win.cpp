// The one-command console of a text window (command 1029, Space): "Cmd>" in
// the current text window, one line read, one command carried out.
#include <windows.h>

#include "core/library_state.h"
#include "text/console_words.h"
#include "text/text_menu.h"
#include "text/text_window.h"

namespace {

constexpr int kConsoleLineBytes = 516;  // room for a line input and more

}  // namespace

int QUB_RunCommandConsole() {
    LibraryState& s = qubState;
    QUB_Printf("Cmd>");
    char line[kConsoleLineBytes] = "";
    QUB_InputLine(line);
    switch (QUB_ConsoleWord(line)) {
        case ConsoleWord::kExit:
            PostMessageW(s.mainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
            Sleep(1);
            return 0;
        case ConsoleWord::kStart: PostMessageW(s.mainWindow, WM_KEYDOWN, 'S', 0); return 0;
        case ConsoleWord::kHelp: QUB_Printf("Command list:exit help start ver color\n"); return 0;
        case ConsoleWord::kVer:
            if (s.currentTextWindow >= 0 && s.currentTextWindow < kTextSlots &&
                s.textWindows[s.currentTextWindow].inUse)
                PostMessageW(s.textWindows[s.currentTextWindow].window, WM_COMMAND, kTextCmdAbout, 0);
            return 0;
        case ConsoleWord::kColor:
            QUB_Printf("%s", QUB_ConsoleColourReport(s.drawColour, s.qub_tttc, s.qub_tc).c_str());
            return 0;
        case ConsoleWord::kInvalid: break;
    }
    QUB_Printf("Invalid command\n");
    return 1;
}
