// The window-information report of a text window (command 1045, Ctrl+W).
// Hook: the report and its source generator are not built yet, so the command
// arrives here and does nothing.
#include "text/text_window.h"

void QUB_ShowWindowInfo(int) {}
