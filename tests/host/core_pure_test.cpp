// Platform-free parts of the runtime core.
#include <gtest/gtest.h>
#include <climits>
#include <cstring>
#include <string>
#include "core/clock.h"
#include "core/main_menu.h"
#include "core/snap.h"
#include "core/status_line.h"
#include "core/text_cut.h"
#include "core/window_place.h"
#include "product_texts.h"

namespace {
TEST(TextCut, WholeCharactersOnly) {
    const auto j = QUB_IsLeadByte932, n = QUB_IsLeadByteNone;
    // "ab" and "日本" in Shift_JIS; 0x7b of the second character looks like '{'.
    const char* ab932 = "ab\x93\xfa\x96\x7b";
    const struct {
        const char* text;
        size_t max;
        QUB_LeadBytePredicate lead;
        size_t bytes;
    } cases[] = {
        {ab932, 5, j, 4}, {"\x96\x7b" "x", 1, j, 0},
        {"\xb1\xb2\xb3", 2, j, 2},  // half-width katakana are single bytes
        {ab932 + 2, 3, n, 3},       // in 1252 the same bytes are four characters
        {"ab\x93", 10, j, 2},       // a lead byte without its trail is dropped
    };
    for (const auto& c : cases)
        EXPECT_EQ(QUB_CutNarrow(c.text, c.max, c.lead), c.bytes) << c.text << c.max;
    char out[8];
    EXPECT_EQ(QUB_CopyNarrow(out, 5, "a\x93\xfa\x96\x7b", j), 3u);
    EXPECT_EQ(std::string(out), std::string("a\x93\xfa"));
}

std::string StatusLine(const char* text, QUB_LeadBytePredicate lead = QUB_IsLeadByteNone) {
    char line[kStatusLineBytes];
    QUB_FormatStatusLine(text, line, lead);
    return line;
}

TEST(StatusLine, CentresOnColumn18AndCutsToTheLine) {
    EXPECT_EQ(StatusLine(product::kStatusReady), std::string(16, ' ') + product::kStatusReady);
    EXPECT_EQ(StatusLine(nullptr), std::string(18, ' ')) << "no text reads as an empty one";
    EXPECT_EQ(StatusLine(std::string(70, 'z').c_str()), std::string(63, 'z'));
    std::string jp;
    for (int i = 0; i < 32; ++i) jp += "\x82\xa0";  // 64 bytes for 63 of room: no half character
    EXPECT_EQ(StatusLine(jp.c_str(), QUB_IsLeadByte932), jp.substr(0, 62));
}

TEST(Snap, EdgesMeetAndSidesAlign) {
    const SnapRect other = {100, 100, 300, 400};
    SnapRect walls[kSnapWalls];
    QUB_MakeSnapWalls(1280, 1054, walls);
    const SnapRect list[] = {
        {500, 500, 600, 600},  // the moving window itself
        {100, 300, 398, 400},  // right edge 2 left of the moving left edge: wins
        {100, 300, 403, 400},  // would snap too, but comes later
    };
    const struct {
        const SnapRect* rects;
        int count;
        SnapRect proposed, expected;
    } cases[] = {
        // Left edge 4 inside other's right edge, top 3 below: both in one step.
        {&other, 1, {296, 103, 396, 203}, {300, 100, 400, 200}},
        {&other, 1, {308, 150, 408, 250}, {308, 150, 408, 250}},  // 8 away: no snap
        {&other, 1, {305, 420, 405, 520}, {305, 420, 405, 520}},  // no vertical overlap
        {walls, kSnapWalls, {1075, 950, 1275, 1050}, {1080, 954, 1280, 1054}},
        {list, 3, {400, 320, 500, 380}, {398, 320, 498, 380}},
    };
    for (const auto& c : cases) {
        SnapRect r = c.proposed;
        QUB_SnapToRects(c.rects, c.count, list[0], r);
        EXPECT_EQ(std::memcmp(&r, &c.expected, sizeof r), 0) << c.proposed.left << ": " << r.left;
    }
    // When the moving window is not recognised, its old place is a target too.
    SnapRect r = {597, 505, 697, 585};
    QUB_SnapToRects(list, 1, {0, 0, 1, 1}, r);
    EXPECT_TRUE(r.left == 600 && r.top == 500) << r.left << "," << r.top;
    const SnapRect huge = {-2147483647, -2147483647, 2147483647, 2147483647};
    r = {0, 0, 10, 10};
    QUB_SnapToRects(&huge, 1, list[0], r);  // no overflow
    EXPECT_EQ(r.left + r.top + r.right + r.bottom, 20);
}

TEST(WindowPlace, DefaultsPerCoordinateAndKeptOnScreen) {
    const SnapRect screen = {0, 0, 1280, 1024};
    const SnapRect created = {26, 26, 226, 126};  // 200 x 100 where the system put it
    const int cases[][4] = {{-150, 500, -150, 500},  // partly off while 32 pixels show
                            {INT_MIN, INT_MIN, -200 + 32, 0},  // the caption never above
                            {INT_MAX, INT_MAX, 1280 - 32, 1024 - 32}};
    for (const auto& c : cases) {
        const WindowPlace p = QUB_PlaceWindow(c[0], c[1], false, false, created, screen);
        EXPECT_TRUE(p.x == c[2] && p.y == c[3]) << c[0] << ": " << p.x << "," << p.y;
    }
    const WindowPlace p = QUB_PlaceWindow(100, -1, false, true, created, screen);
    EXPECT_TRUE(p.x == 100 && p.y == 26) << "a default y is where the system put it";
}

TEST(MainMenu, Keys) {
    const MainKeyResult esc = QUB_MainWindowKey(0x1B, false), paste = QUB_MainWindowKey('V', true);
    EXPECT_TRUE(esc.action == MainKeyAction::kRunCommand && esc.command == 1002);
    EXPECT_TRUE(paste.action == MainKeyAction::kPostCommand && paste.command == 1026);
    EXPECT_EQ(QUB_MainWindowKey('S', true).action, MainKeyAction::kNone);
}

TEST(Clock, MillisecondsWrapAndDifferencesSurvive) {
    EXPECT_EQ(QUB_CountsToMilliseconds((int64_t{1} << 32) * 10 + 50, 0.1), 5u);  // 2^32 + 5 ms
    EXPECT_EQ(QUB_ElapsedMs(0x10u, 0xFFFFFFF0u), 0x20u);
}
}  // namespace
