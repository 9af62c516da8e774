// Every command number of the image toolbox, posted as WM_COMMAND to a real
// 32-bit and 8-bit window as the menus and Ctrl shortcuts post it, with its
// picks, prompts and dialogs answered as a person would; each checked by its
// effect on the picture, the window, the colours, the clipboard, the files and
// what it printed. Then the menus themselves, item by item.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
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
#include "tests/win/image_test_support.h"
#include "tests/win/text_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr int kSlot = 3, kW = 301, kH = 203;
constexpr uint32_t kPasted = 0x00336699u;  // the clipboard picture's colour

// The colour the window stores for `rgb`: itself, or its low byte in 8 bits.
uint32_t Stored(uint32_t rgb) { return qubState.images[kSlot].depth == 32 ? rgb : rgb & 255u; }
uint32_t Inverted(uint32_t v) {
    return qubState.images[kSlot].depth == 32 ? ~v & 0xFFFFFFu : 255u - v;
}

// What the test does while the command waits.
struct Answer {
    std::vector<POINT> clicks;        // image pixels, one per point of the pick
    std::vector<std::wstring> lines;  // typed after each prompt, Enter added
    const wchar_t* dialog = nullptr;  // a dialog to answer: its caption, or L"" for one owned
                                      // by the window
    std::wstring dialogPath;          // typed into the file dialog; empty: cancel
    bool cancel = false;              // a right press instead of the first click
};
Answer Clicks(std::vector<POINT> clicks, std::vector<std::wstring> lines = {}) {
    return {clicks, lines, nullptr, L""};
}
Answer Dialog(const wchar_t* caption, std::wstring path) { return {{}, {}, caption, path, false}; }
Answer Cancel() { return {{}, {}, nullptr, L"", true}; }

struct Case {
    int id;
    Answer answer;
    std::function<void(const Copy& before)> check;
    int depth = 0;      // 0 both, or the only depth it runs on
    int zoomFirst = 0;  // a zoom set before the command, so that 100 % shows
};

// The clipboard holds the window's old picture at its size: pasted at (0, 0)
// of a window like it, it gives the same buffer.
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
    void TearDown() override {
        CloseAllImages();
        OnWorker([] {
            if (qubState.textWindows[0].inUse) QUB_CloseTextWindow(0);
        });
    }

    // A fresh noisy window in kSlot, the clipboard holding a 9 x 5 picture.
    void Fresh(int zoom = 0) {
        ASSERT_TRUE(OnWorker([zoom] {
            for (int n = 0; n < kImageSlots; ++n) QUB_DestroyImage(n);
            QUB_CreateImageDepth(9, "clip", -1, -1, 9, 5, 100, GetParam());
            uint32_t palette[256];
            for (int k = 0; k < 256; ++k) palette[k] = static_cast<uint32_t>(k) * 0x010101u;
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
        if ((!a.clicks.empty() || a.cancel) && !AnswerPick(kSlot, a.clicks)) return false;
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
        // The worker takes a routine only between two passes of its pump, so
        // once this runs the command has returned.
        return OnWorker([] {});
    }
    ScratchFolder folder_;
};

// A graph in slot 0: its title and size, the picture untouched, the graph
// current, the first label drawn in its colour and `qub_tc` left at the last.
std::function<void(const Copy&)> Graph(const char* title, int width, int height, uint32_t first,
                                       uint32_t last) {
    return [=](const Copy& before) {
        EXPECT_TRUE(before.SameAs(kSlot));
        const ImageWindowRecord& r = qubState.images[0];
        ASSERT_TRUE(r.inUse) << title;
        EXPECT_STREQ(r.title, title);
        EXPECT_EQ(r.width, width);
        EXPECT_EQ(r.height, height);
        EXPECT_EQ(qubState.currentImage, 0);
        if (height == 256) {  // the CrCb plane: its grey axes
            EXPECT_EQ(PixelAt(0, 128, 250), 0x808080u);
            EXPECT_EQ(PixelAt(0, 250, 128), 0x808080u);
            return;
        }
        bool label = false;  // some pixel of the first label's cell, left of the curves
        for (int y = 40 - 14; y < 40; ++y)
            for (int x = 0; x < width - kW; ++x) label = label || PixelAt(0, x, y) == first;
        EXPECT_TRUE(label) << title;
        EXPECT_EQ(qubState.qub_tc, last) << title;
    };
}

TEST_P(Toolbox, EveryCommandNumberDoesItsJob) {
    LibraryState& s = qubState;
    const std::wstring bmp = folder_.File(L"saved.bmp"), load = folder_.File(L"load.bmp");
    const auto same = [](const Copy& before) { EXPECT_TRUE(before.SameAs(kSlot)); };
    const auto size = [](int width, int height) {
        return [=](const Copy&) {
            EXPECT_EQ(qubState.images[kSlot].width, width);
            EXPECT_EQ(qubState.images[kSlot].height, height);
            EXPECT_STREQ(qubState.images[kSlot].title, "tool");
            EXPECT_EQ(qubState.currentImage, kSlot);
        };
    };
    const auto at = [](int x, int y, uint32_t rgb) {
        return [=](const Copy&) { EXPECT_EQ(PixelAt(kSlot, x, y), Stored(rgb)) << x << "," << y; };
    };
    const auto zoom = [](int z) {
        return [=](const Copy&) { EXPECT_EQ(qubState.images[kSlot].zoom, z); };
    };
    const auto inverted = [](int x, int y) {
        return
            [=](const Copy& before) { EXPECT_EQ(PixelAt(kSlot, x, y), Inverted(before.At(x, y))); };
    };
    const auto colours = [](uint32_t text) {  // the drawing colour kept, the text colours
        return [=](const Copy&) {
            const LibraryState& now = qubState;
            EXPECT_EQ(std::vector<uint32_t>({now.drawColour, now.qub_tc, now.qub_tttc}),
                      std::vector<uint32_t>({kInk, text, text}));
        };
    };
    const auto unlisted = [&](int id) { return Case{id, Answer(), same}; };
    uint32_t pixel = 0;  // the pixel the Pixel row prints
    HFONT font = nullptr;  // the TrueType font before the command

    const std::vector<Case> cases = {
        {kTbLoad, Dialog(L"Load image file", load),
         [](const Copy& before) {
             if (before.Is32()) EXPECT_EQ(PixelAt(kSlot, 2, 1), 0x0000FFu);
             else EXPECT_FALSE(before.SameAs(kSlot));
         }},
        {kTbLoad, Dialog(L"Load image file", L""), same},
        {kTbDestroy, Answer(), [](const Copy&) { EXPECT_FALSE(qubState.images[kSlot].inUse); }},
        {kTbZoom50, Answer(), zoom(50)},
        {kTbZoom200, Answer(), zoom(200)},
        {kTbZoom100, Answer(), zoom(100), 0, 200},
        {kTbSaveAs, Dialog(L"Save as", bmp),
         [&](const Copy& before) {
             const std::vector<unsigned char> bytes = ReadBytes(bmp);
             ASSERT_GT(bytes.size(), 2u);
             EXPECT_EQ(bytes[0], 'B') << "filter 2 saves BMP";
             EXPECT_TRUE(before.SameAs(kSlot));
         }},
        {kTbCut, {},
         [](const Copy& before) {
             const Copy after = Copy::Of(kSlot);
             EXPECT_TRUE(std::all_of(after.bytes.begin(), after.bytes.end(),
                                     [](uint8_t b) { return b == 0; }));
             EXPECT_TRUE(ClipboardHolds(before));
         }},
        {kTbCopy, {},
         [](const Copy& before) {
             EXPECT_TRUE(before.SameAs(kSlot));
             EXPECT_TRUE(ClipboardHolds(before));
         }},
        {kTbPaste, Clicks({{100, 50}}),
         [](const Copy& before) {
             EXPECT_EQ(PixelAt(kSlot, 100, 50), Stored(kPasted));
             // Centred on the click: the corner at (100 - 9 / 2, 50 - 5 / 2).
             EXPECT_EQ(PixelAt(kSlot, 96, 48), Stored(kPasted));
             EXPECT_EQ(PixelAt(kSlot, 95, 48), before.At(95, 48));
             EXPECT_EQ(PixelAt(kSlot, 96, 47), before.At(96, 47));
         }},
        {kTbPaste, Cancel(), same},
        {kTbPasteTopLeft, Answer(), at(0, 0, kPasted)},
        {kTbPixel, Clicks({{5, 7}}), [&](const Copy& before) { pixel = before.At(5, 7); }},
        {kTbLineRgb, Clicks({{0, 9}}), Graph("RGB(Y=9)", kW + 12, 128, 0xFF0000, 0x0000FF), 32},
        {kTbLineHsv, Clicks({{0, 9}}), Graph("HSV(Y=9)", kW + 12, 128, 0xFFFF00, 0x00FFFF), 32},
        {kTbLineYCrCb, Clicks({{0, 9}}), Graph("YCrCb(Y=9)", kW + 20, 128, 0xFFFFFF, 0x8888FF), 32},
        {kTbLineCrCb, Clicks({{0, 9}}), Graph("CrCb(Y=9)", 256, 256, 0, 0), 32},
        {kTbAreaCrCb, Clicks({{3, 4}, {1, 2}}), Graph("CrCb(1,2)-(3,4)", 256, 256, 0, 0), 32},
        {kTbLineLumi, Clicks({{0, 9}}), Graph("Luminance(Y=9)", kW + 12, 128, 0xFFFFFF, 0xFFFFFF),
         8},
        {kTbLineRgb, Cancel(), [](const Copy&) { EXPECT_FALSE(qubState.images[0].inUse); }},
        {kTbClipping, Clicks({{109, 69}, {10, 20}}),
         [](const Copy& before) {
             const ImageWindowRecord& r = qubState.images[0];
             ASSERT_TRUE(r.inUse);
             EXPECT_STREQ(r.title, "(10,20)-(109,69)");
             EXPECT_EQ(std::vector<int>({r.width, r.height, r.depth}),
                       std::vector<int>({100, 50, before.depth}));
             int differ = 0;
             for (int y = 0; y < 50; ++y)
                 for (int x = 0; x < 100; ++x)
                     differ += PixelAt(0, x, y) != PixelAt(kSlot, 10 + x, 20 + y);
             EXPECT_EQ(differ, 0);
             if (before.depth == 8) {
                 EXPECT_EQ(PaletteOf(0), PaletteOf(kSlot)) << "palette copied";
             }
         }},
        {kTbColourChange, Dialog(L"", L""), colours(0x111111u)},
        {kTbColourChange, Dialog(L"", L"OK"), colours(kInk)},  // the colour it opened with
        {kTbColourPick, Clicks({{8, 8}}),
         [](const Copy& before) {
             const uint32_t v = before.At(8, 8);
             EXPECT_EQ(qubState.drawColour, v);
             EXPECT_EQ(qubState.qub_tttc, before.Is32() ? v : v * 0x010101u)
                 << "through the grey palette";
         }},
        {kTbColourPick, Cancel(), [](const Copy&) { EXPECT_EQ(qubState.drawColour, kInk); }},
        {kTbLineNormal, Clicks({{5, 5}, {40, 5}}),
         [](const Copy&) {
             for (int x = 5; x <= 40; ++x) EXPECT_EQ(PixelAt(kSlot, x, 5), Stored(kInk)) << x;
         }},
        {kTbLineHorizontal, Clicks({{77, 7}}),
         [](const Copy&) {
             EXPECT_EQ(PixelAt(kSlot, 0, 7), Stored(kInk));
             EXPECT_EQ(PixelAt(kSlot, kW - 1, 7), Stored(kInk));
         }},
        {kTbLineVertical, Clicks({{9, 77}}),
         [](const Copy&) {
             EXPECT_EQ(PixelAt(kSlot, 9, 0), Stored(kInk));
             EXPECT_EQ(PixelAt(kSlot, 9, kH - 1), Stored(kInk));
         }},
        {kTbBoxNormal, Clicks({{10, 10}, {20, 20}}),
         [](const Copy& before) {
             EXPECT_EQ(PixelAt(kSlot, 20, 10), Stored(kInk));
             EXPECT_EQ(PixelAt(kSlot, 15, 15), before.At(15, 15)) << "inside kept";
         }},
        {kTbBoxFill, Clicks({{10, 10}, {20, 20}}), at(15, 15, kInk)},
        {kTbBoxFillXor, Clicks({{10, 10}, {20, 20}}), inverted(15, 15)},
        {kTbCircleNormal, Clicks({{50, 50}, {60, 50}}), at(60, 50, kInk)},
        {kTbCircleFill, Clicks({{50, 50}, {60, 50}}), at(50, 50, kInk)},
        {kTbCircleFillXor, Clicks({{50, 50}, {60, 50}}), inverted(50, 50)},
        {kTbDrawText, Clicks({{20, 40}}, {L"H"}),
         [](const Copy&) {
             int inked = 0;
             for (int y = 26; y < 40; ++y)
                 for (int x = 20; x < 28; ++x) inked += PixelAt(kSlot, x, y) == Stored(kInk);
             EXPECT_GT(inked, 10);
             EXPECT_EQ(qubState.qub_tc, kInk);
         }},
        {kTbPaint, Clicks({{30, 30}}), at(30, 30, kInk)},
        {kTbZoomPrompt, Clicks({}, {L"150"}), zoom(150)},
        {kTbResizePrompt, Clicks({}, {L"40", L"30"}),
         [](const Copy&) {
             EXPECT_EQ(qubState.images[kSlot].width, 40);
             EXPECT_EQ(qubState.images[kSlot].height, 30);
             EXPECT_EQ(PixelAt(kSlot, 39, 29), 0u) << "a cleared buffer";
         }},
        {kTbResizePrompt, Clicks({}, {L"99999999", L"99999999"}), same},
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
         [&](const Copy&) {
             LOGFONTW f = {};
             GetObjectW(qubState.ttFont, sizeof f, &f);
             EXPECT_TRUE(qubState.ttFont == font || GetObjectType(font) == 0) << "old font kept";
             const LibraryState& now = qubState;
             EXPECT_EQ(std::vector<LONG>({f.lfWidth, f.lfHeight, f.lfWeight, now.ttFontWidth,
                                          now.ttFontHeight}),
                       std::vector<LONG>({16, 24, 700, 16, 24}));
         }},
        {kTbPatternRgb, Answer(), at(0, 0, 0x0000FF)},
        {kTbPatternHsv, Answer(), at(0, 0, 0xFFFFFF)},
        {kTbPatternYCrCb, Answer(), at(kW / 2, kH / 2, 0)},
        {kTbPatternYuv, Answer(), at(kW / 2, kH / 2, 0)},
        {kTbPatternYiq, Answer(), at(kW / 2, kH / 2, 0)},
        {kTbPatternGrey, Answer(), at(kW - 1, kH - 1, 0x010101u)},
        {kTbInvert, Answer(), inverted(0, 0)},
        {kTbFlipHorizontal, Answer(),
         [](const Copy& before) { EXPECT_EQ(PixelAt(kSlot, 0, 0), before.At(kW - 1, 0)); }},
        {kTbFlipVertical, Answer(),
         [](const Copy& before) { EXPECT_EQ(PixelAt(kSlot, 0, 0), before.At(0, kH - 1)); }},
        {kTbRotateRight, Answer(),
         [&](const Copy& before) {
             size(kH, kW)(before);
             EXPECT_EQ(PixelAt(kSlot, kH - 1, 0), before.At(0, 0)) << "the top-left goes top-right";
         }},
        {kTbRotateLeft, Answer(),
         [&](const Copy& before) {
             size(kH, kW)(before);
             EXPECT_EQ(PixelAt(kSlot, 0, kW - 1), before.At(0, 0))
                 << "the top-left goes bottom-left";
         }},
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
    s.saveFilterIndex = 2;
    for (const Case& c : cases) {
        if (c.depth && c.depth != GetParam()) continue;
        SCOPED_TRACE(testing::Message() << "command " << c.id);
        Fresh(c.zoomFirst);
        const Copy before = Copy::Of(kSlot);
        font = qubState.ttFont;
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
    const std::string transcript[] = {
        report, "Text>H\n", "[3] Zoom(%)=150\n",
        "[3] New x-size(pixel)=40\n[3] New y-size(pixel)=30\n",
        "[3] New x-size(pixel)=99999999\n[3] New y-size(pixel)=99999999\n", "Text>Hg\n"};
    const std::string log = ClosedLogText(0);
    size_t from = 0;
    for (const std::string& line : transcript) {
        from = log.find(line, from);
        ASSERT_NE(from, std::string::npos) << "missing, or out of order: " << line << "\nlog:\n"
                                           << log;
    }

    // "Save as" JPEG: quality 100 for this save only.
    Fresh();
    s.saveFilterIndex = 3;
    s.jpegQuality = 40;
    const std::wstring jpeg = folder_.File(L"saved.jpg");
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
    EXPECT_TRUE(AnswerPick(kSlot, {}));
    ASSERT_TRUE(PumpUntil([] { return qubState.pickActive.load() == 0; }));
    SendChars(qubState.textWindows[qubState.lineInputActive.load() - 1].window, L"x\r");
    ASSERT_TRUE(WaitRoutineEnd());
    EXPECT_STREQ(line, "x") << "the waiting input kept its answer";
    EXPECT_EQ(qubState.images[kSlot].zoom, 200) << "no zoom prompt took the line";
}

// The menus as a person sees them, typed from the product description: text
// and command of every item, "-" a separator, ">" a submenu (its items follow
// indented by its name), "*" checked.
struct Item {
    const char* text;
    int id;
};
const Item kBasic[] = {{"Cut\tCtrl+X", 1011}, {"Copy\tCtrl+C", 1012}, {"Paste\tCtrl+V", 1013},
    {"-", 0}, {"&Load image file", 1004}, {"&Save as", 1010}, {"-", 0}, {"Zoom: 50%", 1007},
    {"Zoom:100%\tCtrl+0", 1008}, {"Zoom:200%", 1009}, {"&Zoom...", 1046}, {"-", 0},
    {"&Resize...", 1047}, {"&Destroy\tCtrl+Q", 1005}};
std::vector<Item> ProcessItems(int depth) {
    std::vector<Item> items = {{">Process...", 0}, {"Invert", 1058}, {"-", 0}, {"R. Rotate", 1061},
        {"L. Rotate", 1062}, {"-", 0}, {"Horz. Flip", 1059}, {"Vert. Flip", 1060}, {"-", 0},
        {"Size 50.0%", 1063}, {"Size 70.7%", 1064}, {"Size 141.4%", 1065}, {"Size 200.0%", 1066},
        {"<", 0}, {"-", 0}, {">Information...", 0}, {"Pixel", 1015}};
    const std::vector<Item> info32 = {{"Line(RGB)", 1016}, {"Line(HSV)", 1017},
        {"Line(YCrCb)", 1018}, {"Line(CrCb)", 1021}, {"-", 0}, {"Area(CrCb)", 1022}};
    if (depth == 32) items.insert(items.end(), info32.begin(), info32.end());
    else items.push_back({"Line(Lumi)", 1070});
    const std::vector<Item> rest = {{"<", 0}, {"-", 0}, {">Test Pattern...", 0}, {"RGB", 1053},
        {"HSV", 1054}, {"YCrCb", 1055}, {"Yuv", 1067}, {"YIQ", 1068}, {"Grey", 1071}, {"<", 0},
        {"-", 0}, {"Clipping\tCtrl+R", 1019}, {"-", 0}, {">Color...", 0}, {"Change", 1031},
        {"Pick", 1052}, {"<", 0}, {">Draw Line...", 0}, {"Normal", 1032}, {"Horz.", 1034},
        {"Vert.", 1035}, {"<", 0}, {">Draw Box...", 0}, {"Normal", 1036}, {"Fill", 1037},
        {"Fill XOR", 1038}, {"<", 0}, {">Draw Circle...", 0}, {"Normal", 1039}, {"Fill", 1040},
        {"Fill XOR", 1041}, {"<", 0}, {">TrueType...", 0}, {"Draw", 1048}, {"Font Change", 1049},
        {"<", 0}, {"Draw Text", 1042}, {"Paint", 1043}};
    items.insert(items.end(), rest.begin(), rest.end());
    return items;
}

// The menu flattened as the tables above write it; checked items get "*".
void Flatten(HMENU menu, std::vector<std::string>* out) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[80] = L"";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 80;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        const std::string name = Narrow(text);
        if (info.fType & MFT_SEPARATOR) out->push_back("- 0");
        else if (info.hSubMenu) out->push_back(">" + name + " 0");
        else
            out->push_back((info.fState & MFS_CHECKED ? "*" : "") + name + " " +
                           std::to_string(info.wID));
        if (info.hSubMenu) {
            Flatten(info.hSubMenu, out);
            out->push_back("< 0");
        }
    }
}

std::vector<std::string> Expected(const std::vector<Item>& items, int checked) {
    std::vector<std::string> out;
    for (const Item& i : items)
        out.push_back((i.id && i.id == checked ? "*" : "") + std::string(i.text) + " " +
                      std::to_string(i.id));
    return out;
}

TEST_P(Toolbox, MenusOfferTheirItems) {
    Fresh();
    const std::vector<Item> basic(std::begin(kBasic), std::end(kBasic));
    const struct {
        int zoom, checked;
    } zooms[] = {{100, 1008}, {200, 1009}, {50, 1007}, {150, 0}};
    for (const auto& z : zooms) {
        std::vector<std::string> got;
        ASSERT_TRUE(OnWorker([&] {
            QUB_SetZoom(kSlot, z.zoom);
            HMENU menu = QUB_BuildBasicMenu(qubState.images[kSlot].window);
            Flatten(menu, &got);
            DestroyMenu(menu);
        }));
        EXPECT_EQ(got, Expected(basic, z.checked)) << "zoom " << z.zoom;
    }
    std::vector<std::string> got;
    ASSERT_TRUE(OnWorker([&] {
        HMENU menu = QUB_BuildProcessMenu(kSlot);
        Flatten(menu, &got);
        DestroyMenu(menu);
    }));
    EXPECT_EQ(got, Expected(ProcessItems(GetParam()), 0));
}

INSTANTIATE_TEST_SUITE_P(Depths, Toolbox, testing::Values(32, 8),
                         [](const testing::TestParamInfo<int>& depth) {
                             return "Bits" + std::to_string(depth.param);
                         });

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
