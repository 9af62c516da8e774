// Where the echo of a line input goes: the cursor arithmetic of typing,
// wrapping at the right edge, Backspace across line breaks and the final line
// end. Platform-free: each step updates the cursor and lists the drawing that
// the window must do, in order.
#pragma once

constexpr int kInputMaxUnits = 255;  // typed units of one input, without the terminator
// A unit can break the line twice (a double-width unit that no longer fits,
// then no room left for the cursor behind it), so the breaks are bounded by
// twice the units.
constexpr int kInputMaxBreaks = 2 * kInputMaxUnits + 2;

struct InputCursor {
    int x, y;                               // top-left of the cursor cell, pixels
    int width, height;                      // client size of the window
    int cellWidth, lineHeight;              // the window's cell metrics
    int breakCount;                         // line breaks the input has made
    int breakReturn[kInputMaxBreaks];       // where Backspace returns to, per break
};

enum class InputDrawKind {
    kSpace,      // a space over one cell at (x, y)
    kUnit,       // the unit over `cells` cells at (x, y)
    kWideSpace,  // the ideographic space over two cells at (x, y)
    kScroll,     // move the contents up by one line; y is the cursor line before the move
};

struct InputDraw {
    InputDrawKind kind;
    int x, y;
    int cells;
};

constexpr int kInputMaxDraws = 8;
struct InputDraws {
    int count;
    InputDraw draw[kInputMaxDraws];
};

// Resets the per-input state of a cursor at (x, y).
void QUB_InputBegin(InputCursor* cursor, int x, int y, int width, int height, int cellWidth,
                    int lineHeight);

// Takes the window's cursor and size before a step. When the cursor has moved
// without the input (a resize clears the window and puts the cursor at the
// top left), the lines that the input broke earlier are gone from the screen:
// its breaks are forgotten, so that Backspace never climbs back to them,
// above the window's top edge.
void QUB_InputFollow(InputCursor* cursor, int x, int y, int width, int height);

// Echoes a typed unit and moves the cursor behind it.
void QUB_InputType(InputCursor* cursor, unsigned unit, InputDraws* out);

// Removes the typed unit `removed` (the last one) and moves the cursor back.
void QUB_InputBackspace(InputCursor* cursor, unsigned removed, InputDraws* out);

// The line end of Enter: the cursor cell is blanked and the cursor moves to
// the start of the next line.
void QUB_InputEnd(InputCursor* cursor, InputDraws* out);
