// The image toolbox's "TrueType..." commands, for the toolbox to call.
#pragma once
#include <windows.h>

// "Draw" after QUB_PickRect has given the rectangle of `window`: makes the
// window's slot current, prompts "Text>" in the current text window (text
// window 0 is opened when there is none), reads one line and draws it with
// QUB_DrawTTInRect. 1 when the window's slot is not open (also when it closed
// while the line was typed), else the result of QUB_DrawTTInRect.
int QUB_TTDrawCommand(HWND window, int xmin, int ymin, int xmax, int ymax);

// "Font Change": the font dialog, owned by `window`, starts from the current
// font; what it leaves (the same font after a cancel) becomes ttFont. Its
// colour is not used and ttFontWidth/ttFontHeight stay, so positions and line
// pitch keep following the last QUB_SetTTFontSize. 0, or 1 when the font
// cannot be created (the previous one stays).
int QUB_TTFontChangeCommand(HWND window);
