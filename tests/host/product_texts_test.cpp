// The platform-free menu, filter, title and console tables against the texts
// the user sees (product_texts.h): every text, id, mark and submenu.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/main_menu.h"
#include "image/file_names.h"
#include "image/image_title.h"
#include "image/toolbox_menu.h"
#include "product_texts.h"
#include "text/console_words.h"
#include "text/text_menu.h"

namespace {

using product::MenuText;
using product::MenuTexts;

std::string Text(const char* s) { return s ? s : "(separator)"; }
std::string Narrow(const wchar_t* s) { return std::string(s, s + std::wcslen(s)); }

std::string Printed(const char* format, int a, int b = 0, int c = 0, int d = 0) {
    char out[256];
    std::snprintf(out, sizeof out, format, a, b, c, d);
    return out;
}

void ExpectMainMenu(const MainMenuEntry* got, int count, MenuTexts want) {
    ASSERT_EQ(count, want.count);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Text(got[i].text), Text(want.items[i].text));
        EXPECT_EQ(got[i].id, want.items[i].id);
        if (got[i].text == nullptr) continue;
        const int busy =
            want.items[i].mark == product::kGreyable ? kMenuStateGrayed : kMenuStateEnabled;
        EXPECT_EQ(QUB_MainMenuItemState(got[i], 0, 0), kMenuStateEnabled);
        EXPECT_EQ(QUB_MainMenuItemState(got[i], 1, 0), busy);
        EXPECT_EQ(QUB_MainMenuItemState(got[i], 0, 3), busy);
    }
}

TEST(ProductTexts, MainMenuBarAndPopup) {
    ExpectMainMenu(kMainMenuBar, kMainMenuBarCount, product::Texts(product::kMainMenuBar));
    ExpectMainMenu(kMainPopup, kMainPopupCount, product::Texts(product::kMainPopup));
}

TEST(ProductTexts, TextWindowPopupWithItsChecksAndTheLogName) {
    const MenuTexts want = product::Texts(product::kTextPopup);
    ASSERT_EQ(kTextPopupCount, want.count);
    for (int i = 0; i < want.count; ++i) {
        SCOPED_TRACE(i);
        const MenuText& w = want.items[i];
        EXPECT_EQ(kTextPopup[i].id, w.id);
        std::string expected = w.text ? w.text : "";
        const size_t format = expected.find("%d%d");
        if (format != std::string::npos) expected.replace(format, 4, "237");
        char text[512];
        QUB_TextMenuItemText(kTextPopup[i], 2, 37, text, sizeof text);
        EXPECT_EQ(std::string(text), expected);
        for (int log = 0; log < 3; ++log)
            for (bool current : {false, true}) {
                const bool checked = (w.mark == product::kCheckedWhenCurrent && current) ||
                                     (w.mark == product::kCheckedWhenLogging && log == 1) ||
                                     (w.mark == product::kCheckedWhenPaused && log == 2);
                EXPECT_EQ(QUB_TextMenuItemState(kTextPopup[i], current, log),
                          checked ? kMenuStateChecked : 0) << log << current;
            }
    }
    char text[8];
    QUB_TextMenuItemText(kTextPopup[6], 9, 255, text, sizeof text);
    EXPECT_EQ(std::string(text), "&Copy Q") << "cut to the buffer";
}

bool CheckedAt(product::MenuMark mark, int zoom) {
    return (mark == product::kCheckedAtZoom50 && zoom == 50) ||
           (mark == product::kCheckedAtZoom100 && zoom == 100) ||
           (mark == product::kCheckedAtZoom200 && zoom == 200);
}

void ExpectToolboxMenu(const ToolboxItem* got, int count, const MenuText* want, int wantCount) {
    ASSERT_EQ(count, wantCount);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(Text(want[i].text));
        EXPECT_EQ(Text(got[i].text), Text(want[i].text));
        EXPECT_EQ(got[i].command, want[i].id);
        for (int zoom : {50, 75, 100, 200})
            EXPECT_EQ(QUB_ToolboxItemChecked(got[i].command, zoom), CheckedAt(want[i].mark, zoom));
        ASSERT_EQ(got[i].submenu == nullptr, want[i].submenu == nullptr);
        if (want[i].submenu)
            ExpectToolboxMenu(got[i].submenu, got[i].submenuCount, want[i].submenu,
                              want[i].submenuCount);
    }
}

TEST(ProductTexts, ToolboxMenusOfBothDepths) {
    const struct {
        ToolboxMenu got;
        MenuTexts want;
    } menus[] = {{QUB_BasicMenuItems(), product::Texts(product::kToolboxBasic)},
                 {QUB_ProcessMenuItems(32), product::Texts(product::kToolboxProcess32)},
                 {QUB_ProcessMenuItems(8), product::Texts(product::kToolboxProcess8)}};
    for (const auto& m : menus)
        ExpectToolboxMenu(m.got.items, m.got.count, m.want.items, m.want.count);
}

TEST(ProductTexts, FileTypesAndDialogFilters) {
    for (int t = 0; t < kImageFileTypes; ++t) {
        EXPECT_EQ(Narrow(kImageFileMime[t]), product::kFileMime[t]);
        EXPECT_EQ(Narrow(kImageFileExtension[t]), product::kFileExtension[t]);
    }
    ASSERT_EQ(kOpenFilterCount, 9);
    ASSERT_EQ(kSaveFilterCount, product::kSaveFilters);
    for (int count : {kSaveFilterCount, kOpenFilterCount}) {
        std::wstring expected;
        for (int i = 0; i < count; ++i) {
            const std::string d = product::kImageFilters[i].description,
                              p = product::kImageFilters[i].pattern;
            expected +=
                std::wstring(d.begin(), d.end()) + L'\0' + std::wstring(p.begin(), p.end()) + L'\0';
        }
        wchar_t out[512];
        const size_t needed = expected.size() + 1;
        for (size_t capacity = 0; capacity < needed; ++capacity)
            EXPECT_FALSE(QUB_BuildFilterString(count, out, capacity)) << "too small: " << capacity;
        ASSERT_TRUE(QUB_BuildFilterString(count, out, needed));
        EXPECT_EQ(std::wstring(out, needed), expected + L'\0') << count;
    }
}

TEST(ProductTexts, ImageWindowCaptions) {
    char out[kImageTitleBytes];
    for (bool halftone : {false, true})
        for (int depth : {32, 8}) {
            QUB_FormatImageTitle(out, "Left side", 30, depth, halftone, QUB_IsLeadByteNone);
            char expected[64];
            std::snprintf(expected, sizeof expected,
                          depth == 8 ? product::kImageTitle8 : product::kImageTitle32, "Left side",
                          30);
            EXPECT_EQ(std::string(out),
                      std::string(expected) + (halftone ? product::kHalftoneMark : ""));
        }
}

TEST(ProductTexts, ConsoleWordsAndColourReport) {
    const ConsoleWord words[] = {ConsoleWord::kExit, ConsoleWord::kStart, ConsoleWord::kHelp,
                                 ConsoleWord::kVer, ConsoleWord::kColor};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(QUB_ConsoleWord(product::kConsoleWords[i]), words[i]) << i;
    for (const char* bad : {"Exit", "exit ", " help", "", "versions"})
        EXPECT_EQ(QUB_ConsoleWord(bad), ConsoleWord::kInvalid) << bad;
    EXPECT_EQ(QUB_ConsoleWord(nullptr), ConsoleWord::kInvalid);
    const int values[] = {128, 255, 0, 0x00ABCD, 0xFF8888};
    std::string expected;
    for (int i = 0; i < 5; ++i) expected += Printed(product::kConsoleColour[i], values[i]);
    EXPECT_EQ(QUB_ConsoleColourReport(0x80FF00u, 0x00ABCDu, 0xFF8888u), expected);
}

}  // namespace
