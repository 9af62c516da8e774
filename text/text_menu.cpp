#include "text/text_menu.h"

#include <cstdio>

const TextMenuEntry kTextPopup[kTextPopupCount] = {
    {kTextCmdSelect, "&Select\tCtrl+S", TextMenuCheck::kWhenCurrent},
    {kTextCmdWindowInfo, "&Window Info.\tCtrl+W", TextMenuCheck::kNever},
    {kTextCmdConsole, "Command", TextMenuCheck::kNever},
    {0, nullptr, TextMenuCheck::kNever},
    {kTextCmdStartLog, "Start Log", TextMenuCheck::kWhenLogging},
    {kTextCmdStopLog, "Stop Log", TextMenuCheck::kWhenPaused},
    {kTextCmdCopyLog, "&Copy QUBLIB%d%d.LOG\tCtrl+C", TextMenuCheck::kNever},
    {0, nullptr, TextMenuCheck::kNever},
    {kTextCmdAbout, "&About QUBLIB\tCtrl+A", TextMenuCheck::kNever},
    {0, nullptr, TextMenuCheck::kNever},
    {kTextCmdDestroy, "&Destroy\tCtrl+Q", TextMenuCheck::kNever},
};

int QUB_TextMenuItemState(const TextMenuEntry& entry, bool isCurrent, int logState) {
    bool checked = false;
    switch (entry.check) {
        case TextMenuCheck::kNever: break;
        case TextMenuCheck::kWhenCurrent: checked = isCurrent; break;
        case TextMenuCheck::kWhenLogging: checked = logState == 1; break;
        case TextMenuCheck::kWhenPaused: checked = logState == 2; break;
    }
    return checked ? kMenuStateChecked : 0;
}

void QUB_TextMenuItemText(const TextMenuEntry& entry, int instance, int window, char* out,
                          size_t size) {
    if (size == 0) return;
    out[0] = '\0';
    if (entry.text == nullptr) return;
    if (entry.id == kTextCmdCopyLog)
        snprintf(out, size, entry.text, instance, window);
    else
        snprintf(out, size, "%s", entry.text);
}

TextKeyResult QUB_TextWindowKey(int virtualKey, bool ctrlHeld) {
    if (ctrlHeld) {
        switch (virtualKey) {
            case 'A': return {TextKeyAction::kPostCommand, kTextCmdAbout};
            case 'C': return {TextKeyAction::kPostCommand, kTextCmdCopyLog};
            case 'Q': return {TextKeyAction::kPostCommand, kTextCmdDestroy};
            case 'S': return {TextKeyAction::kPostCommand, kTextCmdSelect};
            case 'W': return {TextKeyAction::kPostCommand, kTextCmdWindowInfo};
            default: return {TextKeyAction::kNone, 0};
        }
    }
    switch (virtualKey) {
        case 0x1B:
        case 'X':
        case 'S':
        case 'C': return {TextKeyAction::kPassToMain, virtualKey};
        case ' ': return {TextKeyAction::kConsole, 0};
        default: return {TextKeyAction::kNone, 0};
    }
}
