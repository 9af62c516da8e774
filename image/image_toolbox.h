// The image toolbox that the image window procedure hands its right and
// middle presses and its WM_COMMAND messages to.
#pragma once
#include <windows.h>

// Opens the toolbox popup at the cursor for image window `n`: the processing
// menu when `processing`, the basic menu otherwise.
void QUB_ShowImageToolbox(HWND window, int n, bool processing);

// The two popups, built from their tables; the caller destroys them.
HMENU QUB_BuildBasicMenu(HWND window);
HMENU QUB_BuildProcessMenu(int n);

// Carries out toolbox command `id` for the image window `window`. Unknown
// numbers are ignored, and so is every command while a pick tool waits, and
// one that needs a pick or a line input while a line input waits. 0 done;
// -1 not run; otherwise the command's own result (0 for those that have
// none, as Paste).
int QUB_RunImageToolboxCommand(HWND window, int id);
