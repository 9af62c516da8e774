// Image windows in-process: creation and its result codes, the buffer layout
// as GDI made it, the current-window history, palettes, zoom, resize, stretch
// mode, and the window procedure's keys, wheel and mouse record.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "core/runtime.h"
#include "image/image_window.h"
#include "image/zoom.h"
#include "tests/win/image_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

using ImageWindows = ImageTest;

ZoomFit Expected(int width, int height, int zoom) {
    ZoomFit fit = {};
    QUB_FitZoom(width, height, zoom, QUB_ReadZoomLimits(), &fit);
    return fit;
}

// The result code of each call, in order, with the state it leaves.
TEST_F(ImageWindows, ResultCodes) {
    HWND first = nullptr, resized = nullptr;
    ASSERT_TRUE(OnWorker([&] {
        const uint32_t colours[3] = {0x00FF0000u, 0x0000FF00u, 0x00123456u};
        uint32_t read[256] = {};
        const struct {
            const char* call;
            std::function<int()> run;
            int code;
        } calls[] = {
            {"slot 256", [] { return QUB_CreateImage(256, "x", -1, -1, 10, 10, 100); }, 4},
            {"slot -1", [] { return QUB_CreateImage(-1, "x", -1, -1, 10, 10, 100); }, 4},
            {"24 bits", [] { return QUB_CreateImageDepth(3, "x", -1, -1, 10, 10, 100, 24); }, 3},
            {"first",
             [&] {
                 int r = QUB_CreateImage(3, "first", -1, -1, 10, 10, 100);
                 first = qubState.images[3].window;
                 return r + QUB_CreateImage(4, "other", -1, -1, 10, 10, 100);
             },
             0},
            {"slot taken",
             [&] {
                 const int r = QUB_CreateImage8(3, "second", -1, -1, 20, 20, 100);
                 EXPECT_EQ(qubState.images[3].window, first) << "the existing window is untouched";
                 EXPECT_EQ(qubState.images[3].depth, 32);
                 EXPECT_EQ(qubState.currentImage, 4) << "a refused creation does not select";
                 return r;
             },
             1},
            {"too long and thin", [] { return QUB_CreateImage(5, "long", -1, -1, 100000, 1, 100); },
             2},
            {"40 GB", [] { return QUB_CreateImage(6, "huge", -1, -1, 100000, 100000, 100); }, 3},
            {"huge 8-bit", [] { return QUB_CreateImage8(7, "huge8", -1, -1, 65536, 40000, 100); },
             3},
            {"palette of a 32-bit window", [&] { return QUB_SetPalette(colours, 3); }, 2},
            {"its palette read", [&] { return QUB_GetPalette(read); }, 2},
            {"destroy", [] { return QUB_DestroyImage(3); }, 0},
            {"destroy again", [] { return QUB_DestroyImage(3); }, 1},
            {"restore of the destroyed", [] { return QUB_RestoreImage(); }, 1},
            {"select closed", [] { return QUB_SelectImage(3); }, 1},
            {"display closed", [] { return QUB_DisplayImage(3); }, 1},
            {"select 999", [] { return QUB_SelectImage(999); }, 1},
            {"set palette closed",
             [&] {
                 qubState.currentImage = 3;
                 return QUB_SetPalette(colours, 1);
             },
             1},
            {"get palette closed", [&] { return QUB_GetPalette(read); }, 1},
            {"stretch closed", [] { return QUB_SetStretchMode(3, HALFTONE); }, 1},
            {"stretch read closed", [] { return QUB_GetStretchMode(3); }, 0},
            {"resize closed", [] { return QUB_ResizeImage(3, 10, 10); }, 1},
            {"slot of the main window", [] { return QUB_FindImageSlot(qubState.mainWindow); }, -1},
            {"select by no window", [] { return QUB_SelectImageByWindow(nullptr); }, -1},
            {"zoom closed", [] { return QUB_SetZoom(7, 50); }, 1},
            // Too long and thin to fit: the old window is closed first and stays so.
            {"resize to a band",
             [&] {
                 resized = qubState.images[4].window;
                 return QUB_ResizeImage(4, 100000, 1);
             },
             2},
            {"display after it", [] { return QUB_DisplayImage(4); }, 1},
            {"close button",
             [] {
                 QUB_CreateImage(5, "close me", -1, -1, 120, 40, 100);
                 SendMessageW(qubState.images[5].window, WM_CLOSE, 0, 0);
                 return QUB_DisplayImage(5);
             },
             1},
        };
        for (const auto& c : calls) EXPECT_EQ(c.run(), c.code) << c.call;
        for (int n : {3, 4, 5, 6, 7}) EXPECT_FALSE(qubState.images[n].inUse) << n;
    }));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(IsWindow(resized)) << "closed before the resize failed";
}

// The sections GDI made: 32-bit rows of width words, 8-bit rows padded to
// four bytes, the library's pointers on their bits, and row 0 at the top.
TEST_F(ImageWindows, BufferLayoutAsGdiMadeIt) {
    const struct {
        int depth, width, stride;
    } rows[] = {{32, 3, 12}, {8, 3, 4}, {8, 4, 4}, {8, 5, 8}};
    bool allZero = true;
    COLORREF topLeft = 0, secondRow = 0;
    ASSERT_TRUE(OnWorker([&] {
        for (int n = 0; n < 4; ++n) {
            QUB_CreateImageDepth(n, "w", -1, -1, rows[n].width, 2, 100, rows[n].depth);
            DIBSECTION d = {};
            GetObjectW(qubState.images[n].dib, sizeof d, &d);
            EXPECT_EQ(d.dsBm.bmWidthBytes, rows[n].stride) << n;
            EXPECT_EQ(d.dsBm.bmBitsPixel, rows[n].depth) << n;
            EXPECT_EQ(static_cast<void*>(qubState.imageBits8[n]), d.dsBm.bmBits) << n;
        }
        for (int i = 0; i < 6; ++i) allZero = allZero && qubState.imageBits32[0][i] == 0;
        qubState.imageBits32[0][0] = 0x00FF0000u;
        qubState.imageBits32[0][4] = 0x000000FFu;
        topLeft = GetPixel(qubState.images[0].memoryDC, 0, 0);
        secondRow = GetPixel(qubState.images[0].memoryDC, 1, 1);
    }));
    EXPECT_EQ(topLeft, RGB(255, 0, 0)) << "top-down rows, 0x00RRGGBB words";
    EXPECT_EQ(secondRow, RGB(0, 0, 255)) << "stride of width words";
    EXPECT_TRUE(allZero);
}

// Sizes below one become one; a tiny picture is zoomed in to fit; the style,
// owner, class, title and client size of a placed window; one default
// coordinate keeps the other; nothing opens off the screen; a window re-created
// by a resize stays where it was, even at x = -1.
TEST_F(ImageWindows, CreationSizesStyleAndPlace) {
    RECT rects[4] = {};
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "a", 100, -1, 120, 40, 100);
        QUB_CreateImage(1, "b", -1, 100, 120, 40, 100);
        QUB_CreateImage(2, "c", 5000, -3000, 120, 40, 100);
        QUB_CreateImage(3, "d", 60, 60, 120, 40, 100);
        SetWindowPos(qubState.images[3].window, nullptr, -1, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        QUB_ResizeImage(3, 150, 50);
        for (int n = 0; n < 4; ++n) GetWindowRect(qubState.images[n].window, &rects[n]);
        QUB_CreateImage(4, "zero", -1, -1, 0, -5, 100);
        QUB_CreateImage(5, "tiny", -1, -1, 16, 16, 100);
        QUB_CreateImage8(6, "placed", 40, 30, 400, 200, 50);
    }));
    EXPECT_EQ(rects[0].left, 100);
    EXPECT_EQ(rects[1].top, 100);
    for (const RECT& r : rects) {
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.top, GetSystemMetrics(SM_CYVIRTUALSCREEN) - 32);
        EXPECT_LE(r.left, GetSystemMetrics(SM_CXVIRTUALSCREEN) - 32);
    }
    EXPECT_EQ(rects[3].left, -1);
    EXPECT_EQ(rects[3].top, 70);
    EXPECT_EQ(qubState.images[4].width, 1);
    EXPECT_EQ(qubState.images[4].height, 1);
    const ZoomFit tiny = Expected(16, 16, 100);
    EXPECT_GT(tiny.zoom, 100);
    EXPECT_EQ(qubState.images[5].zoom, tiny.zoom);
    EXPECT_EQ(WindowTitle(qubState.images[5].window),
              L"tiny(" + std::to_wstring(tiny.zoom) + L"%)");
    EXPECT_EQ(ClientSize(qubState.images[5].window).cx, tiny.displayWidth);
    EXPECT_EQ(ClientSize(qubState.images[5].window).cy, tiny.displayHeight);
    HWND w = qubState.images[6].window;
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 30);
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX), WS_SYSMENU);
    EXPECT_TRUE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_EQ(GetWindow(w, GW_OWNER), qubState.mainWindow);
    EXPECT_EQ(WindowTitle(w), L"placed(50%)[8bit]");
    EXPECT_EQ(ClientSize(w).cx, 200);
    EXPECT_EQ(ClientSize(w).cy, 100);
    wchar_t cls[16];
    GetClassNameW(w, cls, 16);
    EXPECT_STREQ(cls, L"qub_iw");
}

// Before the last select (8) the history held 7, 6, ..., 0: the eighth
// restore brings back the oldest remembered window, the ninth repeats it.
TEST_F(ImageWindows, HistoryOfNineSelectionsAndRestores) {
    std::vector<int> currents;
    ASSERT_TRUE(OnWorker([&] {
        for (int n = 0; n < 10; ++n) QUB_CreateImage(n, "h", -1, -1, 120, 40, 100);
        for (int n = 0; n < 9; ++n) QUB_SelectImage(n);
        for (int i = 0; i < 9; ++i) {
            EXPECT_EQ(QUB_RestoreImage(), 0) << i;
            currents.push_back(qubState.currentImage);
        }
    }));
    EXPECT_EQ(currents, std::vector<int>({7, 6, 5, 4, 3, 2, 1, 0, 0}));
}

TEST_F(ImageWindows, ZoomKeepsTheBufferAndTheCorner) {
    int codes[3] = {};
    RECT before = {}, after = {};
    bool pixelsKept = false;
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "z", 50, 60, 400, 300, 100);
        uint32_t* p = qubState.imageBits32[0];
        for (int i = 0; i < 400 * 300; ++i)
            p[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFFu;
        GetWindowRect(qubState.images[0].window, &before);
        codes[0] = QUB_SetZoom(0, 50);
        GetWindowRect(qubState.images[0].window, &after);
        pixelsKept = true;
        for (int i = 0; i < 400 * 300; ++i)
            pixelsKept = pixelsKept && p[i] == (static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFFu);
        codes[1] = QUB_SetZoom(7, 50);
        QUB_CreateImage(1, "wide", -1, -1, 3000, 500, 100);
        codes[2] = QUB_SetZoom(1, 100000);
    }));
    EXPECT_EQ(codes[0], 0);
    EXPECT_TRUE(pixelsKept);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, before.right - before.left - 200);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top - 150);
    EXPECT_EQ(qubState.images[0].zoom, 50);
    EXPECT_EQ(ClientSize(qubState.images[0].window).cx, 200);
    EXPECT_EQ(WindowTitle(qubState.images[0].window), L"z(50%)");
    EXPECT_EQ(codes[1], 1);
    EXPECT_EQ(codes[2], 0) << "fitted down to what the screen allows";
    EXPECT_EQ(qubState.images[1].zoom, Expected(3000, 500, 100000).zoom);
}

TEST_F(ImageWindows, ResizeKeepsPlaceTitlePaletteModeAndClears) {
    int code = -1;
    RECT before = {}, after = {};
    uint32_t palette[256] = {};
    int mode = 0, current = -1;
    uint8_t firstPixel = 0xFF;
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage8(4, "resized", 70, 80, 200, 120, 100);
        QUB_CreateImage(5, "other", -1, -1, 100, 60, 100);
        QUB_SelectImage(4);
        const uint32_t colours[2] = {0x00ABCDEFu, 0x00010203u};
        QUB_SetPalette(colours, 2);
        QUB_SetStretchMode(4, HALFTONE);
        qubState.imageBits8[4][0] = 9;
        GetWindowRect(qubState.images[4].window, &before);
        QUB_SelectImage(5);
        code = QUB_ResizeImage(4, 300, 200);
        GetWindowRect(qubState.images[4].window, &after);
        current = qubState.currentImage;
        QUB_GetPalette(palette);
        mode = QUB_GetStretchMode(4);
        firstPixel = qubState.imageBits8[4][0];
    }));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(qubState.images[4].width, 300);
    EXPECT_EQ(ClientSize(qubState.images[4].window).cx, 300);
    EXPECT_EQ(current, 4) << "the resized window is current";
    EXPECT_EQ(palette[0], 0x00ABCDEFu);
    EXPECT_EQ(palette[1], 0x00010203u);
    EXPECT_EQ(palette[3], 0x00030303u) << "the rest of the grey ramp stays";
    EXPECT_EQ(palette[255], 0x00FFFFFFu);
    EXPECT_EQ(mode, HALFTONE);
    EXPECT_EQ(WindowTitle(qubState.images[4].window), L"resized(100%)[8bit]*");
    EXPECT_EQ(firstPixel, 0) << "the new buffer is cleared";
}

// What the window shows after a redisplay, read back from its device context:
// the whole buffer scaled to the client area, at 100 % and zoomed.
TEST_F(ImageWindows, DisplayShowsTheWholeBufferScaled) {
    COLORREF seen[2][3] = {};
    ASSERT_TRUE(OnWorker([&] {
        for (int pass = 0; pass < 2; ++pass) {
            const int zoom = pass == 0 ? 100 : 50;
            QUB_CreateImage(0, "shown", 0, 0, 400, 200, zoom);
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 400; ++x)
                    qubState.imageBits32[0][y * 400 + x] = x < 200 ? 0x00FF0000u : 0x000000FFu;
            // A 2 x 2 corner block, so that halving cannot drop it.
            for (int i : {198 * 400 + 398, 198 * 400 + 399, 199 * 400 + 398, 199 * 400 + 399})
                qubState.imageBits32[0][i] = 0x0000FF00u;
            QUB_DisplayImage(0);
            const ImageWindowRecord& r = qubState.images[0];
            seen[pass][0] = GetPixel(r.windowDC, r.displayWidth / 4, r.displayHeight / 2);
            seen[pass][1] = GetPixel(r.windowDC, r.displayWidth * 3 / 4, r.displayHeight / 2);
            seen[pass][2] = GetPixel(r.windowDC, r.displayWidth - 1, r.displayHeight - 1);
            QUB_DestroyImage(0);
        }
    }));
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_EQ(seen[pass][0], RGB(255, 0, 0)) << pass;
        EXPECT_EQ(seen[pass][1], RGB(0, 0, 255)) << pass;
        EXPECT_EQ(seen[pass][2], RGB(0, 255, 0))
            << "the last pixels reach the corner, pass " << pass;
    }
}

// Sets or clears Ctrl in the calling thread's keyboard state.
void HoldCtrl(bool held) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = held ? 0x80 : 0;
    SetKeyboardState(keys);
}

// Keys and wheel in turn on one window, with the zoom, title and stretch mode
// each leaves. A wheel turned toward the user (negative) zooms in with Ctrl.
TEST_F(ImageWindows, KeysAndWheelStepZoomAndTabTogglesHalftone) {
    const struct {
        UINT message;
        WPARAM w;
        bool ctrl;
        int zoom;
        const wchar_t* title;
        int mode;
    } steps[] = {
        {WM_KEYDOWN, VK_ADD, true, 111, L"keys(111%)", COLORONCOLOR},
        {WM_KEYDOWN, VK_ADD, true, 123, L"keys(123%)", COLORONCOLOR},
        {WM_KEYDOWN, VK_ADD, true, 137, L"keys(137%)", COLORONCOLOR},
        {WM_KEYDOWN, VK_NUMPAD0, true, 100, L"keys(100%)", COLORONCOLOR},
        {WM_KEYDOWN, VK_SUBTRACT, true, 90, L"keys(90%)", COLORONCOLOR},
        {WM_KEYDOWN, '0', true, 90, L"keys(90%)", COLORONCOLOR},  // not the main keyboard's 0
        {WM_KEYDOWN, VK_ADD, false, 90, L"keys(90%)", COLORONCOLOR},
        {WM_KEYDOWN, VK_TAB, false, 90, L"keys(90%)*", HALFTONE},
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-120)), false, 100, L"keys(100%)*",
         HALFTONE},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), false, 100, L"keys(100%)*",
         HALFTONE},
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 120), false, 90, L"keys(90%)*", HALFTONE},
        {WM_KEYDOWN, VK_TAB, false, 90, L"keys(90%)", COLORONCOLOR},
    };
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "keys", -1, -1, 200, 150, 100);
        const ImageWindowRecord& r = qubState.images[0];
        for (size_t i = 0; i < std::size(steps); ++i) {
            HoldCtrl(steps[i].ctrl);
            SendMessageW(r.window, steps[i].message, steps[i].w, 0);
            EXPECT_EQ(r.zoom, steps[i].zoom) << i;
            EXPECT_EQ(WindowTitle(r.window), steps[i].title) << i;
            EXPECT_EQ(GetStretchBltMode(r.memoryDC), steps[i].mode) << i;
            EXPECT_EQ(GetStretchBltMode(r.windowDC), steps[i].mode) << i;
        }
        HoldCtrl(false);
    }));
}

TEST_F(ImageWindows, PlainKeysReachTheMainWindowCtrlOnesDoNot) {
    int stopAfterCtrl = -1, stopAfterPlain = -1;
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "keys", -1, -1, 200, 150, 100);
        HWND w = qubState.images[0].window;
        HoldCtrl(true);
        SendMessageW(w, WM_KEYDOWN, 'C', 0);  // Copy to the toolbox, not Stop
        HoldCtrl(false);
        const DWORD t = GetTickCount();
        while (GetTickCount() - t < 300) {
            QUB_PumpMessages();
            Sleep(1);
        }
        stopAfterCtrl = qubState.stopRequested.load();
        SendMessageW(w, WM_KEYDOWN, 'C', 0);  // Stop, through the main window
        const DWORD t2 = GetTickCount();
        while (!qubState.stopRequested.load() && GetTickCount() - t2 < 3000) {
            QUB_PumpMessages();
            Sleep(1);
        }
        stopAfterPlain = qubState.stopRequested.load();
    }));
    EXPECT_EQ(stopAfterCtrl, 0);
    EXPECT_EQ(stopAfterPlain, 1);
}

TEST_F(ImageWindows, MouseRecordAndPickFields) {
    LibraryState& s = qubState;
    int recorded[4] = {};
    int cancelOther = -1, cancelPick = -1, clicked = 0, shift = -1, moved = 0;
    ImagePoint click = {}, move = {};
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(3, "mouse", -1, -1, 400, 300, 50);
        QUB_CreateImage(4, "other", -1, -1, 400, 300, 100);
        HWND w = s.images[3].window;
        SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(50, 20));
        recorded[0] = s.mouseImage;
        recorded[1] = s.mouseX;
        recorded[2] = s.mouseY;
        recorded[3] = s.mouseLeft + s.mouseShift + s.mouseCtrl + s.mouseMiddle;

        s.pickImage = 3;
        s.pickCancel = s.pickClicked = s.pickMoved = 0;
        s.pickActive.store(1);
        SendMessageW(s.images[4].window, WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5));
        cancelOther = s.pickCancel;
        SendMessageW(w, WM_MOUSEMOVE, 0, MAKELPARAM(10, 30));
        moved = s.pickMoved;
        move = {s.pickMoveX, s.pickMoveY};
        SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(7, 9));
        clicked = s.pickClicked;
        click = {s.pickClickX, s.pickClickY};
        shift = s.mouseShift;
        SendMessageW(w, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(1, 1));
        cancelPick = s.pickCancel;
        s.pickActive.store(0);
    }));
    EXPECT_EQ(std::vector<int>(recorded, recorded + 4),
              std::vector<int>({3, 100, 40, MK_LBUTTON + MK_SHIFT}));
    EXPECT_EQ(cancelOther, 0) << "a press on another window does not cancel";
    EXPECT_EQ(std::vector<int>({moved, move.x, move.y}), std::vector<int>({1, 20, 60}));
    EXPECT_EQ(std::vector<int>({clicked, click.x, click.y, shift}),
              std::vector<int>({1, 14, 18, 1}));
    EXPECT_EQ(cancelPick, 1);
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
