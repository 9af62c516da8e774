// The toolbox's menus and commands are not part of the library yet: a press
// that would open a menu, and a command posted by a Ctrl shortcut, do nothing.
#include "image/image_toolbox.h"

void QUB_ShowImageToolbox(HWND, int, bool) {}

void QUB_RunImageToolboxCommand(HWND, int) {}
