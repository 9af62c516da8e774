// The image toolbox that the image window procedure hands its right and
// middle presses and its WM_COMMAND messages to.
#pragma once
#include <windows.h>

// Opens the toolbox popup at the cursor for image window `n`: the processing
// menu when `processing`, the basic menu otherwise.
void QUB_ShowImageToolbox(HWND window, int n, bool processing);

// Carries out toolbox command `id` for the image window `window`.
void QUB_RunImageToolboxCommand(HWND window, int id);
