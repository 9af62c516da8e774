// Clipboard pictures in-process: the copy's block, copy and paste round trips
// for both depths, blocks as other programs make them, malformed ones, and the
// placed paste.
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

uint32_t Known(int x, int y) {
    return static_cast<uint32_t>((x * 37 + 11) << 16 | (y * 53 + 7) << 8 | (x * y * 9 + 3));
}

std::vector<uint8_t> ClipboardBlock() {
    std::vector<uint8_t> bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    HANDLE data = GetClipboardData(CF_DIB);
    const auto* p = data ? static_cast<const uint8_t*>(GlobalLock(data)) : nullptr;
    if (p) {
        bytes.assign(p, p + GlobalSize(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

// A header of `size` bytes (40, 108 or 124) for w x h (negative: top-down).
std::vector<uint8_t> Header(int size, int w, int h, int bits, uint32_t compression,
                            uint32_t colours = 0) {
    std::vector<uint8_t> b(static_cast<size_t>(size), 0);
    PutLe32(b, 0, static_cast<uint32_t>(size));
    PutLe32(b, 4, static_cast<uint32_t>(w));
    PutLe32(b, 8, static_cast<uint32_t>(h));
    b[12] = 1;
    b[14] = static_cast<uint8_t>(bits);
    PutLe32(b, 16, compression);
    PutLe32(b, 32, colours);
    return b;
}

// A 24-bit bottom-up 2 x 2 block: rows 0x322212 0x332313, 0x302010 0x312111.
std::vector<uint8_t> Block24() {
    std::vector<uint8_t> b = Header(40, 2, 2, 24, BI_RGB);
    const uint8_t rows[16] = {0x10, 0x20, 0x30, 0x11, 0x21, 0x31, 0, 0,
                              0x12, 0x22, 0x32, 0x13, 0x23, 0x33, 0, 0};
    b.insert(b.end(), rows, rows + 16);
    return b;
}

TEST_F(Clipboard, CopyThenPasteRoundTripsBothDepths) {
    std::vector<uint8_t> block32, block8;
    std::vector<uint32_t> back32;
    std::vector<uint8_t> back8;
    RGBQUAD palette[256] = {};
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "source", -1, -1, 3, 2, 100);
        for (int i = 0; i < 6; ++i) qubState.imageBits32[0][i] = Known(i % 3, i / 3);
        QUB_CopyImage(0);
        block32 = ClipboardBlock();
        QUB_CreateImage(1, "back", -1, -1, 3, 2, 100);
        QUB_PasteImage(0, 1, 0);
        back32.assign(qubState.imageBits32[1], qubState.imageBits32[1] + 6);

        QUB_CreateImage8(2, "grey", -1, -1, 5, 3, 100);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                qubState.imageBits8[2][y * 8 + x] = static_cast<uint8_t>(40 * y + x);
        RGBQUAD odd = {1, 2, 3, 0};
        SetDIBColorTable(qubState.images[2].memoryDC, 17, 1, &odd);
        QUB_CopyImage(2);
        block8 = ClipboardBlock();
        QUB_CreateImage8(3, "grey back", -1, -1, 5, 3, 100);
        QUB_PasteImage(0, 3, 0);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) back8.push_back(qubState.imageBits8[3][y * 8 + x]);
        GetDIBColorTable(qubState.images[3].memoryDC, 0, 256, palette);
    }));
    // 24 bits, height +2, rows of 12 bytes, the bottom row first.
    ASSERT_GE(block32.size(), 40u + 24u);
    EXPECT_EQ(block32[14], 24);
    EXPECT_EQ(block32[8], 2);
    const uint32_t bottomLeft = Known(0, 1);
    EXPECT_EQ(block32[40], bottomLeft & 255);
    EXPECT_EQ(block32[42], bottomLeft >> 16 & 255);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(back32[i], Known(i % 3, i / 3)) << i;
    ASSERT_GE(block8.size(), 40u + 1024u + 24u);
    EXPECT_EQ(block8[14], 8);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(back8[i], 40 * (i / 5) + i % 5) << i;
    EXPECT_EQ(palette[17].rgbBlue, 1);
    EXPECT_EQ(palette[17].rgbRed, 3);
}

// Blocks as other programs leave them, and ones that lie about their size.
TEST_F(Clipboard, ForeignBlocksAreReadAndBrokenOnesChangeNothing) {
    std::vector<std::vector<uint8_t>> blocks;
    blocks.push_back(Block24());
    {  // 32-bit top-down, V5 header with masks
        std::vector<uint8_t> b = Header(124, 2, -2, 32, BI_BITFIELDS);
        PutLe32(b, 40, 0x00FF0000);
        PutLe32(b, 44, 0x0000FF00);
        PutLe32(b, 48, 0x000000FF);
        const uint32_t px[4] = {0x00323212, 0xFF332313, 0x00301020, 0x00311121};
        b.resize(b.size() + 16);
        std::memcpy(&b[124], px, 16);
        blocks.push_back(b);
    }
    {  // 8-bit with a colour table of three entries
        std::vector<uint8_t> b = Header(40, 2, 2, 8, BI_RGB, 3);
        const uint8_t table[12] = {0x10, 0x20, 0x30, 0, 0x11, 0x21, 0x31, 0, 0x12, 0x22, 0x32, 0};
        b.insert(b.end(), table, table + 12);
        const uint8_t rows[8] = {2, 0, 0, 0, 1, 200, 0, 0};
        b.insert(b.end(), rows, rows + 8);
        blocks.push_back(b);
    }
    std::vector<uint8_t> past = blocks[0];
    PutLe32(past, 8, 1000);  // rows past the block
    std::vector<uint8_t> huge = blocks[0];
    PutLe32(huge, 4, 0x7FFFFFFF);

    std::vector<std::vector<uint32_t>> got;
    std::vector<uint8_t> got8;
    RGBQUAD table[4] = {};
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "target", -1, -1, 4, 2, 100);
        for (const auto& b : {blocks[0], blocks[1], blocks[2], past, huge}) {
            for (int i = 0; i < 8; ++i) qubState.imageBits32[0][i] = 0x00ABCDEF;
            PutDibOnClipboard(b);
            QUB_PasteImage(0, 0, 0);
            got.emplace_back(qubState.imageBits32[0], qubState.imageBits32[0] + 8);
        }
        // Over the edge: only the picture's top-left pixel lands, at (3, 1).
        PutDibOnClipboard(blocks[0]);
        QUB_PasteImage(3, 0, 1);
        got.emplace_back(qubState.imageBits32[0], qubState.imageBits32[0] + 8);
        // Text only: nothing changes.
        ASSERT_TRUE(OpenClipboard(qubState.mainWindow));
        EmptyClipboard();
        HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, 4);
        std::memcpy(GlobalLock(text), "abc", 4);
        GlobalUnlock(text);
        SetClipboardData(CF_TEXT, text);
        CloseClipboard();
        QUB_PasteImage(0, 0, 0);
        got.emplace_back(qubState.imageBits32[0], qubState.imageBits32[0] + 8);
        // The short table into an 8-bit window: its three colours replace the
        // leading entries, the indices are kept, entry 3 stays.
        QUB_CreateImage8(1, "grey", -1, -1, 4, 2, 100);
        PutDibOnClipboard(blocks[2]);
        QUB_PasteImage(1, 1, 0);
        for (int i = 0; i < 8; ++i) got8.push_back(qubState.imageBits8[1][i]);
        GetDIBColorTable(qubState.images[1].memoryDC, 0, 4, table);
    }));
    ASSERT_EQ(got.size(), 7u);
    EXPECT_EQ(got[0][0], 0x00322212u) << "bottom-up: the last stored row is the top";
    EXPECT_EQ(got[0][1], 0x00332313u);
    EXPECT_EQ(got[0][4], 0x00302010u);
    EXPECT_EQ(got[1][0], 0x00323212u);
    EXPECT_EQ(got[1][1], 0x00332313u) << "the stray top byte is dropped";
    EXPECT_EQ(got[1][4], 0x00301020u);
    EXPECT_EQ(got[2][0], 0x00312111u);
    EXPECT_EQ(got[2][1], 0u) << "an index past the table is black";
    EXPECT_EQ(got[2][4], 0x00322212u);
    EXPECT_EQ(got[0][2], 0x00ABCDEFu) << "outside the picture nothing changes";
    for (int k : {3, 4})
        for (uint32_t p : got[k]) EXPECT_EQ(p, 0x00ABCDEFu) << "broken block " << k;
    std::vector<uint32_t> edge = got[4];
    edge[7] = 0x00322212u;
    EXPECT_EQ(got[5], edge);
    EXPECT_EQ(got[6], got[5]);
    EXPECT_EQ(std::vector<uint8_t>(got8.begin() + 1, got8.begin() + 3),
              std::vector<uint8_t>({1, 200}));
    EXPECT_EQ(std::vector<uint8_t>(got8.begin() + 5, got8.begin() + 7),
              std::vector<uint8_t>({2, 0}));
    EXPECT_EQ(table[1].rgbRed, 0x31);
    EXPECT_EQ(table[2].rgbBlue, 0x12);
    EXPECT_EQ(table[3].rgbRed, 3) << "entries past the picture's table are kept";
}

// The main window's paste as a new window: the bitmap read on this thread is
// handed to the worker with request 9004 and lands at (0, 0) of the window it
// names, even when another window has become current meanwhile; without a
// window named, it lands in the current one.
TEST_F(Clipboard, BitmapHandedOverByRequestLandsInItsWindow) {
    PutDibOnClipboard(Block24());
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

// Another program's device-dependent bitmap, read while the clipboard is still
// open on this thread: Wine makes a DIB of it only when the clipboard closes,
// so this is the one way the bitmap itself is read. The clipboard is opened
// without an owner, as the library opens it to read, so that its own open
// succeeds (Wine accepts data set without an owner).
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
