#include "text/wrap.h"

int QUB_UnitCells(unsigned unit) { return unit < 0x80 ? 1 : 2; }

TextRun QUB_NextRun(const char16_t* text, int length, int start, int x, int width, int cellWidth,
                    bool afterWrap) {
    TextRun run = {start, 0, x, false, false, start};
    int i = start;
    while (i < length) {
        const unsigned unit = text[i];
        if (unit == 10) {
            run.lineBreak = true;
            ++i;
            break;
        }
        const int advance = QUB_UnitCells(unit) * cellWidth;
        const bool forced = afterWrap && i == start;
        if (!forced && x + advance > width) {
            run.lineBreak = true;
            run.wrapped = true;
            break;
        }
        x += advance;
        ++run.length;
        ++i;
    }
    run.endX = x;
    run.next = i;
    return run;
}

bool QUB_ScrollNeeded(int cursorY, int lineHeight, int height) {
    return cursorY + lineHeight >= height;
}

int QUB_TextDefaultSize(int size, int fallback) { return size < 0 ? fallback : size; }
