#include "text/input_cursor.h"

#include "text/wrap.h"

namespace {

void Add(InputDraws* out, InputDrawKind kind, int x, int y, int cells) {
    if (out->count < kInputMaxDraws) out->draw[out->count++] = {kind, x, y, cells};
}

void NextLine(InputCursor* c, InputDraws* out) {
    c->x = 0;
    c->y += c->lineHeight;
    if (QUB_ScrollNeeded(c->y, c->lineHeight, c->height)) {
        Add(out, InputDrawKind::kScroll, 0, c->y, 0);
        c->y -= c->lineHeight;
    }
}

void BreakLine(InputCursor* c, int returnX, InputDraws* out) {
    if (c->breakCount < kInputMaxBreaks) c->breakReturn[c->breakCount++] = returnX;
    NextLine(c, out);
}

// The line a break left is one line up, unless scrolling has moved it out of
// the window: then it and every earlier one are gone from the screen, and
// the cursor stays at the start of its line instead of climbing above the top.
void BackToPreviousLine(InputCursor* c, int x) {
    if (c->y - c->lineHeight < 0) {
        c->breakCount = 0;
        c->x = 0;
        return;
    }
    c->x = x;
    c->y -= c->lineHeight;
    --c->breakCount;
}

}  // namespace

void QUB_InputBegin(InputCursor* c, int x, int y, int width, int height, int cellWidth,
                    int lineHeight) {
    c->x = x;
    c->y = y;
    c->width = width;
    c->height = height;
    c->cellWidth = cellWidth;
    c->lineHeight = lineHeight;
    c->breakCount = 0;
}

void QUB_InputFollow(InputCursor* c, int x, int y, int width, int height) {
    if (x != c->x || y != c->y) c->breakCount = 0;
    c->x = x;
    c->y = y;
    c->width = width;
    c->height = height;
}

void QUB_InputType(InputCursor* c, unsigned unit, InputDraws* out) {
    out->count = 0;
    const int cells = QUB_UnitCells(unit);
    if (cells == 2 && c->x > c->width - 2 * c->cellWidth) {
        Add(out, InputDrawKind::kSpace, c->x, c->y, 1);
        BreakLine(c, c->x + 2 * c->cellWidth, out);
    }
    Add(out, InputDrawKind::kUnit, c->x, c->y, cells);
    const int next = c->x + cells * c->cellWidth;
    if (next > c->width - c->cellWidth)
        BreakLine(c, c->x, out);
    else
        c->x = next;
}

void QUB_InputBackspace(InputCursor* c, unsigned removed, InputDraws* out) {
    out->count = 0;
    Add(out, InputDrawKind::kSpace, c->x, c->y, 1);
    const int cells = QUB_UnitCells(removed);
    if (c->breakCount > 0 && c->x == 0) {
        BackToPreviousLine(c, c->breakReturn[c->breakCount - 1]);
    } else {
        c->x -= cells * c->cellWidth;
        if (c->x < 0) c->x = 0;
    }
    if (cells != 2) return;
    Add(out, InputDrawKind::kWideSpace, c->x, c->y, 2);
    // A double-width unit that did not fit at the end of a line was drawn at
    // the start of the next; its break returns beyond the right edge, and the
    // cursor goes back to where it stood before that unit.
    if (c->breakCount > 0 && c->x == 0 && c->breakReturn[c->breakCount - 1] >= c->width)
        BackToPreviousLine(c, c->breakReturn[c->breakCount - 1] - 2 * c->cellWidth);
}

void QUB_InputEnd(InputCursor* c, InputDraws* out) {
    out->count = 0;
    Add(out, InputDrawKind::kSpace, c->x, c->y, 1);
    NextLine(c, out);
}
