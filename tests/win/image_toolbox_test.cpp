// Every command number of the image toolbox, posted as WM_COMMAND to a real
// 32-bit and 8-bit window as the menus and Ctrl shortcuts post it, with its
// picks, prompts and dialogs answered as a person would; each checked by its
// effect on the picture, the window, the colours, the clipboard or the files.
// Then the menus themselves: their items, check marks and the 8-bit
// "Information..." submenu.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <functional>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "image/image_clipboard.h"
#include "image/image_file.h"
#include "image/image_toolbox.h"
#include "image/image_window.h"
#include "image/toolbox_menu.h"
#include "imgproc/image_drawing.h"
#include "imgproc/image_transforms.h"
#include "text/text_window.h"
#include "tests/win/image_test_support.h"
#include "tests/win/imgproc_test_support.h"
#include "tests/win/text_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr int kSlot = 3, kW = 301, kH = 203;
constexpr uint32_t kPasted = 0x00336699u;  // the clipboard picture's colour

// The colour the window stores for `rgb`: itself, or its low byte in 8 bits.
uint32_t Stored(int n, uint32_t rgb) { return qubState.images[n].depth == 32 ? rgb : rgb & 255u; }
uint32_t Inverted(int n, uint32_t v) { return qubState.images[n].depth == 32 ? ~v & 0xFFFFFFu : 255u - v; }

// What the test does while the command waits.
struct Answer {
    std::vector<POINT> clicks;       // image pixels, one per point of the pick
    std::vector<std::wstring> lines; // typed after each prompt, Enter added
    const wchar_t* dialog = nullptr; // a dialog to answer: its caption, or L"" for one owned by the window
    std::wstring dialogPath;         // typed into the file dialog; empty: cancel
};

Answer Clicks(std::vector<POINT> clicks, std::vector<std::wstring> lines = {}) {
    Answer a;
    a.clicks = std::move(clicks);
    a.lines = std::move(lines);
    return a;
}
Answer Lines(std::vector<std::wstring> lines) { return Clicks({}, std::move(lines)); }
Answer Dialog(const wchar_t* caption, std::wstring path) {
    Answer a;
    a.dialog = caption;
    a.dialogPath = std::move(path);
    return a;
}

// Pixel (x, y) of a copy, as At gives it.
uint32_t Was(const Copy& c, int x, int y) {
    const size_t row = static_cast<size_t>(y);
    if (c.depth == 8) return c.bytes[row * static_cast<size_t>(c.stride) + static_cast<size_t>(x)];
    uint32_t v;
    std::memcpy(&v, &c.bytes[(row * static_cast<size_t>(c.width) + static_cast<size_t>(x)) * 4u], 4);
    return v & 0xFFFFFFu;
}

struct Case {
    int id;
    Answer answer;
    std::function<void(const Copy& before)> check;
    int depth = 0;  // 0 both, or the only depth it runs on
};

class Toolbox : public testing::TestWithParam<int> {
protected:
    void SetUp() override {
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        CloseAllImages();
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"qub-toolbox\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
    }
    void TearDown() override {
        CloseAllImages();
        OnWorker([] {
            if (qubState.textWindows[0].inUse) QUB_CloseTextWindow(0);
        });
    }

    // A fresh noisy window in kSlot, the clipboard holding a 9 x 9 picture.
    void Fresh() {
        ASSERT_TRUE(OnWorker([] {
            for (int n = 0; n < kImageSlots; ++n) QUB_DestroyImage(n);
            QUB_CreateImageDepth(9, "clip", -1, -1, 9, 9, 100, GetParam());
            if (GetParam() == 8) {
                uint32_t palette[256];
                for (int k = 0; k < 256; ++k) palette[k] = static_cast<uint32_t>(k) * 0x010101u;
                palette[0x99] = kPasted;
                QUB_SetPalette(palette, 256);
            }
            for (int y = 0; y < 9; ++y)
                for (int x = 0; x < 9; ++x) QUB_SetPixel(x, y, kPasted);
            QUB_CopyImage(9);
            QUB_DestroyImage(9);
            ASSERT_EQ(QUB_CreateImageDepth(kSlot, "tool", -1, -1, kW, kH, 100, GetParam()), 0);
            FillNoise(kSlot, 23);
            qubState.drawColour = kInk;
        }));
    }

    void Post(UINT message, WPARAM keys, POINT p) const {
        const HWND w = qubState.images[kSlot].window;
        const int zoom = qubState.images[kSlot].zoom;
        PostMessageW(w, message, keys, MAKELPARAM((p.x * zoom + zoom / 2) / 100, (p.y * zoom + zoom / 2) / 100));
    }

    // Posts the command and answers what it asks; true once it has finished.
    bool Run(int id, const Answer& a) {
        const HWND window = qubState.images[kSlot].window;
        PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(id), 0);
        for (size_t i = 0; i < a.clicks.size(); ++i) {
            if (!PumpUntil([&] {
                    return qubState.pickActive.load() && (i == 0 || StatusText() == L"Click the second point");
                }))
                return false;
            Post(WM_LBUTTONDOWN, MK_LBUTTON, a.clicks[i]);
        }
        for (const std::wstring& line : a.lines) {
            if (!PumpUntil([] { return qubState.lineInputActive.load() != 0; })) return false;
            SendChars(qubState.textWindows[qubState.lineInputActive.load() - 1].window, line + L"\r");
            PumpUntil([] { return qubState.lineInputActive.load() == 0; });
        }
        if (a.dialog) {
            HWND box = nullptr;
            const bool shown = PumpUntil([&] {
                box = *a.dialog ? FindWindowW(L"#32770", a.dialog) : FindOwnedDialog(window);
                return box != nullptr;
            });
            if (!shown) return false;
            PumpFor(200);
            if (!a.dialogPath.empty()) SetDlgItemTextW(box, cmb13, a.dialogPath.c_str());
            PostMessageW(box, WM_COMMAND, a.dialogPath.empty() ? IDCANCEL : IDOK, 0);
        }
        // The worker takes a routine only between two passes of its pump, so
        // once this runs the command has returned.
        return OnWorker([] {});
    }

    std::wstring folder_;
};

TEST_P(Toolbox, EveryCommandNumberDoesItsJob) {
    LibraryState& s = qubState;
    const std::wstring jpeg = folder_ + L"saved.jpg", bmp = folder_ + L"saved.bmp";
    DeleteFileW(jpeg.c_str());
    DeleteFileW(bmp.c_str());
    const auto same = [](const Copy& before) { EXPECT_TRUE(before.SameAs(kSlot)); };
    const auto graph = [](const char* title, int width, int height) {
        return [=](const Copy& before) {
            EXPECT_TRUE(before.SameAs(kSlot));
            ASSERT_TRUE(qubState.images[0].inUse) << title;
            EXPECT_STREQ(qubState.images[0].title, title);
            EXPECT_EQ(qubState.images[0].width, width);
            EXPECT_EQ(qubState.images[0].height, height);
        };
    };
    const auto size = [](int width, int height) {
        return [=](const Copy&) {
            EXPECT_EQ(qubState.images[kSlot].width, width);
            EXPECT_EQ(qubState.images[kSlot].height, height);
            EXPECT_STREQ(qubState.images[kSlot].title, "tool");
        };
    };
    const auto pattern = [](uint32_t topLeft) {
        return [=](const Copy&) { EXPECT_EQ(PixelAt(kSlot, 0, 0), Stored(kSlot, topLeft)); };
    };
    const auto unlisted = [&](int id) { return Case{id, Answer(), same}; };

    const std::vector<Case> cases = {
        {kTbLoad, Dialog(L"Load image file", folder_ + L"load.bmp"),
         [](const Copy& before) {
             if (before.Is32())
                 EXPECT_EQ(PixelAt(kSlot, 2, 1), 0x0000FFu);
             else
                 EXPECT_FALSE(before.SameAs(kSlot));
         }},
        {kTbLoad, Dialog(L"Load image file", L""), same},
        {kTbDestroy, Answer(), [](const Copy&) { EXPECT_FALSE(qubState.images[kSlot].inUse); }},
        {kTbZoom50, Answer(), [](const Copy&) { EXPECT_EQ(qubState.images[kSlot].zoom, 50); }},
        {kTbZoom200, Answer(), [](const Copy&) { EXPECT_EQ(qubState.images[kSlot].zoom, 200); }},
        {kTbZoom100, Answer(), [](const Copy&) { EXPECT_EQ(qubState.images[kSlot].zoom, 100); }},
        {kTbSaveAs, Dialog(L"Save as", bmp),
         [&](const Copy& before) {
             const std::vector<unsigned char> bytes = ReadBytes(bmp);
             ASSERT_GT(bytes.size(), 2u);
             EXPECT_EQ(bytes[0], 'B') << "filter 2 saves BMP";
             EXPECT_TRUE(before.SameAs(kSlot));
         }},
        {kTbCut, {},
         [](const Copy&) {
             EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
             EXPECT_EQ(PixelAt(kSlot, 150, 100), 0u);
         }},
        {kTbCopy, {},
         [](const Copy& before) {
             EXPECT_TRUE(before.SameAs(kSlot));
             RGBQUAD palette[256];
             int count = 0;
             HBITMAP b = QUB_GetClipboardBitmap(palette, &count);
             BITMAP info = {};
             GetObjectW(b, sizeof info, &info);
             EXPECT_EQ(info.bmWidth, kW) << "the window, not the earlier picture";
             DeleteObject(b);
         }},
        {kTbPaste, Clicks({{100, 50}}),
         [](const Copy&) {
             EXPECT_EQ(PixelAt(kSlot, 100, 50), Stored(kSlot, kPasted));
             EXPECT_EQ(PixelAt(kSlot, 96, 46), Stored(kSlot, kPasted)) << "centred on the click";
         }},
        {kTbPasteTopLeft, Answer(), [](const Copy&) { EXPECT_EQ(PixelAt(kSlot, 0, 0), Stored(kSlot, kPasted)); }},
        {kTbPixel, Clicks({{5, 7}}),
         [](const Copy&) {
             QUB_CloseTextWindow(0);  // puts what the window showed into its log
             const std::string log = ReadFileBytes(LogFileName(0));
             QUB_OpenTextWindow(0, -1, -1, 400, 300);
             EXPECT_NE(log.find("(X,Y)=(5,7)"), std::string::npos) << log;
         }},
        {kTbLineRgb, Clicks({{0, 9}}), graph("RGB(Y=9)", kW + 12, 128), 32},
        {kTbLineHsv, Clicks({{0, 9}}), graph("HSV(Y=9)", kW + 12, 128), 32},
        {kTbLineYCrCb, Clicks({{0, 9}}), graph("YCrCb(Y=9)", kW + 20, 128), 32},
        {kTbLineCrCb, Clicks({{0, 9}}), graph("CrCb(Y=9)", 256, 256), 32},
        {kTbAreaCrCb, Clicks({{3, 4}, {1, 2}}), graph("CrCb(1,2)-(3,4)", 256, 256), 32},
        {kTbLineLumi, Clicks({{0, 9}}), graph("Luminance(Y=9)", kW + 12, 128), 8},
        {kTbClipping, Clicks({{109, 69}, {10, 20}}),
         [](const Copy& before) {
             ASSERT_TRUE(qubState.images[0].inUse);
             EXPECT_STREQ(qubState.images[0].title, "(10,20)-(109,69)");
             EXPECT_EQ(qubState.images[0].width, 100);
             EXPECT_EQ(qubState.images[0].height, 50);
             EXPECT_EQ(qubState.images[0].depth, before.depth);
             int differ = 0;
             for (int y = 0; y < 50; ++y)
                 for (int x = 0; x < 100; ++x) differ += PixelAt(0, x, y) != PixelAt(kSlot, 10 + x, 20 + y);
             EXPECT_EQ(differ, 0);
             if (before.depth == 8) {
                 uint32_t a[256], b[256];
                 QUB_SelectImage(0);
                 QUB_GetPalette(a);
                 QUB_SelectImage(kSlot);
                 QUB_GetPalette(b);
                 EXPECT_TRUE(std::equal(a, a + 256, b)) << "palette copied";
             }
         }},
        {kTbColourChange, Dialog(L"", L""), [](const Copy&) { EXPECT_EQ(qubState.drawColour, kInk); }},
        {kTbColourPick, Clicks({{8, 8}}),
         [](const Copy& before) {
             const uint32_t v = Was(before, 8, 8);
             EXPECT_EQ(qubState.drawColour, v);
         }},
        {kTbLineNormal, Clicks({{5, 5}, {40, 5}}),
         [](const Copy&) {
             for (int x = 5; x <= 40; ++x) EXPECT_EQ(PixelAt(kSlot, x, 5), Stored(kSlot, kInk)) << x;
         }},
        {kTbLineHorizontal, Clicks({{77, 7}}),
         [](const Copy&) {
             EXPECT_EQ(PixelAt(kSlot, 0, 7), Stored(kSlot, kInk));
             EXPECT_EQ(PixelAt(kSlot, kW - 1, 7), Stored(kSlot, kInk));
         }},
        {kTbLineVertical, Clicks({{9, 77}}),
         [](const Copy&) {
             EXPECT_EQ(PixelAt(kSlot, 9, 0), Stored(kSlot, kInk));
             EXPECT_EQ(PixelAt(kSlot, 9, kH - 1), Stored(kSlot, kInk));
         }},
        {kTbBoxNormal, Clicks({{10, 10}, {20, 20}}),
         [](const Copy& before) {
             EXPECT_EQ(PixelAt(kSlot, 20, 10), Stored(kSlot, kInk));
             EXPECT_EQ(PixelAt(kSlot, 15, 15), Was(before, 15, 15)) << "inside kept";
         }},
        {kTbBoxFill, Clicks({{10, 10}, {20, 20}}), [](const Copy&) { EXPECT_EQ(PixelAt(kSlot, 15, 15), Stored(kSlot, kInk)); }},
        {kTbBoxFillXor, Clicks({{10, 10}, {20, 20}}),
         [](const Copy& before) {
             const uint32_t was = Was(before, 15, 15);
             EXPECT_EQ(PixelAt(kSlot, 15, 15), Inverted(kSlot, was));
         }},
        {kTbCircleNormal, Clicks({{50, 50}, {60, 50}}),
         [](const Copy&) { EXPECT_EQ(PixelAt(kSlot, 60, 50), Stored(kSlot, kInk)); }},
        {kTbCircleFill, Clicks({{50, 50}, {60, 50}}), [](const Copy&) { EXPECT_EQ(PixelAt(kSlot, 50, 50), Stored(kSlot, kInk)); }},
        {kTbCircleFillXor, Clicks({{50, 50}, {60, 50}}),
         [](const Copy& before) {
             const uint32_t was = Was(before, 50, 50);
             EXPECT_EQ(PixelAt(kSlot, 50, 50), Inverted(kSlot, was));
         }},
        {kTbDrawText, Clicks({{20, 40}}, {L"H"}),
         [](const Copy&) {
             int inked = 0;
             for (int y = 26; y < 40; ++y)
                 for (int x = 20; x < 28; ++x) inked += PixelAt(kSlot, x, y) == Stored(kSlot, kInk);
             EXPECT_GT(inked, 10);
             EXPECT_EQ(qubState.qub_tc, kInk);
         }},
        {kTbPaint, Clicks({{30, 30}}), [](const Copy&) { EXPECT_EQ(PixelAt(kSlot, 30, 30), Stored(kSlot, kInk)); }},
        {kTbZoomPrompt, Lines({L"150"}), [](const Copy&) { EXPECT_EQ(qubState.images[kSlot].zoom, 150); }},
        {kTbResizePrompt, Lines({L"40", L"30"}),
         [](const Copy&) {
             EXPECT_EQ(qubState.images[kSlot].width, 40);
             EXPECT_EQ(qubState.images[kSlot].height, 30);
             EXPECT_EQ(PixelAt(kSlot, 39, 29), 0u) << "a cleared buffer";
         }},
        {kTbResizePrompt, Lines({L"99999999", L"99999999"}), same},
        {kTbTrueTypeDraw, Clicks({{60, 10}, {91, 33}}, {L"Hg"}),
         [](const Copy& before) { EXPECT_FALSE(before.SameAs(kSlot)); }},
        {kTbFontChange, Dialog(L"", L""), [](const Copy&) { EXPECT_EQ(GetObjectType(qubState.ttFont), static_cast<DWORD>(OBJ_FONT)); }},
        {kTbPatternRgb, Answer(), pattern(0x0000FF)},
        {kTbPatternHsv, Answer(), pattern(0xFFFFFF)},
        {kTbPatternYCrCb, Answer(), [](const Copy&) { EXPECT_EQ(PixelAt(kSlot, kW / 2, kH / 2), 0u) << "black centre"; }},
        {kTbPatternYuv, Answer(), [](const Copy&) { EXPECT_EQ(PixelAt(kSlot, kW / 2, kH / 2), 0u); }},
        {kTbPatternYiq, Answer(), [](const Copy&) { EXPECT_EQ(PixelAt(kSlot, kW / 2, kH / 2), 0u); }},
        {kTbPatternGrey, Answer(), [](const Copy&) { EXPECT_EQ(PixelAt(kSlot, kW - 1, kH - 1), Stored(kSlot, 0x010101u)); }},
        {kTbInvert, Answer(), [](const Copy& before) {
             const uint32_t was = Was(before, 0, 0);
             EXPECT_EQ(PixelAt(kSlot, 0, 0), Inverted(kSlot, was));
         }},
        {kTbFlipHorizontal, Answer(), [](const Copy& before) {
             const uint32_t was = Was(before, kW - 1, 0);
             EXPECT_EQ(PixelAt(kSlot, 0, 0), was);
         }},
        {kTbFlipVertical, Answer(), [](const Copy& before) {
             EXPECT_EQ(PixelAt(kSlot, 0, 0), Was(before, 0, kH - 1));
         }},
        {kTbRotateRight, Answer(), size(kH, kW)},
        {kTbRotateLeft, Answer(), size(kH, kW)},
        {kTbSize50, Answer(), size(151, 102)},
        {kTbSize71, Answer(), size(213, 144)},
        {kTbSize141, Answer(), size(426, 287)},
        {kTbSize200, Answer(), size(602, 406)},
        unlisted(1006), unlisted(1020), unlisted(1033), unlisted(1044), unlisted(1045), unlisted(1050),
        unlisted(1051), unlisted(1056), unlisted(1057), unlisted(1069), unlisted(4242),
    };

    // The picture Load reads: red, with a blue pixel at (2, 1).
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(9, "load", -1, -1, 6, 4, 100);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) QUB_SetPixel(x, y, x == 2 && y == 1 ? 0x0000FFu : 0xFF0000u);
        const std::string name = Narrow(folder_ + L"load.bmp");
        EXPECT_EQ(QUB_SaveImage(4, 6, 0, name.c_str()), 0);
        QUB_DestroyImage(9);
        QUB_OpenTextWindow(0, -1, -1, 400, 300);
        QUB_StartLog(0);
    }));
    s.saveFilterIndex = 2;
    for (const Case& c : cases) {
        if (c.depth && c.depth != GetParam()) continue;
        SCOPED_TRACE(testing::Message() << "command " << c.id);
        Fresh();
        const Copy before = Copy::Of(kSlot);
        ASSERT_TRUE(Run(c.id, c.answer)) << "command " << c.id << " did not finish";
        ASSERT_TRUE(OnWorker([&] { c.check(before); }));
    }

    // "Save as" JPEG: quality 100 for this save only.
    Fresh();
    s.saveFilterIndex = 3;
    s.jpegQuality = 40;
    ASSERT_TRUE(Run(kTbSaveAs, Dialog(L"Save as", jpeg)));
    const std::vector<unsigned char> bytes = ReadBytes(jpeg);
    ASSERT_GT(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(s.jpegQuality, 40);
    s.jpegQuality = 100;
    s.saveFilterIndex = 2;
}

// While a line input waits, a command that prompts does not start (its input
// would take the waiting one's answer); one that picks, as Ctrl+R's Clipping,
// and one that needs neither still run.
TEST_P(Toolbox, LineInputHoldsBackOnlyCommandsThatPrompt) {
    Fresh();
    char line[kInputLineBytes] = "";
    ASSERT_TRUE(StartOnWorker([&] {
        QUB_ShowTextWindow();
        QUB_InputLine(line);
    }));
    ASSERT_TRUE(PumpUntil([] { return qubState.lineInputActive.load() != 0; }));
    const HWND window = qubState.images[kSlot].window;
    PostMessageW(window, WM_COMMAND, kTbZoomPrompt, 0);
    PostMessageW(window, WM_COMMAND, kTbZoom200, 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.images[kSlot].zoom == 200; }));
    PostMessageW(window, WM_COMMAND, kTbClipping, 0);  // as Ctrl+R posts it
    ASSERT_TRUE(PumpUntil([] { return qubState.pickActive.load() != 0; }));
    EXPECT_EQ(StatusText(), L"Click the first point");
    PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.pickActive.load() == 0; }));
    SendChars(qubState.textWindows[qubState.lineInputActive.load() - 1].window, L"x\r");
    ASSERT_TRUE(WaitRoutineEnd());
    EXPECT_STREQ(line, "x") << "the waiting input kept its answer";
    EXPECT_EQ(qubState.images[kSlot].zoom, 200) << "no zoom prompt took the line";
}

// The menus as a person sees them: items, check marks, the 8-bit submenu.
TEST_P(Toolbox, MenusOfferTheirItems) {
    Fresh();
    ASSERT_TRUE(OnWorker([] {
        const HWND window = qubState.images[kSlot].window;
        HMENU basic = QUB_BuildBasicMenu(window);
        EXPECT_EQ(GetMenuItemCount(basic), 14);
        EXPECT_EQ(GetMenuItemID(basic, 8), static_cast<UINT>(kTbZoom100));
        EXPECT_TRUE(GetMenuState(basic, kTbZoom100, MF_BYCOMMAND) & MF_CHECKED) << "zoom is 100";
        EXPECT_FALSE(GetMenuState(basic, kTbZoom50, MF_BYCOMMAND) & MF_CHECKED);
        wchar_t text[64] = L"";
        GetMenuStringW(basic, 13, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, L"&Destroy\tCtrl+Q");
        DestroyMenu(basic);
        QUB_SetZoom(kSlot, 200);
        basic = QUB_BuildBasicMenu(window);
        EXPECT_FALSE(GetMenuState(basic, kTbZoom100, MF_BYCOMMAND) & MF_CHECKED);
        EXPECT_TRUE(GetMenuState(basic, kTbZoom200, MF_BYCOMMAND) & MF_CHECKED);
        DestroyMenu(basic);

        HMENU process = QUB_BuildProcessMenu(kSlot);
        EXPECT_EQ(GetMenuItemCount(process), 15);
        HMENU information = GetSubMenu(process, 2);
        ASSERT_NE(information, nullptr);
        if (GetParam() == 8) {
            EXPECT_EQ(GetMenuItemCount(information), 2);
            EXPECT_EQ(GetMenuItemID(information, 1), static_cast<UINT>(kTbLineLumi));
        } else {
            EXPECT_EQ(GetMenuItemCount(information), 7);
            EXPECT_EQ(GetMenuItemID(information, 6), static_cast<UINT>(kTbAreaCrCb));
        }
        EXPECT_EQ(GetMenuItemID(GetSubMenu(process, 0), 11), static_cast<UINT>(kTbSize200));
        EXPECT_EQ(GetMenuItemID(process, 14), static_cast<UINT>(kTbPaint));
        DestroyMenu(process);
    }));
}

// Not run by default: the basic menu, then the processing menu with its
// "Information..." submenu, each held open on the window for a screenshot.
//   image_toolbox_tests --gtest_also_run_disabled_tests --gtest_filter=*Showcase*/Bits32
TEST_P(Toolbox, DISABLED_Showcase) {
    Fresh();
    ASSERT_TRUE(OnWorker([] {
        QUB_SelectImage(kSlot);
        QUB_TestPatternHsv();
        QUB_DisplayImage(kSlot);
    }));
    const char* hold = getenv("QUB_SHOWCASE_MS");
    const uint32_t ms = hold ? static_cast<uint32_t>(atoi(hold)) : 3000u;
    RECT r;
    GetWindowRect(qubState.images[kSlot].window, &r);
    SetCursorPos(r.left + 60, r.top + 60);
    const auto key = [](WORD vk) {
        keybd_event(static_cast<BYTE>(vk), 0, 0, 0);
        keybd_event(static_cast<BYTE>(vk), 0, KEYEVENTF_KEYUP, 0);
    };
    Post(WM_RBUTTONDOWN, MK_RBUTTON, {60, 60});
    PumpFor(ms);
    key(VK_ESCAPE);
    PumpFor(500);
    Post(WM_MBUTTONDOWN, MK_MBUTTON, {60, 60});
    PumpFor(500);
    key(VK_DOWN);
    key(VK_DOWN);
    key(VK_RIGHT);
    PumpFor(ms);
    key(VK_ESCAPE);
    key(VK_ESCAPE);
    key(VK_ESCAPE);
    PumpFor(500);
}

INSTANTIATE_TEST_SUITE_P(Depths, Toolbox, testing::Values(32, 8),
                         [](const testing::TestParamInfo<int>& depth) { return "Bits" + std::to_string(depth.param); });

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
