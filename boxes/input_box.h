// The input box: one window with a column of up to 30 labelled edit fields
// whose values the library keeps as narrow strings. All calls run on the
// thread that opened the box (the worker thread).
#pragma once

// Opens the box with its window's top-left corner at screen (x, y). Does
// nothing when a box is open already; items are clamped to 1-30.
void QUB_OpenInputBox(int x, int y, int items);

// Destroys the box. The label and edit widths carry over to the next box.
void QUB_CloseInputBox();

// Sets the label of item i (ANSI code page). Nothing happens without a box or
// with i outside the box.
void QUB_SetInputBoxTitle(int i, const char* text);

// Copies the stored value of item i into buffer (size bytes, terminator
// included), cut at a character boundary. A value changes when the user
// leaves its field or presses Enter in it.
// Results: 0 copied, 1 no box or i outside it, 2 no buffer (size below 1).
int QUB_GetInputBoxValue(int i, char* buffer, int size);

// Lays the open box out with labels isize and fields esize pixels wide.
// Results: 0 done, 1 no box, 2 a width below 1 or a box wider than 32000.
int QUB_ResizeInputBox(int isize, int esize);

// Asks on the current text window for a new label of item i.
void QUB_RenameInputItem(int i);
