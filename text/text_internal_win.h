// What the text window's files share: slot lookup, drawing into the back
// buffer, and the log stream.
#pragma once
#include <windows.h>

#include "text/text_record.h"

// Slot of an open window, or -1.
int QUB_TextSlotOfWindow(HWND window);
// The record of slot n when it is open, else null.
TextWindowRecord* QUB_OpenTextRecord(int n);

// Back buffer of the record's current size, black, with the brush, the font
// and the colours selected; and its release.
void QUB_TextCreateBuffer(TextWindowRecord& r);
void QUB_TextReleaseBuffer(TextWindowRecord& r);
void QUB_TextApplyColours(TextWindowRecord& r);

// Moves the contents up by one line when the cursor line leaves no room;
// true when it did.
bool QUB_TextScrollCheck(TextWindowRecord& r);
// Moves the contents up by one line for a cursor line at `cursorY` (the caller
// then moves the cursor up).
void QUB_TextScrollBuffer(TextWindowRecord& r, int cursorY);
// Draws one unit over `cells` cells at (x, y) and invalidates them.
void QUB_TextDrawUnit(TextWindowRecord& r, int x, int y, wchar_t unit, int cells);
// The cursor: '_' when `on`, a space otherwise, one cell at the cursor.
void QUB_TextDrawCursor(TextWindowRecord& r, bool on);
// Prints a narrow text into slot n as QUB_Printf does into the current one.
void QUB_TextPrintIn(int n, const char* text);
// The same for UTF-16 text, whatever the ANSI code page can show; the log
// gets the ANSI code page's version of it.
void QUB_TextPrintWideIn(int n, const wchar_t* text);

// The log stream: written while logState is 1; closed (and flushed) when the
// window closes.
void QUB_TextLogWrite(TextWindowRecord& r, const char* text, bool lineEnd);
void QUB_TextCloseLog(TextWindowRecord& r);

// Line input's side of the window procedure.
void QUB_TextOnInputChar(wchar_t unit);
void QUB_TextOnInputKey(UINT virtualKey);

// The window procedure's handlers that live with the window's buffer.
void QUB_TextOnPaint(HWND window);
void QUB_TextOnSize(HWND window, int width, int height);

// Closes slot n on the window's own thread (DestroyWindow works only there).
constexpr UINT kTextMsgClose = WM_APP + 0x51;
