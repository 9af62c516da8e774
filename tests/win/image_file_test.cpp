// Picture files in-process through GDI+: round trips through the five formats at both
// depths, loading at an offset, refusals, bad files, replacing a file. The toolbox test
// goes through the file dialogs.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "image/file_names.h"
#include "image/image_file.h"
#include "image/image_window.h"
#include "imgproc/transforms.h"
#include "tests/host/formats_builders.h"
#include "tests/win/image_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

struct ImageFiles : ImageTest {
    ScratchFolder folder;
};

// An asymmetric picture with distinct channels, so that flips, shears and red/blue swaps
// show; a smooth one for the lossy format; in 8 bits, indices into 16 colours of their own.
uint32_t Known(int x, int y) {
    return static_cast<uint32_t>((x * 37 + 11) << 16 | (y * 53 + 7) << 8 | (x * y * 9 + x + 3));
}
uint32_t Smooth(int x, int y) {
    return static_cast<uint32_t>((x * 5) << 16 | (y * 7) << 8 | (120 + x - y));
}
uint32_t Entry(uint32_t i) {
    return i < 16 ? (i * 16) << 16 | (255 - i * 15) << 8 | (i * 7) : i * 0x010101u;
}
uint32_t Index(int x, int y) { return static_cast<uint32_t>((x + 3 * y) % 16); }

// Fills slot n (w x h) with `pattern` in 32 bits, or with Index through Entry in 8 bits.
void Fill(int n, int w, int h, uint32_t (*pattern)(int, int)) {
    uint32_t palette[256];
    for (uint32_t i = 0; i < 256; ++i) palette[i] = Entry(i);
    if (qubState.images[n].depth == 8) QUB_SetPalette(palette, 256);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (qubState.images[n].depth == 8)
                qubState.imageBits8[n][y * QUB_Stride8(w) + x] = static_cast<uint8_t>(Index(x, y));
            else
                qubState.imageBits32[n][y * w + x] = pattern(x, y);
}

// Each depth through each format through GDI+ and back; `worst` is the largest channel
// error allowed (0: exact).
TEST_F(ImageFiles, RoundTripsOfEachDepthThroughEachFormat) {
    const struct Row {
        int depth, type, w, h, worst;
    } rows[] = {{32, kFileBmp, 7, 5, 0},   {32, kFileGif, 7, 5, 0}, {32, kFilePng, 7, 5, 0},
                {32, kFileTiff, 7, 5, 0},  {8, kFileBmp, 7, 5, 0},  {8, kFileGif, 7, 5, 0},
                {8, kFilePng, 7, 5, 0},    {8, kFileTiff, 7, 5, 0},
                {32, kFileJpeg, 48, 32, 24}};  // Wine ignores the quality
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& r = rows[i];
        SCOPED_TRACE(i);
        const std::string base = Narrow(folder.File(L"rt" + std::to_wstring(i)));
        int saved = -1, loaded = -1, worst = 0;
        ASSERT_TRUE(OnWorker([&] {
            const auto pattern = r.type == kFileJpeg ? Smooth : Known;
            QUB_CreateImageDepth(0, "s", -1, -1, r.w, r.h, 100, r.depth);
            Fill(0, r.w, r.h, pattern);
            if (r.depth == 32) qubState.imageBits32[0][0] |= 0xAB000000u;  // never reaches a file
            saved = QUB_SaveImage(r.h, r.w, r.type, base.c_str());
            QUB_CreateImageDepth(1, "b", -1, -1, r.w, r.h, 100, r.depth);
            loaded = QUB_LoadImage((base + Narrow(kImageFileExtension[r.type])).c_str(), 0, 0);
            uint32_t palette[256];
            QUB_GetPalette(palette);
            for (int y = 0; y < r.h; ++y)
                for (int x = 0; x < r.w; ++x) {
                    const uint32_t got = r.depth == 8 ? palette[PixelAt(1, x, y)]
                                                      : qubState.imageBits32[1][y * r.w + x];
                    const uint32_t want = r.depth == 8 ? Entry(Index(x, y)) : pattern(x, y);
                    worst = std::max(worst, got >> 24 ? 999 : MaxChannelDifference(want, got));
                }
            QUB_DestroyImage(0);
            QUB_DestroyImage(1);
        }));
        EXPECT_EQ(saved, 0);
        EXPECT_EQ(loaded, 0);
        EXPECT_LE(worst, r.worst) << "999: a top byte set";
    }
    EXPECT_EQ(folder.Names().size(), std::size(rows)) << "no temporary file left";
    // BMP: 8 bits with the palette and 2834 pixels per metre; 24 bits for a 32-bit window.
    const std::vector<unsigned char> bmp8 = ReadBytes(folder.File(L"rt4.bmp"));
    ASSERT_GE(bmp8.size(), 54u + 1024u);
    const int green15 = bmp8[14 + bmp8[14] + 4 * 15 + 1];  // entry 15's green
    EXPECT_EQ(std::vector<int>({bmp8[28], bmp8[38] | bmp8[39] << 8, green15}),
              std::vector<int>({8, 2834, 255 - 15 * 15}));
    EXPECT_EQ(ReadBytes(folder.File(L"rt0.bmp")).at(28), 24);
}

// A name that does not fit the 260-unit buffer must not be cut into another
// name: `cut`, the first 259 units of `overlong`, ends in ".bmp".
TEST_F(ImageFiles, RefusalsLeaveNoFile) {
    const std::wstring head = folder.File(L"");
    ASSERT_LT(head.size(), 200u);
    const std::wstring cut = head + std::wstring(259 - head.size() - 4, L'n') + L".bmp";
    const std::string overlong = Narrow(cut + L"tail"), good = Narrow(folder.File(L"ok"));
    const std::string missingFolder = Narrow(folder.File(L"no such folder\\x"));
    std::vector<int> got;
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "s", -1, -1, 7, 5, 100);
        got = {QUB_SaveImage(5, 7, kFilePng, missingFolder.c_str()),
               QUB_SaveImage(0, 7, kFilePng, good.c_str()),  // empty rectangle
               QUB_SaveImage(5, 7, 5, good.c_str()),         // no such type
               QUB_SaveImage(5, 7, kFileBmp, overlong.c_str()),
               QUB_SaveImage(5, 7, kFileBmp, Narrow(cut).c_str()),
               QUB_LoadImage(overlong.c_str(), 0, 0)};  // the cut name exists
        QUB_DestroyImage(0);
        got.push_back(QUB_SaveImage(5, 7, kFilePng, good.c_str()));
    }));
    EXPECT_EQ(got, std::vector<int>({1, 2, 1, 1, 0, 1, 3}));
    EXPECT_EQ(folder.Names().size(), 1u) << "only the cut name";
}

// A text file and a header claiming 100000 x 100000 are refused, the window as it was.
// Other hostile headers are refused by native guards, tested natively.
TEST_F(ImageFiles, BadFilesAreRefusedWithoutACrash) {
    Bytes huge = MakeBmp(2, 2, 24);
    PutLe32(huge, 18, 100000);
    PutLe32(huge, 22, 100000);
    const std::string text = "This is a text file and not a picture.\r\n";
    const std::vector<unsigned char> files[] = {{text.begin(), text.end()}, huge};
    ASSERT_TRUE(OnWorker([] { QUB_CreateImage(0, "g", -1, -1, 48, 32, 100); }));
    for (const auto& bytes : files) {
        ASSERT_TRUE(WriteBytes(folder.File(L"bad.jpg"), bytes));
        ASSERT_TRUE(OnWorker([&] {
            Fill(0, 48, 32, Known);
            const Copy before = Copy::Of(0);
            EXPECT_EQ(QUB_LoadImage(Narrow(folder.File(L"bad.jpg")).c_str(), 0, 0), 1);
            EXPECT_TRUE(before.SameAs(0));
        }, 60000));
    }
}

// Replaced when free; held open without delete sharing, as a viewer showing it would, the
// file is kept whole and the save refused.
TEST_F(ImageFiles, SaveReplacesOrKeepsAnExistingFileWhole) {
    const std::wstring target = folder.File(L"keep.png");
    const std::string name = Narrow(target);
    int replaced = -1, refused = -1;
    ASSERT_TRUE(WriteBytes(target, {'o', 'l', 'd'}));
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "s", -1, -1, 7, 5, 100);
        replaced = QUB_SaveImage(5, 7, kFilePng, name.c_str());
    }));
    const std::vector<unsigned char> afterReplace = ReadBytes(target);
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_TRUE(OnWorker([&] { refused = QUB_SaveImage(3, 3, kFilePng, name.c_str()); }));
    CloseHandle(held);
    EXPECT_EQ(std::vector<int>({replaced, refused}), std::vector<int>({0, 1}));
    EXPECT_EQ(afterReplace.at(1), 'P') << "the old file was replaced by the picture";
    EXPECT_EQ(ReadBytes(target), afterReplace) << "the earlier picture is kept whole";
    EXPECT_EQ(folder.Names().size(), 1u) << "no temporary file left";
}

}  // namespace
