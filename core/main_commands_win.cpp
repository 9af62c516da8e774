// The main window's commands beyond Start, Stop and Exit: dropped files, paste,
// interactive creation and window information. They arrive with the image and
// text windows they need; until then a drop is acknowledged and nothing opens.
#include <windows.h>
#include <shellapi.h>

#include "core/run_control.h"

void QUB_HandleDroppedFiles(void* drop) { DragFinish(static_cast<HDROP>(drop)); }

void QUB_RunMainWindowCommand(int) {}
