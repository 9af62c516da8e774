// Renaming a button or an input item: the prompt on the current text window
// and the checks that the box is still there once the line has been typed.
#include <windows.h>

#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "core/library_state.h"
#include "core/runtime.h"
#include "core/text_convert_win.h"
#include "text/text_window.h"

namespace {

constexpr int kCaptionUnits = 512;  // a caption as read back, 511 characters

bool CurrentTextWindowOpen() {
    const int n = qubState.currentTextWindow;
    return n >= 0 && n < kTextSlots && qubState.textWindows[n].inUse != 0;
}

// Brings the current text window forward (or opens text window 0), prints
// "%d '%s' ->" there and reads a line into `line` (kInputLineBytes). False
// when there is still no text window: the line input would then return at
// once with the buffer as it was. False too while another line input waits
// (a rename asked earlier, or the user routine's own): a second one nested
// inside it would take the answer and leave the first cancelled and empty.
bool AskLine(int number, const char* text, char* line) {
    line[0] = '\0';
    if (qubState.lineInputActive.load() != 0) return false;
    QUB_ShowTextWindow();
    if (!CurrentTextWindowOpen()) return false;
    QUB_Printf("%d '%s' ->", number, text);
    QUB_InputLine(line);
    return true;
}

}  // namespace

void QUB_RenameButton(int k) {
    const ButtonBoxRecord& box = qubState.buttonBox;
    HWND window = box.window;
    if (window == nullptr || k < 0 || k >= box.builtButtons) return;
    wchar_t wide[kCaptionUnits] = L"";
    GetWindowTextW(box.buttons[k], wide, kCaptionUnits);
    char caption[kCaptionUnits];
    QUB_ToNarrow(wide, caption, kCaptionUnits);
    char line[kInputLineBytes];
    if (!AskLine(k, caption, line)) return;
    // The line input pumps: the box may have been destroyed, or replaced by
    // another one, while the user typed.
    if (line[0] != '\0' && box.window == window) QUB_SetButtonBoxTitle(k, line);
}

void QUB_RenameInputItem(int i) {
    const InputBoxRecord& box = qubState.inputBox;
    HWND window = box.window;
    if (window == nullptr || i < 0) return;
    // A click below the last item names a row that has no label: the prompt
    // shows an empty text and the answer changes nothing.
    char label[kWideTextUnits] = "";
    if (i < box.builtItems) QUB_ReadWindowText(box.labels[i], label, kWideTextUnits);
    char line[kInputLineBytes];
    if (!AskLine(i, label, line)) return;
    if (line[0] != '\0' && box.window == window) QUB_SetInputBoxTitle(i, line);
}
