// The main window's commands beyond Start, Stop and Exit: paste, interactive
// creation and window information. They arrive with the image and text
// windows they need. Dropped files are in drop_files_win.cpp.
#include <windows.h>

#include "core/run_control.h"

void QUB_RunMainWindowCommand(int) {}
