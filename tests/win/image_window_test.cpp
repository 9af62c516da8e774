// Image windows in-process: creation and its result codes, the buffer as GDI made it, zoom,
// resize, what the window shows, and the window procedure's keys, wheel and mouse record.
// Zoom arithmetic and key mapping are tested natively.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "image/image_window.h"
#include "tests/win/image_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

using ImageWindows = ImageTest;

// The result code of each call, in order, with the state it leaves.
TEST_F(ImageWindows, ResultCodes) {
    HWND first = nullptr, resized = nullptr;
    std::vector<int> codes;
    ASSERT_TRUE(OnWorker([&] {
        const uint32_t colours[3] = {0x00FF0000u, 0x0000FF00u, 0x00123456u};
        codes = {QUB_CreateImage(256, "x", -1, -1, 10, 10, 100),
                 QUB_CreateImageDepth(3, "x", -1, -1, 10, 10, 100, 24),
                 QUB_CreateImage(3, "first", -1, -1, 10, 10, 100),
                 QUB_CreateImage(4, "other", -1, -1, 10, 10, 100)};
        first = qubState.images[3].window;
        codes.push_back(QUB_CreateImage8(3, "second", -1, -1, 20, 20, 100));  // slot taken
        EXPECT_EQ(qubState.images[3].window, first) << "the existing window is untouched";
        EXPECT_EQ(qubState.currentImage, 4) << "a refused creation does not select";
        resized = qubState.images[4].window;
        codes.insert(codes.end(), {QUB_CreateImage(5, "long", -1, -1, 100000, 1, 100),
                                   QUB_CreateImage(6, "huge", -1, -1, 100000, 100000, 100),
                                   QUB_SetPalette(colours, 3),  // of a 32-bit window
                                   QUB_DestroyImage(3), QUB_SelectImage(3),
                                   // Too long and thin: the old window is closed first.
                                   QUB_ResizeImage(4, 100000, 1), QUB_DisplayImage(4)});
        QUB_CreateImage(5, "close me", -1, -1, 120, 40, 100);
        SendMessageW(qubState.images[5].window, WM_CLOSE, 0, 0);
        codes.push_back(QUB_DisplayImage(5));
    }));
    EXPECT_EQ(codes, std::vector<int>({4, 3, 0, 0, 1, 2, 3, 2, 0, 1, 2, 1, 1}));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(IsWindow(resized)) << "closed before the resize failed";
}

// The sections GDI made: 32-bit rows of width words, 8-bit rows padded to
// four bytes, the library's pointers on their bits, and row 0 at the top.
TEST_F(ImageWindows, BufferLayoutAsGdiMadeIt) {
    const struct {
        int depth, width, stride;
    } rows[] = {{32, 3, 12}, {8, 3, 4}, {8, 5, 8}};
    COLORREF topLeft = 0, secondRow = 0;
    ASSERT_TRUE(OnWorker([&] {
        for (int n = 0; n < 3; ++n) {
            QUB_CreateImageDepth(n, "w", -1, -1, rows[n].width, 2, 100, rows[n].depth);
            DIBSECTION d = {};
            GetObjectW(qubState.images[n].dib, sizeof d, &d);
            EXPECT_EQ(d.dsBm.bmWidthBytes, rows[n].stride) << n;
            EXPECT_EQ(static_cast<void*>(qubState.imageBits8[n]), d.dsBm.bmBits) << n;
        }
        qubState.imageBits32[0][0] = 0x00FF0000u;
        qubState.imageBits32[0][4] = 0x000000FFu;
        topLeft = GetPixel(qubState.images[0].memoryDC, 0, 0);
        secondRow = GetPixel(qubState.images[0].memoryDC, 1, 1);
    }));
    EXPECT_EQ(topLeft, RGB(255, 0, 0)) << "top-down rows, 0x00RRGGBB words";
    EXPECT_EQ(secondRow, RGB(0, 0, 255)) << "stride of width words";
}

// Sizes below one become one; the place, style, owner, class, title and client size of a
// placed window; a window re-created by a resize stays where it was, even at x = -1.
TEST_F(ImageWindows, CreationSizesStyleAndPlace) {
    RECT moved = {}, r = {};
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(3, "d", 60, 60, 120, 40, 100);
        SetWindowPos(qubState.images[3].window, nullptr, -1, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        QUB_ResizeImage(3, 150, 50);
        GetWindowRect(qubState.images[3].window, &moved);
        QUB_CreateImage(4, "zero", -1, -1, 0, -5, 100);
        QUB_CreateImage8(6, "placed", 40, 30, 400, 200, 50);
    }));
    HWND w = qubState.images[6].window;
    GetWindowRect(w, &r);
    EXPECT_EQ(std::vector<LONG>({moved.left, moved.top, r.left, r.top, ClientSize(w).cx,
                                 ClientSize(w).cy, qubState.images[4].width,
                                 qubState.images[4].height}),
              std::vector<LONG>({-1, 70, 40, 30, 200, 100, 1, 1}));
    EXPECT_EQ(GetWindowLongW(w, GWL_STYLE) & (WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX),
              WS_SYSMENU);
    EXPECT_TRUE(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    EXPECT_EQ(GetWindow(w, GW_OWNER), qubState.mainWindow);
    EXPECT_EQ(WindowText(w), L"placed(50%)[8bit]");
    wchar_t cls[16];
    GetClassNameW(w, cls, 16);
    EXPECT_STREQ(cls, L"qub_iw");
}

// Zoom keeps the buffer and the top-left corner; a resize keeps place, palette and stretch
// mode, clears the buffer and makes the window current.
TEST_F(ImageWindows, ZoomAndResizeKeepTheirWindow) {
    RECT before = {}, zoomed = {}, resized = {};
    uint32_t palette[256] = {};
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage8(4, "z", 70, 80, 400, 300, 100);
        FillNoise(4, 3);
        const Copy k = Copy::Of(4);
        GetWindowRect(qubState.images[4].window, &before);
        EXPECT_EQ(QUB_SetZoom(4, 50), 0);
        EXPECT_TRUE(k.SameAs(4));
        GetWindowRect(qubState.images[4].window, &zoomed);
        const uint32_t colours[2] = {0x00ABCDEFu, 0x00010203u};
        QUB_SetPalette(colours, 2);
        QUB_SetStretchMode(4, HALFTONE);
        QUB_CreateImage(5, "other", -1, -1, 100, 60, 100);
        EXPECT_EQ(QUB_ResizeImage(4, 300, 200), 0);
        GetWindowRect(qubState.images[4].window, &resized);
        EXPECT_EQ(qubState.currentImage, 4) << "the resized window is current";
        QUB_GetPalette(palette);
        EXPECT_EQ(QUB_GetStretchMode(4), HALFTONE);
        EXPECT_EQ(Copy::Of(4).bytes, std::vector<uint8_t>(Copy::BytesOf(4), 0)) << "cleared";
    }));
    EXPECT_EQ(std::vector<LONG>({zoomed.left, zoomed.top, resized.left, resized.top}),
              std::vector<LONG>({before.left, before.top, before.left, before.top}));
    EXPECT_EQ(zoomed.right - zoomed.left, before.right - before.left - 200);
    EXPECT_EQ(ClientSize(qubState.images[4].window).cx, 150);
    EXPECT_EQ(std::vector<uint32_t>({palette[0], palette[1], palette[3], palette[255]}),
              std::vector<uint32_t>({0x00ABCDEFu, 0x00010203u, 0x00030303u, 0x00FFFFFFu}));
    EXPECT_EQ(WindowText(qubState.images[4].window), L"z(50%)[8bit]*");
}

// What the window shows after a redisplay, read back from its device context: the whole
// buffer scaled to the client area, at 100 % and zoomed.
TEST_F(ImageWindows, DisplayShowsTheWholeBufferScaled) {
    for (int zoom : {100, 50}) {
        COLORREF seen[3] = {};
        ASSERT_TRUE(OnWorker([&] {
            QUB_CreateImage(0, "shown", 0, 0, 400, 200, zoom);
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 400; ++x)
                    qubState.imageBits32[0][y * 400 + x] = x < 200 ? 0x00FF0000u : 0x000000FFu;
            // A 2 x 2 corner block, so that halving cannot drop it.
            for (int i : {198 * 400 + 398, 198 * 400 + 399, 199 * 400 + 398, 199 * 400 + 399})
                qubState.imageBits32[0][i] = 0x0000FF00u;
            QUB_DisplayImage(0);
            const ImageWindowRecord& r = qubState.images[0];
            seen[0] = GetPixel(r.windowDC, r.displayWidth / 4, r.displayHeight / 2);
            seen[1] = GetPixel(r.windowDC, r.displayWidth * 3 / 4, r.displayHeight / 2);
            seen[2] = GetPixel(r.windowDC, r.displayWidth - 1, r.displayHeight - 1);
            QUB_DestroyImage(0);
        }));
        EXPECT_EQ(std::vector<COLORREF>(seen, seen + 3),
                  std::vector<COLORREF>({RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 255, 0)}))
            << "zoom " << zoom;
    }
}

// The client area of slot n as GDI shows it, 0x00RRGGBB, rows top-down.
std::vector<uint32_t> Shown(int n, HDC from) {
    const ImageWindowRecord& r = qubState.images[n];
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = r.displayWidth;
    info.bmiHeader.biHeight = -r.displayHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(r.windowDC);
    HBITMAP dib = CreateDIBSection(r.windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    if (from == r.memoryDC) {  // the whole buffer through GDI's own halftone stretch
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, 0, 0, r.displayWidth, r.displayHeight, from, 0, 0, r.width, r.height,
                   SRCCOPY);
    } else {
        BitBlt(dc, 0, 0, r.displayWidth, r.displayHeight, from, 0, 0, SRCCOPY);
    }
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    std::vector<uint32_t> out(p, p + size_t(r.displayWidth) * size_t(r.displayHeight));
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    for (uint32_t& v : out) v &= 0xFFFFFFu;
    return out;
}

// Below 50 % in halftone mode the window paints from its reduced copy. At a whole factor it shows
// each block's mean, which GDI's halftone stretch does not give under Wine (it samples); on a
// smooth picture it is within two levels of that stretch of the whole buffer at any zoom. A
// partial redisplay shows the columns asked for as a whole one would and leaves the rest of the
// window as it was.
TEST_F(ImageWindows, ReducedCopyAndPartialRedisplay) {
    for (int zoom : {10, 25, 40, 50}) {
        int worstGdi = 0, worstMean = 0, outsideChanged = 0, bandWrong = 0, column = 0;
        ASSERT_TRUE(OnWorker([&] {
            const int w = 1280, h = 800, f = 100 / zoom;
            QUB_CreateImage(0, "small", 0, 0, w, h, zoom);
            QUB_SetStretchMode(0, HALFTONE);
            uint32_t* bits = qubState.imageBits32[0];
            const ImageWindowRecord& r = qubState.images[0];
            if (zoom < 50 && 100 % zoom == 0) {  // detail in every pixel, reduced by a whole factor
                for (int k = 0; k < w * h; ++k) bits[k] = uint32_t(k) * 2654435761u >> 8;
                QUB_DisplayImage(0);
                const std::vector<uint32_t> shown = Shown(0, r.windowDC);
                for (int y = 0; y < r.displayHeight; ++y)
                    for (int x = 0; x < r.displayWidth; ++x) {
                        uint32_t mean = 0;
                        for (int shift = 0; shift <= 16; shift += 8) {
                            uint32_t sum = 0;
                            for (int v = y * f; v < (y + 1) * f; ++v)
                                for (int u = x * f; u < (x + 1) * f; ++u)
                                    sum += bits[v * w + u] >> shift & 255;
                            mean |= (sum + uint32_t(f * f / 2)) / uint32_t(f * f) << shift;
                        }
                        const uint32_t seen = shown[size_t(y * r.displayWidth + x)];
                        worstMean = std::max(worstMean, MaxChannelDifference(mean, seen));
                    }
            }
            for (int y = 0; y < h; ++y)  // a smooth picture, as photographs are mostly
                for (int x = 0; x < w; ++x)
                    bits[y * w + x] = uint32_t(x * 255 / w) << 16 | uint32_t(y * 255 / h) << 8 |
                                      uint32_t((x + y) * 255 / (w + h));
            QUB_DisplayImage(0);
            const std::vector<uint32_t> shown = Shown(0, r.windowDC), full = Shown(0, r.memoryDC);
            for (size_t k = 0; k < shown.size(); ++k)
                worstGdi = std::max(worstGdi, MaxChannelDifference(shown[k], full[k]));
            for (int k = 0; k < w * h; ++k) bits[k] = 0xFFFFFFu;
            QUB_DisplayImageRect(0, 641, 0, 1, h);
            const std::vector<uint32_t> after = Shown(0, r.windowDC);
            QUB_DisplayImage(0);
            const std::vector<uint32_t> whole = Shown(0, r.windowDC);
            column = 641 * r.displayWidth / w;
            for (int y = 0; y < r.displayHeight; ++y)
                for (int x = 0; x < r.displayWidth; ++x) {
                    const size_t k = size_t(y * r.displayWidth + x);
                    if (std::abs(x - column) <= 2) bandWrong += after[k] != whole[k];
                    if (std::abs(x - column) > 4) outsideChanged += after[k] != shown[k];
                }
            QUB_DestroyImage(0);
        }));
        EXPECT_LE(worstMean, 1) << "zoom " << zoom;
        EXPECT_LE(worstGdi, 2) << "zoom " << zoom;
        EXPECT_EQ(outsideChanged, 0) << "zoom " << zoom;
        EXPECT_EQ(bandWrong, 0) << "zoom " << zoom << ", column " << column;
    }
}

// Keys and wheel in turn on one window, with the title and stretch mode each leaves. A
// wheel turned toward the user (negative) zooms in with Ctrl.
TEST_F(ImageWindows, KeysAndWheelStepZoomAndTabTogglesHalftone) {
    const struct {
        UINT message;
        WPARAM w;
        bool ctrl;
        const wchar_t* title;
    } steps[] = {
        {WM_KEYDOWN, VK_SUBTRACT, true, L"keys(90%)"},
        {WM_KEYDOWN, VK_ADD, false, L"keys(90%)"},
        {WM_KEYDOWN, VK_TAB, false, L"keys(90%)*"},
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<WORD>(-120)), false, L"keys(100%)*"},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), false, L"keys(100%)*"},
        {WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, 120), false, L"keys(90%)*"},
        {WM_KEYDOWN, VK_TAB, false, L"keys(90%)"},
    };
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "keys", -1, -1, 200, 150, 100);
        const ImageWindowRecord& r = qubState.images[0];
        for (const auto& step : steps) {
            SetKeyState(VK_CONTROL, step.ctrl);
            SendMessageW(r.window, step.message, step.w, 0);
            const std::wstring title = WindowText(r.window);
            EXPECT_EQ(title, step.title);
            const int mode = title.back() == L'*' ? HALFTONE : COLORONCOLOR;
            EXPECT_EQ(GetStretchBltMode(r.memoryDC), mode) << Narrow(title);
            EXPECT_EQ(GetStretchBltMode(r.windowDC), mode) << Narrow(title);
        }
        SetKeyState(VK_CONTROL, false);
    }));
}

// The mouse record, in image pixels at 50 %; a press on another window does not cancel a
// pick. The pick tools' clicks are tested with them.
TEST_F(ImageWindows, MouseRecordAndPickFields) {
    LibraryState& s = qubState;
    std::vector<int> got;
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(3, "mouse", -1, -1, 400, 300, 50);
        QUB_CreateImage(4, "other", -1, -1, 400, 300, 100);
        SendMessageW(s.images[3].window, WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(50, 20));
        got = {s.mouseImage, s.mouseX, s.mouseY,
               s.mouseLeft + s.mouseShift + s.mouseCtrl + s.mouseMiddle};
        s.pickImage = 3;
        s.pickCancel = 0;
        s.pickActive.store(1);
        SendMessageW(s.images[4].window, WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5));
        s.pickActive.store(0);
        got.push_back(s.pickCancel);
    }));
    EXPECT_EQ(got, std::vector<int>({3, 100, 40, MK_LBUTTON + MK_SHIFT, 0}));
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
