// Platform-free parts of the runtime core: text cutting, the status line,
// snapping, the main window's menus and keys, the millisecond clock.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstring>
#include <string>
#include <thread>

#include "core/clock.h"
#include "core/main_layout.h"
#include "core/main_menu.h"
#include "core/snap.h"
#include "core/status_line.h"
#include "core/text_cut.h"
#include "core/window_place.h"

namespace {

// "日本" in Shift_JIS: two double-byte characters.
const char kNihon932[] = "\x93\xfa\x96\x7b";

TEST(TextCut, KeepsWholeDoubleByteCharactersIn932) {
    std::string text = std::string("ab") + kNihon932;  // a b [93 fa] [96 7b]
    EXPECT_EQ(QUB_CutNarrow(text.c_str(), 6, QUB_IsLeadByte932), 6u);
    EXPECT_EQ(QUB_CutNarrow(text.c_str(), 5, QUB_IsLeadByte932), 4u);  // not inside [96 7b]
    EXPECT_EQ(QUB_CutNarrow(text.c_str(), 3, QUB_IsLeadByte932), 2u);
    // A trail byte may look like an ASCII letter (0x7b is '{'): it still stays
    // with its lead byte.
    EXPECT_EQ(QUB_CutNarrow("\x96\x7b" "x", 1, QUB_IsLeadByte932), 0u);
    // Half-width katakana (0xA1-0xDF) are single bytes.
    EXPECT_EQ(QUB_CutNarrow("\xb1\xb2\xb3", 2, QUB_IsLeadByte932), 2u);
}

TEST(TextCut, SingleByteCodePageCutsAnywhere) {
    // In 1252 the same bytes are four characters.
    EXPECT_EQ(QUB_CutNarrow(kNihon932, 3, QUB_IsLeadByteNone), 3u);
}

TEST(TextCut, DropsLeadByteWithoutTrail) {
    EXPECT_EQ(QUB_CutNarrow("ab\x93", 10, QUB_IsLeadByte932), 2u);
}

TEST(TextCut, CopyNeverWritesPastBuffer) {
    char out[8];
    std::memset(out, 'Z', sizeof out);
    std::string longText(100, 'q');
    EXPECT_EQ(QUB_CopyNarrow(out, 5, longText.c_str(), QUB_IsLeadByteNone), 4u);
    EXPECT_STREQ(out, "qqqq");
    EXPECT_EQ(out[5], 'Z');
    std::string jp = std::string("a") + kNihon932;  // a [2] [2]
    EXPECT_EQ(QUB_CopyNarrow(out, 5, jp.c_str(), QUB_IsLeadByte932), 3u);
    EXPECT_EQ(std::string(out), std::string("a\x93\xfa"));
    EXPECT_EQ(QUB_CopyNarrow(out, 0, "abc", QUB_IsLeadByteNone), 0u);
}

std::string StatusLine(const char* text, QUB_LeadBytePredicate lead = QUB_IsLeadByteNone) {
    char line[kStatusLineBytes];
    QUB_FormatStatusLine(text, line, lead);
    return line;
}

TEST(StatusLine, CentresOnColumn18) {
    EXPECT_EQ(StatusLine("Ready"), std::string(16, ' ') + "Ready");
    EXPECT_EQ(StatusLine("32-bit color"), std::string(12, ' ') + "32-bit color");
    EXPECT_EQ(StatusLine(""), std::string(18, ' '));
    EXPECT_EQ(StatusLine(nullptr), std::string(18, ' ')) << "no text reads as an empty one";
    std::string forty(40, 'x');
    EXPECT_EQ(StatusLine(forty.c_str()), forty);
    std::string thirtySeven(37, 'y');  // 18 - 18 = 0
    EXPECT_EQ(StatusLine(thirtySeven.c_str()), thirtySeven);
}

TEST(StatusLine, LongTextIsCutToTheLine) {
    std::string seventy(70, 'z');
    EXPECT_EQ(StatusLine(seventy.c_str()), std::string(63, 'z'));
    // 30 characters: pos 3, 60 bytes of room.
    std::string jp;
    for (int i = 0; i < 31; ++i) jp += "\x82\xa0";  // 62 bytes of double-byte text
    std::string line = StatusLine(jp.c_str(), QUB_IsLeadByte932);
    EXPECT_EQ(line.size(), 63u - 1u);  // pos 0 and one byte left over: no half character
    EXPECT_EQ(line, jp.substr(0, 62));
}

// Window rectangles are (left, top, right, bottom).
constexpr SnapRect kScreenCurrent = {500, 500, 600, 600};

SnapRect Snap(const SnapRect* list, int count, SnapRect proposed,
              SnapRect current = kScreenCurrent) {
    QUB_SnapToRects(list, count, current, proposed);
    return proposed;
}

void ExpectRect(const SnapRect& r, int l, int t, int rr, int b) {
    EXPECT_EQ(r.left, l);
    EXPECT_EQ(r.top, t);
    EXPECT_EQ(r.right, rr);
    EXPECT_EQ(r.bottom, b);
}

TEST(Snap, LeftEdgeMeetsRightEdgeAndTopsAlign) {
    const SnapRect other = {100, 100, 300, 400};
    // Left edge 4 inside other's right edge, top 3 below other's top: the
    // edges meet and the tops align in the same step.
    ExpectRect(Snap(&other, 1, {296, 103, 396, 203}), 300, 100, 400, 200);
    // Overlap is judged on the rectangle as proposed: 5 pixels outside, the
    // edges meet but the tops are left alone.
    ExpectRect(Snap(&other, 1, {305, 103, 405, 203}), 300, 103, 400, 203);
    // Left edge 7 away snaps; 8 away does not.
    ExpectRect(Snap(&other, 1, {307, 150, 407, 250}), 300, 150, 400, 250);
    ExpectRect(Snap(&other, 1, {308, 150, 408, 250}), 308, 150, 408, 250);
    // No vertical overlap: no horizontal snap.
    ExpectRect(Snap(&other, 1, {305, 420, 405, 520}), 305, 420, 405, 520);
}

TEST(Snap, RightEdgeMeetsLeftEdge) {
    const SnapRect other = {100, 100, 300, 400};
    ExpectRect(Snap(&other, 1, {-4, 200, 96, 250}), 0, 200, 100, 250);
}

TEST(Snap, VerticalEdgesThenSideAlignment) {
    const SnapRect other = {100, 100, 300, 400};
    // Top 4 above other's bottom: top meets bottom, then the lefts align
    // (3 apart).
    ExpectRect(Snap(&other, 1, {103, 396, 203, 446}), 100, 400, 200, 450);
    // Top 6 below other's bottom: no vertical overlap as proposed, so the top
    // meets the bottom but the lefts stay.
    ExpectRect(Snap(&other, 1, {103, 406, 203, 456}), 103, 400, 203, 450);
    // Bottom 3 below other's top; rights 4 apart.
    ExpectRect(Snap(&other, 1, {204, 53, 304, 103}), 200, 50, 300, 100);
}

TEST(Snap, ScreenWalls) {
    SnapRect walls[kSnapWalls];
    QUB_MakeSnapWalls(1280, 1054, walls);
    ExpectRect(Snap(walls, kSnapWalls, {6, 300, 206, 400}), 0, 300, 200, 400);
    ExpectRect(Snap(walls, kSnapWalls, {-7, -5, 193, 95}), 0, 0, 200, 100);
    ExpectRect(Snap(walls, kSnapWalls, {1075, 950, 1275, 1050}), 1080, 954, 1280, 1054);
    ExpectRect(Snap(walls, kSnapWalls, {600, 300, 800, 400}), 600, 300, 800, 400);
}

TEST(Snap, SkipsItselfAndEarlierEntriesWin) {
    const SnapRect list[] = {
        {500, 500, 600, 600},   // the moving window itself
        {100, 300, 398, 400},   // right edge 2 left of L: wins
        {100, 300, 403, 400},   // would snap too, but comes later
    };
    ExpectRect(Snap(list, 3, {400, 320, 500, 380}), 398, 320, 498, 380);
    // When the moving window is not recognised, its old place is a target too.
    ExpectRect(Snap(list, 1, {597, 505, 697, 585}, {0, 0, 1, 1}), 600, 500, 700, 580);
}

TEST(Snap, ExtremeCoordinatesDoNotOverflow) {
    const SnapRect other = {-2147483647, -2147483647, 2147483647, 2147483647};
    SnapRect r = Snap(&other, 1, {0, 0, 10, 10});
    ExpectRect(r, 0, 0, 10, 10);
}

// Two threads rebuild the list while a third reads it: every copy must be one
// writer's whole list, never the count of one and the entries of another.
TEST(Snap, ListRebuiltByTwoWritersIsReadWhole) {
    static SnapList list;
    std::atomic<bool> stop{false};
    auto writer = [&](int tag, int count) {
        SnapRect rects[kMaxSnapRects];
        for (int i = 0; i < count; ++i) rects[i] = {tag, i, tag, i};
        while (!stop.load()) QUB_PublishSnapRects(list, rects, count);
    };
    std::thread a(writer, 1, kMaxSnapRects), b(writer, 2, 7);
    int torn = 0;
    for (int k = 0; k < 20000; ++k) {
        SnapRect copy[kMaxSnapRects];
        const int count = QUB_CopySnapRects(list, copy);
        if (count == 0) continue;
        const int tag = copy[0].left;
        if (count != (tag == 1 ? kMaxSnapRects : 7)) ++torn;
        for (int i = 0; i < count; ++i)
            if (copy[i].left != tag || copy[i].top != i) ++torn;
    }
    stop = true;
    a.join();
    b.join();
    EXPECT_EQ(torn, 0);
}

TEST(WindowPlace, DefaultsPerCoordinateAndKeptOnScreen) {
    const SnapRect screen = {0, 0, 1280, 1024};
    const SnapRect created = {26, 26, 226, 126};  // 200 x 100 where the system put it
    WindowPlace p = QUB_PlaceWindow(100, -1, false, true, created, screen);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, 26);
    p = QUB_PlaceWindow(-1, 100, true, false, created, screen);
    EXPECT_EQ(p.x, 26);
    EXPECT_EQ(p.y, 100);
    p = QUB_PlaceWindow(-150, 500, false, false, created, screen);
    EXPECT_EQ(p.x, -150) << "partly off the left edge is allowed while 32 pixels show";
    p = QUB_PlaceWindow(INT_MIN, INT_MIN, false, false, created, screen);
    EXPECT_EQ(p.x, -200 + 32);
    EXPECT_EQ(p.y, 0) << "the caption never goes above the screen";
    p = QUB_PlaceWindow(INT_MAX, INT_MAX, false, false, created, screen);
    EXPECT_EQ(p.x, 1280 - 32);
    EXPECT_EQ(p.y, 1024 - 32);
    const SnapRect tiny = {0, 0, 10, 5};
    p = QUB_PlaceWindow(5000, 5000, false, false, tiny, screen);
    EXPECT_EQ(p.x, 1270);
    EXPECT_EQ(p.y, 1019);
}

TEST(MainLayout, BottomCentreAndInsideTheWorkArea) {
    // Windows: 1920 x 1080 with a 40-pixel taskbar; SM_CYFULLSCREEN is the
    // work area minus the caption.
    MainWindowPlace p = QUB_MainWindowPlace(1920, 1040 - 23, 23, 1040);
    EXPECT_EQ(p.x, 840);
    EXPECT_EQ(p.y, 1017 - 113);
    EXPECT_EQ(p.width, 240);
    EXPECT_EQ(p.height, 23 + 58);
    EXPECT_EQ(p.y + kMainDropDistance + p.height, 1040) << "rests on the work area's bottom";
    // A full-screen height larger than the screen (seen under Wine: 1035 on a
    // 1024-line screen) would leave the status line off the screen.
    p = QUB_MainWindowPlace(1280, 1035, 19, 1024);
    EXPECT_EQ(p.y + kMainDropDistance + p.height, 1024);
    EXPECT_EQ(p.x, 520);
}

TEST(MainMenu, TablesAndGreying) {
    ASSERT_EQ(kMainMenuBarCount, 3);
    EXPECT_STREQ(kMainMenuBar[0].text, "Start(&S)");
    EXPECT_EQ(kMainMenuBar[0].id, 1001);
    EXPECT_STREQ(kMainMenuBar[1].text, "Stop(&C)");
    EXPECT_EQ(kMainMenuBar[1].id, 1003);
    EXPECT_STREQ(kMainMenuBar[2].text, "Exit(&X)");
    EXPECT_EQ(kMainMenuBar[2].id, 1002);

    const int ids[kMainPopupCount] = {1026, 0, 1001, 1003, 1002, 0, 1027, 1028, 1044, 1051, 0, 1045};
    for (int i = 0; i < kMainPopupCount; ++i) EXPECT_EQ(kMainPopup[i].id, ids[i]) << i;
    EXPECT_STREQ(kMainPopup[11].text, "&Window Info.\tCtrl+W");
    EXPECT_STREQ(kMainPopup[4].text, "E&xit");

    for (int i = 0; i < kMainPopupCount; ++i) {
        const MainMenuEntry& e = kMainPopup[i];
        if (e.id == 0) continue;
        EXPECT_EQ(QUB_MainMenuItemState(e, 0, 0), kMenuStateEnabled) << i;
        const bool alwaysOn = e.id == kCmdStop || e.id == kCmdExit;
        const int busy = alwaysOn ? kMenuStateEnabled : kMenuStateGrayed;
        EXPECT_EQ(QUB_MainMenuItemState(e, 1, 0), busy) << i;
        EXPECT_EQ(QUB_MainMenuItemState(e, 0, 3), busy) << i;
    }
}

TEST(MainMenu, Keys) {
    EXPECT_EQ(QUB_MainWindowKey('S', false).command, kCmdStart);
    EXPECT_EQ(QUB_MainWindowKey('C', false).command, kCmdStop);
    EXPECT_EQ(QUB_MainWindowKey('X', false).command, kCmdExit);
    EXPECT_EQ(QUB_MainWindowKey(0x1B, false).command, kCmdExit);
    EXPECT_EQ(QUB_MainWindowKey('X', false).action, MainKeyAction::kRunCommand);
    EXPECT_EQ(QUB_MainWindowKey('V', false).action, MainKeyAction::kNone);
    MainKeyResult paste = QUB_MainWindowKey('V', true);
    EXPECT_EQ(paste.action, MainKeyAction::kPostCommand);
    EXPECT_EQ(paste.command, kCmdPaste);
    EXPECT_EQ(QUB_MainWindowKey('W', true).command, kCmdWindowInfo);
    EXPECT_EQ(QUB_MainWindowKey('S', true).action, MainKeyAction::kNone);
}

TEST(Clock, MillisecondsWrapAndDifferencesSurvive) {
    EXPECT_EQ(QUB_CountsToMilliseconds(2500, 0.001), 2u);
    // 2^32 + 5 ms worth of counts at 10 counts per ms.
    const int64_t counts = (int64_t{1} << 32) * 10 + 50;
    EXPECT_EQ(QUB_CountsToMilliseconds(counts, 0.1), 5u);
    const uint32_t before = 0xFFFFFFF0u;
    EXPECT_EQ(QUB_ElapsedMs(before + 0x20u, before), 0x20u);
}

}  // namespace
