// The platform-free menu, filter, title and console tables against the texts
// the user sees (product_texts.h): every text, id, mark and submenu.
#include <gtest/gtest.h>
#include <cstdio>
#include <cwchar>
#include <string>
#include <type_traits>
#include "core/main_menu.h"
#include "image/file_names.h"
#include "image/image_title.h"
#include "image/toolbox_menu.h"
#include "product_texts.h"
#include "text/console_words.h"
#include "text/text_menu.h"

namespace {
using product::MenuMark;

// The text a wanted entry shows: the copy entry names instance 2's window 37.
std::string Want(const product::MenuText& w) {
    std::string text = w.text ? w.text : "(separator)";
    const size_t format = text.find("%d%d");
    return format == std::string::npos ? text : text.replace(format, 4, "237");
}
template <class E>
std::string TextOf(const E& e) { return e.text ? e.text : "(separator)"; }
std::string TextOf(const TextMenuEntry& e) {
    char text[512];
    QUB_TextMenuItemText(e, 2, 37, text, sizeof text);
    return e.text ? text : "(separator)";
}
template <class E>
int IdOf(const E& e) { return e.id; }
int IdOf(const ToolboxItem& e) { return e.command; }

// The states the production functions give an entry, against its mark.
void ExpectMark(const MainMenuEntry& got, MenuMark mark) {
    if (got.text == nullptr) return;
    const int busy = mark == product::kGreyable ? kMenuStateGrayed : kMenuStateEnabled;
    EXPECT_EQ(QUB_MainMenuItemState(got, 0, 0), kMenuStateEnabled);
    EXPECT_TRUE(QUB_MainMenuItemState(got, 1, 0) == busy &&
                QUB_MainMenuItemState(got, 0, 3) == busy);
}
void ExpectMark(const TextMenuEntry& got, MenuMark mark) {
    for (int log = 0; log < 3; ++log)
        for (bool current : {false, true}) {
            const bool checked = (mark == product::kCheckedWhenCurrent && current) ||
                                 (mark == product::kCheckedWhenLogging && log == 1) ||
                                 (mark == product::kCheckedWhenPaused && log == 2);
            EXPECT_EQ(QUB_TextMenuItemState(got, current, log), checked ? kMenuStateChecked : 0)
                << log << current;
        }
}
void ExpectMark(const ToolboxItem& got, MenuMark mark) {
    for (int zoom : {50, 75, 100, 200})
        EXPECT_EQ(QUB_ToolboxItemChecked(got.command, zoom),
                  (mark == product::kCheckedAtZoom50 && zoom == 50) ||
                      (mark == product::kCheckedAtZoom100 && zoom == 100) ||
                      (mark == product::kCheckedAtZoom200 && zoom == 200)) << zoom;
}

template <class Entry>
void ExpectMenu(const Entry* got, int count, product::MenuTexts want) {
    ASSERT_EQ(count, want.count);
    for (int i = 0; i < count; ++i) {
        const product::MenuText& w = want.items[i];
        SCOPED_TRACE(Want(w));
        EXPECT_EQ(TextOf(got[i]), Want(w));
        EXPECT_EQ(IdOf(got[i]), w.id);
        ExpectMark(got[i], w.mark);
        if constexpr (std::is_same_v<Entry, ToolboxItem>) {
            ASSERT_EQ(got[i].submenu == nullptr, w.submenu == nullptr);
            if (w.submenu)
                ExpectMenu(got[i].submenu, got[i].submenuCount, {w.submenu, w.submenuCount});
        }
    }
}

TEST(ProductTexts, EveryMenu) {
    using product::Texts;
    ExpectMenu(kMainMenuBar, kMainMenuBarCount, Texts(product::kMainMenuBar));
    ExpectMenu(kMainPopup, kMainPopupCount, Texts(product::kMainPopup));
    ExpectMenu(kTextPopup, kTextPopupCount, Texts(product::kTextPopup));
    char text[8];
    QUB_TextMenuItemText(kTextPopup[6], 9, 255, text, sizeof text);
    EXPECT_EQ(std::string(text), "&Copy Q") << "cut to the buffer";
    const ToolboxMenu basic = QUB_BasicMenuItems(), p32 = QUB_ProcessMenuItems(32),
                      p8 = QUB_ProcessMenuItems(8);
    ExpectMenu(basic.items, basic.count, Texts(product::kToolboxBasic));
    ExpectMenu(p32.items, p32.count, Texts(product::kToolboxProcess32));
    ExpectMenu(p8.items, p8.count, Texts(product::kToolboxProcess8));
}

TEST(ProductTexts, FileTypesAndDialogFilters) {
    auto narrow = [](const wchar_t* s) { return std::string(s, s + std::wcslen(s)); };
    for (int t = 0; t < kImageFileTypes; ++t) {
        EXPECT_EQ(narrow(kImageFileMime[t]), product::kFileMime[t]);
        EXPECT_EQ(narrow(kImageFileExtension[t]), product::kFileExtension[t]);
    }
    ASSERT_TRUE(kOpenFilterCount == 9 && kSaveFilterCount == product::kSaveFilters);
    for (int count : {kSaveFilterCount, kOpenFilterCount}) {
        std::wstring expected;
        for (int i = 0; i < count; ++i) {
            for (const std::string t : {product::kImageFilters[i].description,
                                        product::kImageFilters[i].pattern})
                expected += std::wstring(t.begin(), t.end()) + L'\0';
        }
        wchar_t out[512];
        const size_t needed = expected.size() + 1;
        for (size_t capacity = 0; capacity < needed; ++capacity)
            EXPECT_FALSE(QUB_BuildFilterString(count, out, capacity)) << "too small: " << capacity;
        ASSERT_TRUE(QUB_BuildFilterString(count, out, needed));
        EXPECT_EQ(std::wstring(out, needed), expected + L'\0') << count;
    }
}

TEST(ProductTexts, ImageWindowCaptionsConsoleWordsAndColourReport) {
    char out[kImageTitleBytes], expected[256];
    for (int depth : {32, 8}) {
        QUB_FormatImageTitle(out, "Left side", 30, depth, depth == 8, QUB_IsLeadByteNone);
        const char* format = depth == 8 ? product::kImageTitle8 : product::kImageTitle32;
        std::snprintf(expected, sizeof expected, format, "Left side", 30);
        EXPECT_EQ(out, std::string(expected) + (depth == 8 ? product::kHalftoneMark : ""));
    }
    const ConsoleWord words[] = {ConsoleWord::kExit, ConsoleWord::kStart, ConsoleWord::kHelp,
                                 ConsoleWord::kVer, ConsoleWord::kColor};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(QUB_ConsoleWord(product::kConsoleWords[i]), words[i]) << i;
    for (const char* bad : {"Exit", "exit ", "", "versions", (const char*)nullptr})
        EXPECT_EQ(QUB_ConsoleWord(bad), ConsoleWord::kInvalid) << (bad ? bad : "null");
    const int values[] = {128, 255, 0, 0x00ABCD, 0xFF8888};
    std::string report;
    for (int i = 0; i < 5; ++i) {
        std::snprintf(expected, sizeof expected, product::kConsoleColour[i], values[i]);
        report += expected;
    }
    EXPECT_EQ(QUB_ConsoleColourReport(0x80FF00u, 0x00ABCDu, 0xFF8888u), report);
}
}  // namespace
