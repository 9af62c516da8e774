// Clipboard pictures in-process: copy and paste round trips at both depths, the main
// window's paste handed to the worker, and a CF_BITMAP. Foreign DIB blocks, broken ones and
// the placement are the block reader's, tested natively.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "core/library_state.h"
#include "core/worker.h"
#include "image/image_clipboard.h"
#include "image/image_window.h"
#include "tests/host/formats_builders.h"
#include "tests/win/image_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

using Clipboard = ImageTest;

// Puts `block` on the clipboard as CF_DIB, as another program would.
void PutOnClipboard(const std::vector<uint8_t>& block) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, block.size());
    std::memcpy(GlobalLock(memory), block.data(), block.size());
    GlobalUnlock(memory);
    ASSERT_TRUE(OpenClipboard(qubState.mainWindow));
    EmptyClipboard();
    SetClipboardData(CF_DIB, memory);
    CloseClipboard();
}

std::vector<uint8_t> ClipboardBlock() {
    EXPECT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_DIB);
    const auto* p = static_cast<const uint8_t*>(GlobalLock(data));
    const std::vector<uint8_t> bytes(p, p + (p ? GlobalSize(data) : 0));
    GlobalUnlock(data);
    CloseClipboard();
    return bytes;
}

// A 24-bit bottom-up 2 x 2 block: rows 0x322212 0x332313, 0x302010 0x312111.
std::vector<uint8_t> Block24() {
    std::vector<uint8_t> b = {0x10, 0x20, 0x30, 0x11, 0x21, 0x31, 0, 0,
                              0x12, 0x22, 0x32, 0x13, 0x23, 0x33, 0, 0};
    b.insert(b.begin(), 40, 0);
    PutLe32(b, 0, 40);
    PutLe32(b, 4, 2);
    PutLe32(b, 8, 2);
    b[12] = 1;
    b[14] = 24;
    return b;
}

// Copied and pasted into a window like it: the same buffer and 8-bit palette; the 32-bit
// picture goes as a 24-bit block, rows bottom-up.
TEST_F(Clipboard, CopyThenPasteRoundTripsBothDepths) {
    for (int depth : {32, 8}) {
        std::vector<uint8_t> block;
        CloseAllImages();
        ASSERT_TRUE(OnWorker([&] {
            QUB_CreateImageDepth(0, "source", -1, -1, 5, 3, 100, depth);
            FillNoise(0, 4);
            const RGBQUAD odd = {1, 2, 3, 0};
            SetDIBColorTable(qubState.images[0].memoryDC, 17, 1, &odd);
            const Copy k = Copy::Of(0);
            const std::vector<uint32_t> palette = PaletteOf(0);
            EXPECT_EQ(QUB_CopyImage(0), 0);
            block = ClipboardBlock();
            QUB_CreateImageDepth(1, "back", -1, -1, 5, 3, 100, depth);
            QUB_PasteImage(0, 1, 0);
            EXPECT_TRUE(k.SameAs(1)) << depth;
            EXPECT_EQ(PaletteOf(1), palette) << depth;
            EXPECT_TRUE(depth == 8 || block.at(40) == k.bytes[4 * 5 * 2]) << "bottom row first";
        }));
        ASSERT_GE(block.size(), 40u + (depth == 8 ? 1024u : 0u) + 24u);
        EXPECT_EQ(block[14], depth == 8 ? 8 : 24);
        EXPECT_EQ(block[8], 3);
    }
}

// The main window's paste: the bitmap read on this thread is handed to the worker with
// request 9004 and lands at (0, 0) of the window it names, even when another window has
// become current meanwhile; without a window named, in the current one.
TEST_F(Clipboard, BitmapHandedOverByRequestLandsInItsWindow) {
    PutOnClipboard(Block24());
    ASSERT_TRUE(OnWorker([] {
        for (int n : {2, 4}) {
            QUB_CreateImage(n, "pasted", -1, -1, 3, 2, 100);
            for (int i = 0; i < 6; ++i) qubState.imageBits32[n][i] = 0x00ABCDEF;
        }
    }));
    const std::vector<uint32_t> untouched(6, 0x00ABCDEF);
    const std::vector<uint32_t> pasted = {0x00322212, 0x00332313, 0x00ABCDEF,
                                          0x00302010, 0x00312111, 0x00ABCDEF};
    for (int named : {2, -1}) {
        RGBQUAD palette[256];
        int count = -1;
        HBITMAP bitmap = QUB_GetClipboardBitmap(palette, &count);
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(count, 0);
        QUB_RequestPutBitmap(bitmap, named);
        std::vector<uint32_t> got2, got4;
        int current = -1;
        ASSERT_TRUE(OnWorker([&] {
            got2.assign(qubState.imageBits32[2], qubState.imageBits32[2] + 6);
            got4.assign(qubState.imageBits32[4], qubState.imageBits32[4] + 6);
            current = qubState.currentImage;
        }));
        EXPECT_EQ(got2, pasted) << named;
        EXPECT_EQ(got4, named == 2 ? untouched : pasted) << named;
        EXPECT_EQ(current, 4) << "the current window stays";
        EXPECT_EQ(GetObjectType(bitmap), 0u) << "the bitmap is deleted once copied";
    }
}

// Another program's device-dependent bitmap, read while the clipboard is still open on this
// thread: Wine makes a DIB of it only when the clipboard closes, so this is the one way the
// bitmap itself is read. Opened without an owner, as the library opens it to read.
TEST_F(Clipboard, DeviceBitmapOnlyIsReadWhole) {
    const uint32_t a = 0x00C08040u, b = 0x00102030u, old = 0x00ABCDEF;
    std::vector<uint32_t> got;
    ASSERT_TRUE(OnWorker([&] {
        HDC screen = GetDC(nullptr);
        HBITMAP ddb = CreateCompatibleBitmap(screen, 3, 2);
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, 3, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        const uint32_t pixels[6] = {a, b, a, b, b, a};
        SetDIBits(screen, ddb, 0, 2, pixels, &info, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        QUB_CreateImage(0, "target", -1, -1, 4, 2, 100);
        for (int i = 0; i < 8; ++i) qubState.imageBits32[0][i] = old;
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        ASSERT_TRUE(SetClipboardData(CF_BITMAP, ddb));
        EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB)) << "no DIB before the clipboard closes";
        QUB_PasteImage(0, 0, 0);
        CloseClipboard();
        got.assign(qubState.imageBits32[0], qubState.imageBits32[0] + 8);
    }));
    EXPECT_EQ(got, std::vector<uint32_t>({a, b, a, old, b, b, a, old}));
}

}  // namespace
