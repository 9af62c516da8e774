// The image toolbox's own commands on the window in slot n: files, the
// clipboard, zoom and size, destroy and clipping. They run on the worker
// thread inside the window's procedure; those that wait (a dialog, a prompt,
// a pick) look the window up again afterwards.
//
// Results: 0 done; 1 slot n out of range or closed; 2 cancelled (dialog,
// pick) or refused (a size that cannot be had): the window is left as it was;
// 3 the file or clipboard operation failed, or no slot took a new window.
#pragma once
#include <windows.h>

int QUB_LoadCommand(int n);
int QUB_SaveAsCommand(int n);
int QUB_CutCommand(int n);  // cleared only when the copy is on the clipboard
int QUB_ZoomPromptCommand(int n);
int QUB_ResizePromptCommand(int n);
int QUB_ClippingCommand(int n);

// Whether image n can be given a buffer of width x height: 0, or the code
// QUB_ResizeImage would fail with after closing the slot (2 cannot be fitted
// on the screen, 3 too large).
int QUB_CheckNewImageSize(int n, int width, int height);
