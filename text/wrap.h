// Cell arithmetic of text windows: where printed characters go, when a line
// breaks and when the window scrolls. Platform-free; texts are UTF-16 units.
//
// A unit below 0x80 takes one cell, any other unit two (the double-width
// characters of East Asian code pages). A character never splits across lines:
// one that would end beyond the right edge starts the next line.
#pragma once

// Cells taken by one UTF-16 unit: 1 or 2.
int QUB_UnitCells(unsigned unit);

// One stretch of a printed text that is drawn with one call, on one line.
struct TextRun {
    int start;       // index of its first unit
    int length;      // units in the run (0: nothing to draw)
    int endX;        // pixel position behind its last unit
    bool lineBreak;  // the line ends behind the run
    bool wrapped;    // ... because the next unit did not fit (it starts the next run)
    int next;        // index at which the next run starts
};

// The run that starts at `start` at pixel position `x`, for a window `width`
// pixels wide with cells `cellWidth` wide. A line feed ends the run and is
// consumed; a unit that does not fit ends it and is not. `afterWrap` is the
// previous run's `wrapped`: the unit that did not fit is then taken whatever
// its width, so that a window narrower than one character still makes
// progress (one character per line).
TextRun QUB_NextRun(const char16_t* text, int length, int start, int x, int width, int cellWidth,
                    bool afterWrap);

// True when a cursor at `cursorY` leaves no room for a whole line above the
// bottom edge, so that the contents must move up by one line.
bool QUB_ScrollNeeded(int cursorY, int lineHeight, int height);

// Opening sizes: a negative width becomes 400 and a negative height 300.
constexpr int kTextDefaultWidth = 400;
constexpr int kTextDefaultHeight = 300;
int QUB_TextDefaultSize(int size, int fallback);
