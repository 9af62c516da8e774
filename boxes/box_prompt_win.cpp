// The boxes' prompt, on the current text window.
#include "boxes/box_prompt.h"

#include "core/library_state.h"
#include "text/text_window.h"

static_assert(kBoxPromptLineBytes >= kInputLineBytes, "the line input fills 256 bytes");

namespace {

bool CurrentTextWindowOpen() {
    const int n = qubState.currentTextWindow;
    return n >= 0 && n < kTextSlots && qubState.textWindows[n].inUse != 0;
}

}  // namespace

bool QUB_AskBoxLine(int number, const char* text, char* line) {
    line[0] = '\0';
    QUB_ShowTextWindow();
    // Without a text window the line input would return at once and leave the
    // buffer as it is; say so instead of answering with an empty line.
    if (!CurrentTextWindowOpen()) return false;
    QUB_Printf("%d '%s' ->", number, text ? text : "");
    QUB_InputLine(line);
    return true;
}
