// The image window's pure parts: zoom, buffer layouts, file names, palette, keys, caption.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>
#include "core/text_cut.h"
#include "image/box_reduce.h"
#include "image/buffer_layout.h"
#include "image/file_names.h"
#include "image/image_keys.h"
#include "image/image_title.h"
#include "image/palette_reduce.h"
#include "image/zoom.h"

namespace {
// A 1280 x 1024 screen with a 19-pixel caption and a minimum client area of 118 x 27.
constexpr ZoomLimits kLimits = {118, 27, 1280, 1005};

// Expected values worked by hand; -1 leaves a field unchecked.
TEST(FitZoom, WorkedSizes) {
    const struct {
        int width, height, wished, result, zoom, displayWidth, displayHeight;
    } cases[] = {
        {401, 211, 37, kZoomFitted, 37, 148, 78},        // 37 % exactly, not 36.99999
        {16, 16, 100, kZoomFitted, 738, 118, 118},  // ceil(118 * 100 / 16): the minimum width
        {500, 10, 100, kZoomDoesNotFit, 1, 2, 3},        // needs 270 % and 1350 pixels
        {3, 3, 2147483647, kZoomFitted, 33500, -1, -1},  // no overflow
    };
    for (const auto& c : cases) {
        ZoomFit f = {1, 2, 3};
        EXPECT_EQ(QUB_FitZoom(c.width, c.height, c.wished, kLimits, &f), c.result) << c.width;
        EXPECT_TRUE(f.zoom == c.zoom && (c.displayWidth < 0 || f.displayWidth == c.displayWidth) &&
                    (c.displayHeight < 0 || f.displayHeight == c.displayHeight)) << c.width;
    }
}

// Over a grid of sizes and wishes (0 and below included): the display fits the
// screen, reaches the minimum, and one more percent would exceed the screen or the wish.
TEST(FitZoom, PropertiesOverManySizes) {
    int checked = 0;
    for (int width = 1; width <= 3000; width += 37) {
        for (int height = 1; height <= 3000; height += 41) {
            for (int wished : {-1000, 1, 50, 100, 333}) {
                ZoomFit f;
                if (QUB_FitZoom(width, height, wished, kLimits, &f) != kZoomFitted) continue;
                ++checked;
                ASSERT_TRUE(f.displayWidth <= kLimits.screenWidth && f.zoom >= 1 &&
                            f.displayHeight <= kLimits.screenHeight);
                if (QUB_ScaledSize(width, f.zoom - 1) < kLimits.minWidth ||
                    QUB_ScaledSize(height, f.zoom - 1) < kLimits.minHeight)
                    continue;  // raised to the minimum size
                ASSERT_GE(std::min(f.displayWidth - kLimits.minWidth,
                                   f.displayHeight - kLimits.minHeight), 0);
                // In exact terms: the rule compares real, not truncated, sizes.
                const int64_t next = f.zoom + 1;
                const bool nextTooBig = width * next > 100LL * kLimits.screenWidth ||
                                        height * next > 100LL * kLimits.screenHeight;
                ASSERT_TRUE(f.zoom == std::max(wished, 1) || nextTooBig)
                    << width << " x " << height << " wished " << wished << " got " << f.zoom;
            }
        }
    }
    EXPECT_GT(checked, 20000);
}

TEST(ZoomSteps, InAndOutAndTheMouseWords) {
    EXPECT_TRUE(QUB_ZoomStepIn(123) == 137 && QUB_ZoomStepOut(90) == 81);
    EXPECT_TRUE(QUB_ZoomStepOut(1) == 1 && QUB_ZoomStepIn(2147483647) == 2147483647);
    const ImagePoint p = QUB_MousePointToImage(0xFFFF0032u, 50);
    EXPECT_TRUE(p.x == 100 && p.y == 131070) << "a high word of 0xFFFF is not -1";
}

TEST(BufferLayout, StridesAndSizesAtTheLimit) {
    const int strides[][3] = {{3, 32, 12}, {4, 8, 4}, {5, 8, 8}, {5, 24, 0}};
    for (const auto& c : strides)
        EXPECT_EQ(QUB_RowStride(c[0], c[1]), c[2]) << c[0] << " at " << c[1];
    const struct {
        int width, height, bits;
        int64_t bytes;  // -1: refused, the output untouched
    } cases[] = {
        {16384, 32767, 32, int64_t{16384} * 4 * 32767},
        {16384, 32768, 32, -1},                     // exactly 2^31 bytes
        {65533, 32767, 8, int64_t{65536} * 32767},  // rows padded to 65536
        {65533, 32768, 8, -1}, {2147483647, 1, 8, -1},  // padding carries past 2^31
        {0, 10, 32, -1}, {10, -1, 32, -1}, {10, 10, 16, -1},
    };
    for (const auto& c : cases) {
        int64_t bytes = -1;
        EXPECT_EQ(QUB_BufferBytes(c.width, c.height, c.bits, &bytes), c.bytes >= 0)
            << c.width << " x " << c.height;
        EXPECT_EQ(bytes, c.bytes) << c.width << " x " << c.height;
    }
    for (int v : {0, -5, 7}) EXPECT_EQ(QUB_AtLeastOne(v), v < 1 ? 1 : v);
}

// 8 bits, 5 x 3 at stride 8 with padding 0xEE, into a DIB layout of stride 4
// for width 3: neither padding is read or written.
TEST(ReadRect8, RespectsBothStrides) {
    std::vector<uint8_t> pic(8 * 3, 0xEE), dib(4 * 2, 0x77);
    for (int k = 0; k < 15; ++k) pic[size_t(k / 5 * 8 + k % 5)] = uint8_t(10 * (k / 5) + k % 5);
    QUB_ReadRect8(pic.data(), 5, 3, 8, 2, 1, 3, 2, dib.data(), 4);
    EXPECT_EQ(dib, std::vector<uint8_t>({12, 13, 14, 0x77, 22, 23, 24, 0x77}));
    QUB_ReadRect8(pic.data(), 5, 3, 8, 2, 1, 4, 2, dib.data(), 4);  // column 5 is outside
    EXPECT_EQ(dib, std::vector<uint8_t>({12, 13, 14, 0, 22, 23, 24, 0}));
}

// Top bytes cleared inside the clipped rectangle only; a 3 x 2 block of 4-byte
// pixels written over two corners and far away: only the overlap is written.
TEST(WriteRect, ClipsAtEveryEdge) {
    std::vector<uint32_t> pic(5 * 3, 0xFF123456u);
    QUB_ClearTopBytes(pic.data(), 5, 3, 3, -1, 4, 3);  // columns 3-4, rows 0-1 inside
    for (int k = 0; k < 15; ++k)
        EXPECT_EQ(pic[size_t(k)], k % 5 >= 3 && k < 10 ? 0x00123456u : 0xFF123456u) << k;
    const uint32_t block[6] = {1, 2, 3, 4, 5, 6};
    const auto* src = reinterpret_cast<const uint8_t*>(block);
    pic.assign(5 * 3, 0);
    auto* dst = reinterpret_cast<uint8_t*>(pic.data());
    QUB_WriteRect(src, 12, 3, 2, 4, dst, 5, 3, 20, -1, -1);  // 5 and 6 at (0, 0), (1, 0)
    QUB_WriteRect(src, 12, 3, 2, 4, dst, 5, 3, 20, 3, 2);    // 1 and 2 at (3, 2), (4, 2)
    QUB_WriteRect(src, 12, 3, 2, 4, dst, 5, 3, 20, -2147483647, 2147483600);
    EXPECT_EQ(pic, std::vector<uint32_t>({5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2}));
}

TEST(ExtensionRule, AppendsUnlessAlreadyThereAndFits) {
    const std::wstring a255(255, L'a'), a256(256, L'a');
    const struct {
        std::wstring name;
        int type;
        std::wstring result;
        bool fitted;
    } cases[] = {
        {L"C:\\a.b\\photo.jpeg", kFileJpeg, L"C:\\a.b\\photo.jpeg.jpg", true},
        // U+0130 (capital I with dot) must not count as the 'i' of ".tif".
        {L"x.t\u0130f", kFileTiff, L"x.t\u0130f.tif", true},
        {a255, kFileBmp, a255 + L".bmp", true},  // 255 + 4 + terminator = 260
        {a256, kFileBmp, a256, false},
    };
    for (const auto& c : cases) {
        wchar_t buffer[kFileNameUnits];
        std::wcscpy(buffer, c.name.c_str());
        EXPECT_EQ(QUB_AppendExtensionTo(buffer, kFileNameUnits, kImageFileExtension[c.type]),
                  c.fitted);
        EXPECT_EQ(std::wstring(buffer), c.result) << c.name.size();
    }
}

// The temporary name beside the target ("" when it does not fit); a root keeps its separator.
TEST(TempName, BesideTheTarget) {
    const std::wstring deep = L"C:\\" + std::wstring(250, L'd') + L"\\p.jpg";
    const struct {
        std::wstring target;
        unsigned number;
        std::wstring temp;
        size_t folder;
    } cases[] = {{L"C:\\pics\\photo.jpg", 0x2a, L"C:\\pics\\~qub0000002a.tmp", 7},
                 {L"photo.jpg", 0xffffffffu, L"~qubffffffff.tmp", 0},
                 {L"C:\\b.jpg", 1, L"C:\\~qub00000001.tmp", 3},
                 {L"/b.jpg", 1, L"/~qub00000001.tmp", 1}, {deep, 1, L"", 253}};
    for (const auto& c : cases) {
        wchar_t out[kFileNameUnits] = L"";
        EXPECT_EQ(QUB_TempSiblingName(c.target.c_str(), c.number, out, kFileNameUnits),
                  !c.temp.empty());
        if (!c.temp.empty()) { EXPECT_EQ(std::wstring(out), c.temp); }
        EXPECT_EQ(QUB_FolderPartLength(c.target.c_str()), c.folder) << c.target.size();
    }
}

// 30 and 256 distinct colours are kept exactly, the padding untouched.
TEST(PaletteReduce, FewColoursAreKeptExactly) {
    for (const int colours : {30, 256}) {
        const int w = colours == 30 ? 7 : 16, h = colours == 30 ? 5 : 16, stride = w + 1;
        std::vector<uint32_t> pic(static_cast<size_t>(w * h));
        for (int i = 0; i < w * h; ++i)
            pic[size_t(i)] = colours == 30 ? 0x010203u * uint32_t(i % 30) + 0x00A000u
                                           : uint32_t(i) * 0x010101u ^ 0x00300000u;
        pic[3] |= 0xFF000000u;  // the top byte is no part of the colour
        std::vector<uint8_t> idx(static_cast<size_t>(stride * h), 0xEE);
        uint32_t palette[256];
        EXPECT_EQ(QUB_ReduceToPalette(pic.data(), w, h, idx.data(), stride, palette), colours);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x)
                EXPECT_EQ(palette[idx[size_t(y * stride + x)]], pic[size_t(y * w + x)] & 0xFFFFFFu);
            EXPECT_EQ(idx[size_t(y * stride + w)], 0xEE) << "padding untouched";
        }
    }
}

TEST(PaletteReduce, ManyColoursGoToTheNearestCubeColour) {
    std::vector<uint32_t> pic;  // every 4th value of each channel
    for (uint32_t r = 0; r < 256; r += 4)
        for (uint32_t g = 0; g < 256; g += 4)
            for (uint32_t b = 0; b < 256; b += 4) pic.push_back(r << 16 | g << 8 | b);
    const int w = 64, h = static_cast<int>(pic.size()) / 64;
    std::vector<uint8_t> idx(pic.size());
    uint32_t palette[256];
    ASSERT_EQ(QUB_ReduceToPalette(pic.data(), w, h, idx.data(), w, palette), 252);
    const int tolerance[3] = {26, 22, 26};  // half a step of 255/5, 255/6 and 255/5
    for (size_t i = 0; i < pic.size(); ++i)
        for (int ch = 0, shift = 16; ch < 3; ++ch, shift -= 8) {
            const int d = int(pic[i] >> shift & 255) - int(palette[idx[i]] >> shift & 255);
            ASSERT_LE(std::abs(d), tolerance[ch]) << std::hex << pic[i];
        }
}

// Each block is the rounded mean of the pixels it holds, edge blocks partial;
// a range of blocks writes those blocks and nothing else. The large picture is
// reduced in bands on two threads.
TEST(BoxReduce, BlocksAreRoundedMeansAndRangesStayInside) {
    const struct { int w, h, factor, bx0, by0, bx1, by1; } cases[] = {
        {7, 5, 2, 0, 0, 9, 9}, {7, 5, 3, 1, 0, 2, 2},   {7, 5, 7, 0, 0, 1, 1},
        {7, 5, 8, 0, 0, 1, 1}, {7, 5, 2, 3, 2, 4, 3},   {1100, 1001, 3, -5, 0, 400, 400},
        {250, 130, 100, 0, 0, 3, 2}};
    for (const auto& c : cases) {
        std::vector<uint32_t> pic(size_t(c.w * c.h));
        for (size_t i = 0; i < pic.size(); ++i) pic[i] = uint32_t(i * 2654435761u) >> 8;
        if (c.factor == 100) std::fill(pic.begin(), pic.end(), 0xFFFFFFFFu);  // the largest sums
        const int cw = QUB_ReducedSize(c.w, c.factor), ch = QUB_ReducedSize(c.h, c.factor);
        std::vector<uint32_t> out(size_t(cw * ch), 0xEEEEEEEEu);
        QUB_BoxReduce(pic.data(), c.w, c.h, c.factor, out.data(), c.bx0, c.by0, c.bx1, c.by1);
        for (int by = 0; by < ch; ++by)
            for (int bx = 0; bx < cw; ++bx) {
                uint32_t want = 0xEEEEEEEEu;
                if (bx >= c.bx0 && bx < c.bx1 && by >= c.by0 && by < c.by1) {
                    want = 0;
                    for (int shift = 0; shift <= 16; shift += 8) {
                        uint32_t sum = 0, n = 0;
                        const int f = c.factor;
                        for (int y = by * f; y < std::min(c.h, (by + 1) * f); ++y)
                            for (int x = bx * f; x < std::min(c.w, (bx + 1) * f); ++x, ++n)
                                sum += pic[size_t(y * c.w + x)] >> shift & 255;
                        want |= uint32_t(int(double(sum) / n + 0.5)) << shift;
                    }
                }
                ASSERT_EQ(out[size_t(by * cw + bx)], want)
                    << c.w << " " << c.factor << " " << bx << "," << by;
            }
    }
    EXPECT_EQ(QUB_ReductionFactor(10), 10);
    EXPECT_EQ(QUB_ReductionFactor(30), 3);
    EXPECT_EQ(QUB_ReductionFactor(49), 2);
    EXPECT_EQ(QUB_ReductionFactor(50), 0) << "no reduced copy from 50 % up";
}

TEST(ImageKeys, WhatEachKeyDoes) {
    using A = ImageKeyAction;
    const ImageKeyResult clip = QUB_ImageWindowKey('R', true, false);
    EXPECT_TRUE(clip.action == A::kPostCommand && clip.command == 1019);
    EXPECT_EQ(QUB_ImageWindowKey(0x60, true, false).action, A::kZoom100) << "the keypad's 0";
    EXPECT_EQ(QUB_ImageWindowKey('0', true, false).action, A::kNone);
    EXPECT_EQ(QUB_ImageWindowKey(0x09, false, false).action, A::kToggleStretch);
    EXPECT_EQ(QUB_ImageWindowKey('S', true, false).action, A::kPassToMain) << "no shortcut: an S";
    EXPECT_EQ(QUB_ImageWindowKey(0x09, false, true).action, A::kNone) << "ignored while picking";
}

TEST(ImageTitle, LongTitlesAreCutToKeepTheSuffix) {
    char out[kImageTitleBytes];
    QUB_FormatImageTitle(out, nullptr, 5, 32, false, QUB_IsLeadByteNone);
    EXPECT_STREQ(out, "(5%)");
    QUB_FormatImageTitle(out, std::string(300, 'a').c_str(), 1234, 8, true, QUB_IsLeadByteNone);
    EXPECT_EQ(std::string(out), std::string(241, 'a') + "(1234%)[8bit]*");
    std::string dbcs(241, 'a');  // code page 932: a fifth character would be split at 255
    for (int i = 0; i < 20; ++i) dbcs += "\x83\x41";
    QUB_FormatImageTitle(out, dbcs.c_str(), 50, 32, false, QUB_IsLeadByte932);
    EXPECT_EQ(std::string(out), std::string(241, 'a') + "\x83\x41\x83\x41\x83\x41\x83\x41(50%)");
}
}  // namespace
