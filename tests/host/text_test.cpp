// The text window without windows: formatting, the input cursor, keys, layout source, wrapping.
#include <gtest/gtest.h>
#include <climits>
#include <cstring>
#include <string>
#include <vector>
#include "text/decimal.h"
#include "text/format.h"
#include "text/input_cursor.h"
#include "text/text_menu.h"
#include "text/window_source.h"
#include "text/wrap.h"

namespace {
size_t Format(char* out, size_t size, QUB_LeadBytePredicate isLead, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const size_t n = QUB_FormatCut(out, size, isLead, format, args);
    va_end(args);
    return n;
}

// In 932 "a" then "あ"s puts a lead byte at 4095 whose trail does not fit;
// "\x81\x81" has a trail that is also a lead byte (a backward look cuts wrongly).
TEST(FormatCut, WholeCharactersFillTheBuffer) {
    std::string a = "a", c;
    while (a.size() < 6000) a += "\x82\xA0";
    while (c.size() < 5000) c += "\x81\x81";
    const auto n = QUB_IsLeadByteNone, j = QUB_IsLeadByte932;
    const struct {
        std::string text;
        QUB_LeadBytePredicate lead;
        size_t size, length;
    } cases[] = {{std::string(10000, '\x82'), n, kFormatBytes, kFormatBytes - 1},
                 {a.substr(1), j, kFormatBytes, kFormatBytes - 2},
                 {c, j, kFormatBytes, kFormatBytes - 2}, {"\x82\xA0", j, 2, 0}, {"abc", n, 0, 0}};
    for (const auto& k : cases) {
        char out[kFormatBytes];
        out[0] = 'x';
        EXPECT_EQ(Format(out, k.size, k.lead, "%s", k.text.c_str()), k.length) << k.size;
        if (k.size == 0) {
            EXPECT_EQ(out[0], 'x') << "a zero-size buffer is not written";
            continue;
        }
        EXPECT_EQ(std::strlen(out), k.length);
    }
}

// Typed numbers: leading blanks and a sign touching the digits; beyond int
// the value is clamped, not wrapped.
TEST(Decimal, PromptAnswersClampedNotWrapped) {
    const struct {
        const char* text;
        int value;
    } cases[] = {{"   -17xyz", -17}, {"\t+8", 8}, {"abc", 0}, {"- 5", 0}, {"12 34", 12},
                 {nullptr, 0}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
                 {"2147483648", INT_MAX}, {"-2147483649", INT_MIN},
                 {"99999999999999999999999", INT_MAX}, {"-99999999999999999999999", INT_MIN}};
    for (const auto& c : cases)
        EXPECT_EQ(QUB_ParseDecimal(c.text), c.value) << (c.text ? c.text : "null");
}

constexpr int kCell = 8, kLine = 14;

InputCursor Begin(int x, int y, int width = 400, int height = 300) {
    InputCursor c;
    QUB_InputBegin(&c, x, y, width, height, kCell, kLine);
    return c;
}

// One step of an input and where the cursor is after it; the first draw of
// the step (kind, x) when `draws` is given.
struct Step {
    char op;  // 't' type `unit`, 'b' Backspace over `unit`, 'e' Enter
    char16_t unit;
    int x, y, breaks, draws;
    InputDrawKind kind;
    int drawX;
};

TEST(InputCursor, StepsAcrossTheEdges) {
    constexpr auto kU = InputDrawKind::kUnit, kS = InputDrawKind::kSpace;
    const struct {
        int x, y;
        Step steps[2];
    } cases[] = {
        // A narrow unit in the last cell leaves no room for the cursor cell;
        // Backspace goes back to the last character of the line above.
        {392, 0, {{'t', u'z', 0, kLine, 1, 0, kU, 0}, {'b', u'z', 392, 0, 0, 0, kU, 0}}},
        // A wide unit no longer fits: the cell is blanked and it moves down.
        {392, 0,
         {{'t', u'\u3042', 16, kLine, 1, 2, kS, 392}, {'b', u'\u3042', 392, 0, 0, 0, kU, 0}}},
        // Enter on the last line scrolls once; the cursor stays on that line.
        {0, 280, {{'e', 0, 0, 280, 0, 2, kS, 0}}},
    };
    for (const auto& k : cases) {
        InputCursor c = Begin(k.x, k.y);
        for (const Step& s : k.steps) {
            if (s.op == 0) break;
            SCOPED_TRACE(testing::Message() << k.x << "," << k.y << " " << s.op);
            InputDraws d = {};
            QUB_InputFollow(&c, c.x, c.y, c.width, c.height);
            if (s.op == 't') QUB_InputType(&c, s.unit, &d);
            if (s.op == 'b') QUB_InputBackspace(&c, s.unit, &d);
            if (s.op == 'e') QUB_InputEnd(&c, &d);
            EXPECT_EQ(std::vector<int>({c.x, c.y, c.breakCount}),
                      std::vector<int>({s.x, s.y, s.breaks}));
            if (s.draws == 0) continue;
            ASSERT_GE(d.count, s.draws);
            EXPECT_TRUE(d.draw[0].kind == s.kind && d.draw[0].x == s.drawX);
        }
    }
}

TEST(TextKeys, CtrlCommandsAndKeysForTheMainWindow) {
    const TextKeyResult copy = QUB_TextWindowKey('C', true), esc = QUB_TextWindowKey(0x1B, false);
    EXPECT_TRUE(copy.action == TextKeyAction::kPostCommand && copy.value == 1030);
    EXPECT_TRUE(esc.action == TextKeyAction::kPassToMain && esc.value == 0x1B);
    EXPECT_EQ(QUB_TextWindowKey(' ', false).action, TextKeyAction::kConsole);
    EXPECT_EQ(QUB_TextWindowKey('X', true).action, TextKeyAction::kNone);
}

TEST(LayoutSource, EveryKindWithStringsThatNeedEscaping) {
    WindowLayout layout;
    layout.texts.push_back({0, 100, 200, 400, 300});
    layout.images.push_back({2, "say \"hi\"\\now", -5, 7, 640, 480, 50, 32});
    layout.images.push_back(
        {9, "\x83\x5c\t\x01", 1, 2, 3, 4, 100, 8});  // a double-byte character ending in '\'
    layout.hasInputBox = true;
    layout.inputBox = {10, 20, 2, 70, 120, {"Width", "a \"b\""}};
    layout.hasButtonBox = true;
    layout.buttonBox = {30, 40, 2, 1, 200, 60, {"two\nlines", "ok?" "?/"}};
    EXPECT_EQ(QUB_LayoutSource(layout),
              "\t// QUBLIB --- Automatic Source Generator\n"
              "\t// [Image Window]\n"
              "\tQUB_CreateImage(2,\"say \\\"hi\\\"\\\\now\",-5,7,640,480,50);\n"
              "\tQUB_CreateImage8(9,\"\\203\\\\\\t\\001\",1,2,3,4,100);\n"
              "\t// [Text Window]\n"
              "\tQUB_OpenTextWindow(0,100,200,400,300);\n"
              "\t// [Input Box]\n"
              "\tQUB_OpenInputBox(10,20,2);\n"
              "\tQUB_ResizeInputBox(70,120);\n"
              "\tQUB_SetInputBoxTitle(0,\"Width\");\n"
              "\tQUB_SetInputBoxTitle(1,\"a \\\"b\\\"\");\n"
              "\t// [Button Box]\n"
              "\tQUB_OpenButtonBox(30,40,2,1);\n"
              "\tQUB_ResizeButtonBox(200,60);\n"
              "\tQUB_SetButtonBoxTitle(0,\"two\\nlines\");\n"
              "\tQUB_SetButtonBoxTitle(1,\"ok\\?\\?/\");\n"
              "\tQUB_SetForeground(QUBMAINWINDOW);\n");
}

// Units per line, the cursor's end and the line feeds, laid out from startX as printing does.
TEST(Wrap, LinesOfTexts) {
    for (unsigned unit : {0x61u, 0x7Fu, 0x1Bu}) EXPECT_EQ(QUB_UnitCells(unit), 1) << unit;
    for (unsigned unit : {0x80u, 0x3042u}) EXPECT_EQ(QUB_UnitCells(unit), 2) << unit;
    const std::u16string a48(48, u'a'), a49(49, u'a'), a50(50, u'a');
    const struct {
        std::u16string text;
        int width, startX;
        std::vector<int> units;
        int cursorX, breaks;
    } cases[] = {
        {a50 + u"a", 400, 0, {50, 1}, 8, 1},       // the fifty-first starts the next line
        {a49 + u"\u3042", 400, 0, {49, 1}, 16, 1},  // one cell left: the wide one moves on
        {a48 + u"\u3042", 400, 0, {49}, 400, 0},    // two cells: it ends at the edge
        {u"\n\nx", 400, 0, {0, 0, 1}, 8, 2},
        {u"abc", 0, 0, {0, 1, 1, 1}, 8, 3},        // narrower than a cell: still progress
        {u"abc", 400, 384, {2, 1}, 8, 1},          // continues from the cursor
    };
    for (const auto& c : cases) {
        std::vector<int> units;
        int pos = 0, x = c.startX, breaks = 0, next = 0;
        bool wrapped = false;
        const int n = static_cast<int>(c.text.size());
        while (pos < n) {
            const TextRun run = QUB_NextRun(c.text.data(), n, pos, x, c.width, 8, wrapped);
            units.push_back(run.length);
            EXPECT_GE(run.start, next) << "lines in order";
            next = run.start + run.length;
            breaks += run.lineBreak;
            x = run.lineBreak ? 0 : run.endX;
            wrapped = run.wrapped;
            pos = run.next;
        }
        EXPECT_EQ(units, c.units) << n;
        EXPECT_EQ(x, c.cursorX) << n;
        EXPECT_EQ(breaks, c.breaks) << n;
    }
}

TEST(Wrap, ScrollAndDefaultSizes) {
    // 300 high, 14-pixel lines: the line at 286 would end at 300, the edge.
    EXPECT_FALSE(QUB_ScrollNeeded(285, 14, 300));
    EXPECT_TRUE(QUB_ScrollNeeded(286, 14, 300));
    EXPECT_TRUE(QUB_ScrollNeeded(0, 14, 10)) << "a window lower than a line always scrolls";
    EXPECT_TRUE(QUB_TextDefaultSize(-1, kTextDefaultHeight) == 300 &&
                QUB_TextDefaultSize(0, kTextDefaultWidth) == 0);
}
}  // namespace
