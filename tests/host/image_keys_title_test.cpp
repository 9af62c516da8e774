// Keys over an image window and the window caption.
#include <gtest/gtest.h>

#include <string>

#include "core/text_cut.h"
#include "image/image_keys.h"
#include "image/image_title.h"

namespace {

constexpr int kTab = 0x09, kEsc = 0x1B, kNumpad0 = 0x60, kAdd = 0x6B, kSubtract = 0x6D;

TEST(ImageKeys, PlainKeysGoToTheMainWindow) {
    for (int key : {int{'X'}, int{'S'}, int{'C'}, kEsc}) {
        const ImageKeyResult r = QUB_ImageWindowKey(key, false, false);
        EXPECT_EQ(r.action, ImageKeyAction::kPassToMain) << key;
    }
    EXPECT_EQ(QUB_ImageWindowKey('V', false, false).action, ImageKeyAction::kNone);
    EXPECT_EQ(QUB_ImageWindowKey('0', false, false).action, ImageKeyAction::kNone);
    EXPECT_EQ(QUB_ImageWindowKey(kTab, false, false).action, ImageKeyAction::kToggleStretch);
}

TEST(ImageKeys, CtrlShortcutsPostToolboxCommands) {
    const struct {
        int key, command;
    } posted[] = {{'X', 1011}, {'C', 1012}, {'V', 1014}, {'Q', 1005}, {'R', 1019}};
    for (const auto& p : posted) {
        const ImageKeyResult r = QUB_ImageWindowKey(p.key, true, false);
        EXPECT_EQ(r.action, ImageKeyAction::kPostCommand) << p.key;
        EXPECT_EQ(r.command, p.command) << p.key;
    }
    EXPECT_EQ(QUB_ImageWindowKey(kNumpad0, true, false).action, ImageKeyAction::kZoom100);
    EXPECT_EQ(QUB_ImageWindowKey('0', true, false).action, ImageKeyAction::kNone)
        << "the main keyboard's 0 is not a zoom key";
    EXPECT_EQ(QUB_ImageWindowKey(kAdd, true, false).action, ImageKeyAction::kZoomIn);
    EXPECT_EQ(QUB_ImageWindowKey(kSubtract, true, false).action, ImageKeyAction::kZoomOut);
    EXPECT_EQ(QUB_ImageWindowKey(kAdd, false, false).action, ImageKeyAction::kNone);
    // Ctrl + S is no shortcut here, so it goes on as S.
    EXPECT_EQ(QUB_ImageWindowKey('S', true, false).action, ImageKeyAction::kPassToMain);
}

TEST(ImageKeys, IgnoredWhilePicking) {
    for (int key : {int{'X'}, int{'S'}, kEsc, kTab, kNumpad0, int{'Q'}})
        for (bool ctrl : {false, true})
            EXPECT_EQ(QUB_ImageWindowKey(key, ctrl, true).action, ImageKeyAction::kNone);
}

std::string Title(const char* title, int zoom, int depth, bool halftone,
                  QUB_LeadBytePredicate lead = QUB_IsLeadByteNone) {
    char out[kImageTitleBytes];
    QUB_FormatImageTitle(out, title, zoom, depth, halftone, lead);
    return out;
}

TEST(ImageTitle, ZoomDepthAndMode) {
    EXPECT_EQ(Title("Left side", 30, 32, false), "Left side(30%)");
    EXPECT_EQ(Title("Left side", 30, 32, true), "Left side(30%)*");
    EXPECT_EQ(Title("Left side", 30, 8, true), "Left side(30%)[8bit]*");
    EXPECT_EQ(Title("000 photo.jpg", 100, 8, false), "000 photo.jpg(100%)[8bit]");
    EXPECT_EQ(Title(nullptr, 5, 32, false), "(5%)");
}

TEST(ImageTitle, LongTitlesAreCutToKeepTheSuffix) {
    const std::string longTitle(300, 'a');
    const std::string t = Title(longTitle.c_str(), 1234, 8, true);
    EXPECT_EQ(t.size(), 255u);
    EXPECT_EQ(t.substr(t.size() - 14), "(1234%)[8bit]*");
    // Code page 932: a two-byte character is never split by the cut.
    std::string dbcs(239, 'a');
    for (int i = 0; i < 20; ++i) dbcs += "\x83\x41";  // katakana A
    const std::string u = Title(dbcs.c_str(), 50, 32, false, QUB_IsLeadByte932);
    const std::string head = u.substr(0, u.size() - 5);
    EXPECT_EQ(u.substr(u.size() - 5), "(50%)");
    EXPECT_EQ((head.size() - 239) % 2, 0u) << "cut between characters";
}

}  // namespace
