// The button box: one window with a grid of up to 256 push buttons whose
// presses are counted until the user routine takes them. All calls run on the
// thread that opened the box (the worker thread).
#pragma once

// Opens the box with its window's top-left corner at screen (x, y). Does
// nothing when a box is open already, when nx or ny is below 1 or when there
// would be more than 256 buttons; test the box afterwards.
void QUB_OpenButtonBox(int x, int y, int nx, int ny);

// Destroys the box; its captions are gone, the button size carries over.
void QUB_DestroyButtonBox();

// Sets the caption of button k (ANSI code page; at most 255 characters are
// kept). Nothing happens without a box or with k outside the box.
void QUB_SetButtonBoxTitle(int k, const char* text);

// Presses of button k since the last check, and clears them. 0 without a box
// or with k outside the box.
int QUB_CheckButton(int k);

// Gives the open box a client area of w x h pixels; the buttons follow.
// Results: 0 done, 1 no box, 2 a size outside 1-32000.
int QUB_ResizeButtonBox(int w, int h);

// Asks on the current text window for a new caption of button k.
void QUB_RenameButton(int k);
