// Every command number of the image toolbox, posted as WM_COMMAND to a real 32-bit and 8-bit
// window, its picks, prompts and dialogs answered as a person would; then the menus.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
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
#include "imgproc/truetype_text.h"
#include "text/text_window.h"
#include "tests/host/product_texts.h"
#include "tests/win/image_test_support.h"
#include "tests/win/text_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr int kSlot = 3, kW = 301, kH = 203;
constexpr uint32_t kPasted = 0x00336699u;  // the clipboard picture's colour

// The colour the window stores for `rgb`: itself, or its low byte in 8 bits.
uint32_t Stored(uint32_t rgb) {
    return rgb & (qubState.images[kSlot].depth == 32 ? 0xFFFFFFu : 255u);
}

// What the test does while the command waits.
struct Answer {
    std::vector<POINT> clicks;        // image pixels, one per point of the pick
    std::vector<std::wstring> lines;  // typed after each prompt, Enter added
    const wchar_t* dialog = nullptr;  // its caption, or L"" for one owned by the window
    std::wstring dialogPath;          // typed into the file dialog; empty: cancel
};
Answer Clicks(std::vector<POINT> clicks, std::vector<std::wstring> lines = {}) {
    return {clicks, lines, nullptr, L""};
}
Answer Dialog(const wchar_t* caption, std::wstring path) { return {{}, {}, caption, path}; }

struct Case {
    int id;
    Answer answer;
    std::function<void(const Copy& before)> check;
    int depth = 0;      // 0 both, or the only depth it runs on
    int zoomFirst = 0;  // a zoom set before the command, so that 100 % shows
};

// Pasted at (0, 0) of a window like it, the clipboard gives the window's old buffer.
bool ClipboardHolds(const Copy& before) {
    QUB_CreateImageDepth(9, "check", -1, -1, kW, kH, 100, before.depth);
    QUB_PasteImage(0, 9, 0);
    const bool same = before.SameAs(9);
    QUB_DestroyImage(9);
    QUB_SelectImage(kSlot);
    return same;
}

class Toolbox : public testing::TestWithParam<int> {
protected:
    void SetUp() override {
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
        CloseAllImages();
    }
    void TearDown() override { CloseAllImages(); }

    // A fresh noisy window in kSlot, the clipboard holding a 9 x 5 picture.
    void Fresh(int zoom = 0) {
        ASSERT_TRUE(OnWorker([zoom] {
            for (int n = 0; n < kImageSlots; ++n) QUB_DestroyImage(n);
            QUB_CreateImageDepth(9, "clip", -1, -1, 9, 5, 100, GetParam());
            uint32_t palette[256] = {};
            palette[0x99] = kPasted;
            QUB_SetPalette(palette, 256);  // refused by a 32-bit window
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 9; ++x) QUB_SetPixel(x, y, kPasted);
            QUB_CopyImage(9);
            QUB_DestroyImage(9);
            ASSERT_EQ(QUB_CreateImageDepth(kSlot, "tool", -1, -1, kW, kH, 100, GetParam()), 0);
            FillNoise(kSlot, 23);
            if (zoom) QUB_SetZoom(kSlot, zoom);
            qubState.drawColour = kInk;
            qubState.qub_tc = qubState.qub_tttc = 0x111111u;
            qubState.currentImage = 0;  // closed: each command makes its window's slot current
        }));
    }

    // Posts the command and answers what it asks; true once it has finished.
    bool Run(int id, const Answer& a) {
        const HWND window = qubState.images[kSlot].window;
        PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(id), 0);
        if (!a.clicks.empty() && !AnswerPick(kSlot, a.clicks)) return false;
        for (const std::wstring& line : a.lines)
            if (!AnswerLine(line)) return false;
        if (a.dialog) {
            HWND box = nullptr;
            if (!PumpUntil([&] {
                    box = *a.dialog ? FindWindowW(L"#32770", a.dialog) : FindOwnedDialog(window);
                    return box != nullptr;
                }))
                return false;
            PumpFor(200);
            if (!a.dialogPath.empty()) SetDlgItemTextW(box, cmb13, a.dialogPath.c_str());
            PostMessageW(box, WM_COMMAND, a.dialogPath.empty() ? IDCANCEL : IDOK, 0);
        }
        // The worker takes a routine only between passes of its pump: the command is over.
        return OnWorker([] {});
    }
    ScratchFolder folder_;
};

// A graph in slot 0 with its title and size, made current, the picture untouched.
std::function<void(const Copy&)> Graph(const char* title, int width, int height) {
    return [=](const Copy& before) {
        const ImageWindowRecord& r = qubState.images[0];
        EXPECT_STREQ(r.title, title);
        EXPECT_TRUE(before.SameAs(kSlot) && r.width == width && r.height == height &&
                    qubState.currentImage == 0);
    };
}

TEST_P(Toolbox, EveryCommandNumberDoesItsJob) {
    const std::wstring bmp = folder_.File(L"saved.bmp"), load = folder_.File(L"load.bmp");
    const auto same = [](const Copy& before) { EXPECT_TRUE(before.SameAs(kSlot)); };
    const auto size = [](int width, int height) {
        return [=](const Copy&) {
            const ImageWindowRecord& r = qubState.images[kSlot];
            EXPECT_EQ(std::vector<int>({r.width, r.height, qubState.currentImage}),
                      std::vector<int>({width, height, kSlot}));
        };
    };
    const auto at = [](int x, int y, uint32_t rgb) {
        return [=](const Copy&) { EXPECT_EQ(PixelAt(kSlot, x, y), Stored(rgb)) << x << "," << y; };
    };
    const auto zoom = [](int z) {
        return [=](const Copy&) { EXPECT_EQ(qubState.images[kSlot].zoom, z); };
    };
    const auto inverted = [](int x, int y) {
        return [=](const Copy& b) { EXPECT_EQ(PixelAt(kSlot, x, y), Stored(~b.At(x, y))); };
    };
    const auto moved = [](int x, int y, int fromX, int fromY) {  // pixel (x, y) came from
        return [=](const Copy& b) { EXPECT_EQ(PixelAt(kSlot, x, y), b.At(fromX, fromY)); };
    };
    const auto unlisted = [&](int id) { return Case{id, Answer(), same}; };
    uint32_t pixel = 0;  // the pixel the Pixel row prints
    const std::vector<Case> cases = {
        {kTbLoad, Dialog(L"Load image file", load), at(2, 1, 0x0000FF), 32},
        {kTbDestroy, Answer(), [](const Copy&) { EXPECT_FALSE(qubState.images[kSlot].inUse); }},
        {kTbZoom50, Answer(), zoom(50)},
        {kTbZoom200, Answer(), zoom(200)},
        {kTbZoom100, Answer(), zoom(100), 0, 200},
        {kTbSaveAs, Dialog(L"Save as", bmp),  // filter 2 saves BMP
         [&](const Copy& b) { EXPECT_TRUE(b.SameAs(kSlot) && ReadBytes(bmp).at(0) == 'B'); }},
        {kTbCut, {},
         [](const Copy& before) {
             const Copy after = Copy::Of(kSlot);
             EXPECT_TRUE(std::all_of(after.bytes.begin(), after.bytes.end(),
                                     [](uint8_t b) { return b == 0; }));
             EXPECT_TRUE(ClipboardHolds(before));
         }},
        {kTbCopy, {}, [](const Copy& b) { EXPECT_TRUE(b.SameAs(kSlot) && ClipboardHolds(b)); }},
        {kTbPaste, Clicks({{100, 50}}), at(96, 48, kPasted)},  // centred: the corner at (96, 48)
        {kTbPasteTopLeft, Answer(), at(0, 0, kPasted)},
        {kTbPixel, Clicks({{5, 7}}), [&](const Copy& before) { pixel = before.At(5, 7); }},
        {kTbLineRgb, Clicks({{0, 9}}), Graph("RGB(Y=9)", kW + 12, 128), 32},
        {kTbLineHsv, Clicks({{0, 9}}), Graph("HSV(Y=9)", kW + 12, 128), 32},
        {kTbLineYCrCb, Clicks({{0, 9}}), Graph("YCrCb(Y=9)", kW + 20, 128), 32},
        {kTbLineCrCb, Clicks({{0, 9}}), Graph("CrCb(Y=9)", 256, 256), 32},
        {kTbAreaCrCb, Clicks({{3, 4}, {1, 2}}), Graph("CrCb(1,2)-(3,4)", 256, 256), 32},
        {kTbLineLumi, Clicks({{0, 9}}), Graph("Luminance(Y=9)", kW + 12, 128), 8},
        {kTbClipping, Clicks({{109, 69}, {10, 20}}),
         [](const Copy& before) {
             ASSERT_TRUE(qubState.images[0].inUse);
             EXPECT_STREQ(qubState.images[0].title, "(10,20)-(109,69)");
             int differ = 0;
             for (int y = 0; y < 50; ++y)
                 for (int x = 0; x < 100; ++x)
                     differ += PixelAt(0, x, y) != before.At(10 + x, 20 + y);
             EXPECT_EQ(differ, 0);
             EXPECT_TRUE(before.Is32() || PaletteOf(0) == PaletteOf(kSlot)) << "palette copied";
         }},
        {kTbColourChange, Dialog(L"", L"OK"),  // the colour it opened with
         [](const Copy&) { EXPECT_EQ(qubState.qub_tc + qubState.qub_tttc, kInk * 2); }},
        {kTbColourPick, Clicks({{8, 8}}),
         [](const Copy& before) { EXPECT_EQ(qubState.drawColour, before.At(8, 8)); }},
        {kTbLineNormal, Clicks({{5, 5}, {40, 5}}), at(40, 5, kInk)},
        {kTbLineHorizontal, Clicks({{77, 7}}), at(kW - 1, 7, kInk)},
        {kTbLineVertical, Clicks({{9, 77}}), at(9, kH - 1, kInk)},
        {kTbBoxNormal, Clicks({{10, 10}, {20, 20}}), at(20, 10, kInk)},
        {kTbBoxFill, Clicks({{10, 10}, {20, 20}}), at(15, 15, kInk)},
        {kTbBoxFillXor, Clicks({{10, 10}, {20, 20}}), inverted(15, 15)},
        {kTbCircleNormal, Clicks({{50, 50}, {60, 50}}), at(60, 50, kInk)},
        {kTbCircleFill, Clicks({{50, 50}, {60, 50}}), at(50, 50, kInk)},
        {kTbCircleFillXor, Clicks({{50, 50}, {60, 50}}), inverted(50, 50)},
        {kTbDrawText, Clicks({{20, 40}}, {L"H"}),
         [](const Copy&) {  // the 8 x 14 cell above the click
             int inked = 0;
             for (int y = 26; y < 40; ++y)
                 for (int x = 20; x < 28; ++x) inked += PixelAt(kSlot, x, y) == Stored(kInk);
             EXPECT_GT(inked, 10);
         }},
        {kTbPaint, Clicks({{30, 30}}), at(30, 30, kInk)},
        {kTbZoomPrompt, Clicks({}, {L"150"}), zoom(150)},
        {kTbResizePrompt, Clicks({}, {L"40", L"30"}), size(40, 30)},
        {kTbTrueTypeDraw, Clicks({{60, 10}, {91, 33}}, {L"Hg"}),
         [](const Copy& before) {  // drawn inside the picked rectangle only
             int inside = 0, outside = 0;
             for (int y = 0; y < kH; ++y)
                 for (int x = 0; x < kW; ++x) {
                     const bool in = x >= 60 && x <= 91 && y >= 10 && y <= 33;
                     (in ? inside : outside) += PixelAt(kSlot, x, y) != before.At(x, y);
                 }
             EXPECT_GT(inside, 0);
             EXPECT_EQ(outside, 0);
         }},
        {kTbFontChange, Dialog(L"", L""),  // cancelled: the bold 16 x 24 font of Draw made again
         [](const Copy&) {
             LOGFONTW f = {};
             GetObjectW(qubState.ttFont, sizeof f, &f);
             EXPECT_EQ(std::vector<LONG>({f.lfWidth, f.lfHeight, f.lfWeight}),
                       std::vector<LONG>({16, 24, 700}));
         }},
        {kTbPatternRgb, Answer(), at(0, 0, 0x0000FF)},
        {kTbPatternHsv, Answer(), at(0, 0, 0xFFFFFF)},
        {kTbPatternYCrCb, Answer(), at(kW / 2, kH / 2, 0)},
        {kTbPatternYuv, Answer(), at(kW / 2, kH / 2, 0)},
        {kTbPatternYiq, Answer(), at(kW / 2, kH / 2, 0)},
        {kTbPatternGrey, Answer(), at(kW - 1, kH - 1, 0x010101u)},
        {kTbInvert, Answer(), inverted(0, 0)},
        {kTbFlipHorizontal, Answer(), moved(0, 0, kW - 1, 0)},
        {kTbFlipVertical, Answer(), moved(0, 0, 0, kH - 1)},
        {kTbRotateRight, Answer(), moved(kH - 1, 0, 0, 0)},
        {kTbRotateLeft, Answer(), moved(0, kW - 1, 0, 0)},
        {kTbSize50, Answer(), size(151, 102)},
        {kTbSize71, Answer(), size(213, 144)},
        {kTbSize141, Answer(), size(426, 287)},
        {kTbSize200, Answer(), size(602, 406)},
        unlisted(1006), unlisted(1020), unlisted(1033), unlisted(1044), unlisted(1045),
        unlisted(1050), unlisted(1051), unlisted(1056), unlisted(1057), unlisted(1069),
        unlisted(4242),
    };
    // The picture Load reads: red, with a blue pixel at (2, 1).
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(9, "load", -1, -1, 6, 4, 100);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                QUB_SetPixel(x, y, x == 2 && y == 1 ? 0x0000FFu : 0xFF0000u);
        EXPECT_EQ(QUB_SaveImage(4, 6, 0, Narrow(load).c_str()), 0);
        QUB_DestroyImage(9);
        QUB_OpenTextWindow(0, -1, -1, 400, 300);
        QUB_StartLog(0);
        QUB_DrawTTChar(3);  // bold, kept by a cancelled font change
    }));
    qubState.saveFilterIndex = 2;
    for (const Case& c : cases) {
        if (c.depth && c.depth != GetParam()) continue;
        SCOPED_TRACE(testing::Message() << "command " << c.id);
        Fresh(c.zoomFirst);
        const Copy before = Copy::Of(kSlot);
        ASSERT_TRUE(Run(c.id, c.answer)) << "command " << c.id << " did not finish";
        ASSERT_TRUE(OnWorker([&] { c.check(before); }));
    }
    // What the commands printed, with the lines typed after their prompts.
    char report[80];
    if (GetParam() == 32)
        snprintf(report, sizeof report, "(X,Y)=(5,7)\n(R,G,B)=(%u,%u,%u)\n", pixel >> 16,
                 pixel >> 8 & 255u, pixel & 255u);
    else
        snprintf(report, sizeof report, "(X,Y)=(5,7)\n(Luminance)=(%u)\n\n", pixel);
    const std::string transcript[] = {report, "Text>H\n", "[3] Zoom(%)=150\n",
                                      "[3] New x-size(pixel)=40\n[3] New y-size(pixel)=30\n",
                                      "Text>Hg\n"};
    const std::string log = ClosedLogText(0);
    size_t from = 0;
    for (const std::string& line : transcript)
        ASSERT_NE(from = log.find(line, from), std::string::npos) << line << " in\n" << log;
}

// The basic menu at each zoom (0: the process menu), against the product's texts.
TEST_P(Toolbox, MenusOfferTheirItems) {
    Fresh();
    const product::MenuTexts process = GetParam() == 32 ? product::Texts(product::kToolboxProcess32)
                                                        : product::Texts(product::kToolboxProcess8);
    for (int zoom : {100, 200, 50, 150, 0}) {
        std::vector<std::wstring> got;
        ASSERT_TRUE(OnWorker([&] {
            if (zoom) QUB_SetZoom(kSlot, zoom);
            HMENU menu = zoom ? QUB_BuildBasicMenu(qubState.images[kSlot].window)
                              : QUB_BuildProcessMenu(kSlot);
            got = MenuLines(menu);
            DestroyMenu(menu);
        }));
        const auto checked = [zoom](product::MenuMark m) {
            return (m == product::kCheckedAtZoom50 && zoom == 50) ||
                   (m == product::kCheckedAtZoom100 && zoom == 100) ||
                   (m == product::kCheckedAtZoom200 && zoom == 200);
        };
        const product::MenuTexts texts = zoom ? product::Texts(product::kToolboxBasic) : process;
        EXPECT_EQ(got, ExpectedMenu(texts, checked)) << "zoom " << zoom;
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, Toolbox, testing::Values(32, 8),
                         [](const testing::TestParamInfo<int>& depth) {
                             return "Bits" + std::to_string(depth.param);
                         });

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
