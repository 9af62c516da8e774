// Cell arithmetic of printing: runs, wrapping and scrolling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/wrap.h"

namespace {

struct Line {
    int firstUnit;
    int units;
    int endX;
};

// Lays `text` out the way printing does and returns the lines of runs
// (one run per line here, as no line feed is inside a line).
std::vector<Line> Layout(const std::u16string& text, int width, int cellWidth, int* cursorX,
                         int* lineBreaks) {
    std::vector<Line> lines;
    int pos = 0, x = 0;
    bool wrapped = false;
    *lineBreaks = 0;
    const int n = static_cast<int>(text.size());
    while (pos < n) {
        TextRun run = QUB_NextRun(text.data(), n, pos, x, width, cellWidth, wrapped);
        lines.push_back({run.start, run.length, run.endX});
        if (run.lineBreak) {
            ++*lineBreaks;
            x = 0;
        } else {
            x = run.endX;
        }
        wrapped = run.wrapped;
        pos = run.next;
    }
    *cursorX = x;
    return lines;
}

TEST(Wrap, UnitCells) {
    // Control characters are drawn narrow.
    for (unsigned unit : {0x61u, 0x7Fu, 0x1Bu}) EXPECT_EQ(QUB_UnitCells(unit), 1) << unit;
    for (unsigned unit : {0x80u, 0x3042u}) EXPECT_EQ(QUB_UnitCells(unit), 2) << unit;
}

// Units per line, where the cursor ends and how many line feeds there were.
TEST(Wrap, LinesOfTexts) {
    const std::u16string a48(48, u'a'), a49(49, u'a'), a50(50, u'a');
    const struct {
        std::u16string text;
        int width;
        std::vector<int> units;
        int cursorX, breaks;
    } cases[] = {
        {a50, 400, {50}, 400, 0},           // the fiftieth character fits
        {a50 + u"a", 400, {50, 1}, 8, 1},   // the fifty-first starts the next line
        {a49 + u"\u3042", 400, {49, 1}, 16, 1},  // one cell left: the wide one moves on
        {a48 + u"\u3042", 400, {49}, 400, 0},    // two cells: it ends at the edge
        {u"ab\ncd", 400, {2, 2}, 16, 1},
        {u"\n\nx", 400, {0, 0, 1}, 8, 2},
        {u"abc", 0, {0, 1, 1, 1}, 8, 3},   // narrower than a cell: still progress
    };
    for (const auto& c : cases) {
        int x = 0, breaks = 0;
        const std::vector<Line> lines = Layout(c.text, c.width, 8, &x, &breaks);
        std::vector<int> units;
        int next = 0;
        for (const Line& l : lines) {
            units.push_back(l.units);
            EXPECT_GE(l.firstUnit, next) << "lines in order";
            next = l.firstUnit + l.units;
        }
        EXPECT_EQ(units, c.units) << c.text.size();
        EXPECT_EQ(x, c.cursorX) << c.text.size();
        EXPECT_EQ(breaks, c.breaks) << c.text.size();
    }
}

TEST(Wrap, ContinuesFromTheCursorPosition) {
    const std::u16string text = u"abc";
    TextRun run = QUB_NextRun(text.data(), 3, 0, 384, 400, 8, false);
    EXPECT_EQ(run.length, 2);
    EXPECT_TRUE(run.wrapped);
    EXPECT_EQ(run.next, 2);
}

TEST(Wrap, ScrollAndDefaultSizes) {
    // 300 high, 14-pixel lines: the line at 286 would end at 300, the edge.
    EXPECT_FALSE(QUB_ScrollNeeded(285, 14, 300));
    EXPECT_TRUE(QUB_ScrollNeeded(286, 14, 300));
    EXPECT_TRUE(QUB_ScrollNeeded(0, 14, 10)) << "a window lower than a line always scrolls";
    EXPECT_EQ(QUB_TextDefaultSize(-1, kTextDefaultWidth), 400);
    EXPECT_EQ(QUB_TextDefaultSize(-1, kTextDefaultHeight), 300);
    EXPECT_EQ(QUB_TextDefaultSize(0, kTextDefaultWidth), 0);
    EXPECT_EQ(QUB_TextDefaultSize(123, kTextDefaultWidth), 123);
}

}  // namespace
