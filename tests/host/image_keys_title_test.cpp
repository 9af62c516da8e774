// Keys over an image window and the window caption.
#include <gtest/gtest.h>

#include <string>

#include "core/text_cut.h"
#include "image/image_keys.h"
#include "image/image_title.h"

namespace {

constexpr int kTab = 0x09, kEsc = 0x1B, kNumpad0 = 0x60, kAdd = 0x6B, kSubtract = 0x6D;

TEST(ImageKeys, WhatEachKeyDoes) {
    using A = ImageKeyAction;
    const struct {
        int key;
        bool ctrl;
        A action;
        int command;
    } cases[] = {
        {'X', false, A::kPassToMain, 0},
        {'S', false, A::kPassToMain, 0},
        {'C', false, A::kPassToMain, 0},
        {kEsc, false, A::kPassToMain, 0},
        {'V', false, A::kNone, 0},
        {'0', false, A::kNone, 0},
        {kTab, false, A::kToggleStretch, 0},
        {'X', true, A::kPostCommand, 1011},
        {'C', true, A::kPostCommand, 1012},
        {'V', true, A::kPostCommand, 1014},
        {'Q', true, A::kPostCommand, 1005},
        {'R', true, A::kPostCommand, 1019},
        {kNumpad0, true, A::kZoom100, 0},
        {'0', true, A::kNone, 0},  // only the keypad's 0 zooms
        {kAdd, true, A::kZoomIn, 0},
        {kSubtract, true, A::kZoomOut, 0},
        {kAdd, false, A::kNone, 0},
        {'S', true, A::kPassToMain, 0},  // Ctrl + S is no shortcut here, so it goes on as S
    };
    for (const auto& c : cases) {
        const ImageKeyResult r = QUB_ImageWindowKey(c.key, c.ctrl, false);
        EXPECT_EQ(r.action, c.action) << c.key << c.ctrl;
        if (c.command) { EXPECT_EQ(r.command, c.command) << c.key; }
        EXPECT_EQ(QUB_ImageWindowKey(c.key, c.ctrl, true).action, A::kNone)
            << "ignored while picking";
    }
}

std::string Title(const char* title, int zoom, int depth, bool halftone,
                  QUB_LeadBytePredicate lead = QUB_IsLeadByteNone) {
    char out[kImageTitleBytes];
    QUB_FormatImageTitle(out, title, zoom, depth, halftone, lead);
    return out;
}

TEST(ImageTitle, LongTitlesAreCutToKeepTheSuffix) {
    EXPECT_EQ(Title(nullptr, 5, 32, false), "(5%)");
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
