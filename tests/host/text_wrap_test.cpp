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
    EXPECT_EQ(QUB_UnitCells(u'a'), 1);
    EXPECT_EQ(QUB_UnitCells(0x7F), 1);
    EXPECT_EQ(QUB_UnitCells(0x80), 2);
    EXPECT_EQ(QUB_UnitCells(u'\u3042'), 2);
    EXPECT_EQ(QUB_UnitCells(0x1B), 1) << "control characters are drawn narrow";
}

TEST(Wrap, FiftiethCharacterFitsFiftyFirstStartsTheNextLine) {
    int x = 0, breaks = 0;
    auto lines = Layout(std::u16string(50, u'a'), 400, 8, &x, &breaks);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].units, 50);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(breaks, 0);

    lines = Layout(std::u16string(51, u'a'), 400, 8, &x, &breaks);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].units, 50);
    EXPECT_EQ(lines[1].firstUnit, 50);
    EXPECT_EQ(lines[1].units, 1);
    EXPECT_EQ(x, 8);
    EXPECT_EQ(breaks, 1);
}

TEST(Wrap, DoubleWidthCharacterWithOneCellLeftStartsTheNextLine) {
    // 49 narrow characters leave one cell of 8 pixels; the wide one needs 16.
    std::u16string text(49, u'a');
    text += u'\u3042';
    int x = 0, breaks = 0;
    auto lines = Layout(text, 400, 8, &x, &breaks);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].units, 49);
    EXPECT_EQ(lines[0].endX, 392);
    EXPECT_EQ(lines[1].firstUnit, 49);
    EXPECT_EQ(x, 16);

    // With two cells left it still fits, ending exactly at the edge.
    text = std::u16string(48, u'a') + u'\u3042';
    lines = Layout(text, 400, 8, &x, &breaks);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(x, 400);
}

TEST(Wrap, LineFeedsAndEmptyLines) {
    int x = 0, breaks = 0;
    auto lines = Layout(u"ab\ncd", 400, 8, &x, &breaks);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].units, 2);
    EXPECT_EQ(lines[1].firstUnit, 3);
    EXPECT_EQ(lines[1].units, 2);
    EXPECT_EQ(x, 16) << "the cursor stands behind cd";

    lines = Layout(u"\n\nx", 400, 8, &x, &breaks);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].units, 0);
    EXPECT_EQ(lines[1].units, 0);
    EXPECT_EQ(lines[2].units, 1);
    EXPECT_EQ(breaks, 2);
}

TEST(Wrap, ContinuesFromTheCursorPosition) {
    const std::u16string text = u"abc";
    TextRun run = QUB_NextRun(text.data(), 3, 0, 384, 400, 8, false);
    EXPECT_EQ(run.length, 2);
    EXPECT_TRUE(run.wrapped);
    EXPECT_EQ(run.next, 2);
}

TEST(Wrap, WindowNarrowerThanOneCellStillMakesProgress) {
    int x = 0, breaks = 0;
    auto lines = Layout(u"abc", 0, 8, &x, &breaks);
    // First an empty line (nothing fits), then one character per line.
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].units, 0);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(lines[static_cast<size_t>(i)].units, 1);
}

TEST(Wrap, ScrollWhenTheNextLineReachesTheBottom) {
    // 300 high, 14-pixel lines: the line at 286 would end at 300, the edge.
    EXPECT_FALSE(QUB_ScrollNeeded(285, 14, 300));
    EXPECT_TRUE(QUB_ScrollNeeded(286, 14, 300));
    EXPECT_TRUE(QUB_ScrollNeeded(0, 14, 10)) << "a window lower than a line always scrolls";
}

TEST(Wrap, DefaultSizes) {
    EXPECT_EQ(QUB_TextDefaultSize(-1, kTextDefaultWidth), 400);
    EXPECT_EQ(QUB_TextDefaultSize(-1, kTextDefaultHeight), 300);
    EXPECT_EQ(QUB_TextDefaultSize(0, kTextDefaultWidth), 0);
    EXPECT_EQ(QUB_TextDefaultSize(123, kTextDefaultWidth), 123);
}

}  // namespace
