// The extension rule, temporary save names, folder parts and the palette
// reduction that GIF saving relies on.
#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "image/file_names.h"
#include "image/palette_reduce.h"

namespace {

TEST(ExtensionRule, AppendsUnlessAlreadyThereAndFits) {
    const std::wstring a255(255, L'a'), a256(256, L'a');
    const struct {
        std::wstring name;
        int type;
        std::wstring result;
        bool fitted;
    } cases[] = {
        {L"photo", kFileBmp, L"photo.bmp", true},
        {L"photo.BMP", kFileBmp, L"photo.BMP", true},
        {L"photo.Jpg", kFileJpeg, L"photo.Jpg", true},
        {L"photo.jpeg", kFileJpeg, L"photo.jpeg.jpg", true},
        {L"photo.tiff", kFileTiff, L"photo.tiff.tif", true},
        {L"photo.png", kFileGif, L"photo.png.gif", true},
        {L".gif", kFileGif, L".gif", true},
        {L"gif", kFileGif, L"gif.gif", true},
        {L"", kFilePng, L".png", true},
        {L"C:\\a.b\\photo", kFilePng, L"C:\\a.b\\photo.png", true},
        // U+0130 (capital I with dot) must not count as the 'i' of ".tif".
        {L"x.t\u0130f", kFileTiff, L"x.t\u0130f.tif", true},
        {L"\u5199\u771f.JPG", kFileJpeg, L"\u5199\u771f.JPG", true},
        {a255, kFileBmp, a255 + L".bmp", true},  // 255 + 4 + terminator = 260
        {a256, kFileBmp, a256, false},
        {a255 + L".bmp", kFileBmp, a255 + L".bmp", true},
    };
    for (const auto& c : cases) {
        wchar_t buffer[kFileNameUnits];
        std::wcscpy(buffer, c.name.c_str());
        EXPECT_EQ(QUB_AppendExtensionTo(buffer, kFileNameUnits, kImageFileExtension[c.type]),
                  c.fitted);
        EXPECT_EQ(std::wstring(buffer), c.result) << c.name.size();
    }
}

TEST(TempName, BesideTheTarget) {
    wchar_t out[kFileNameUnits];
    ASSERT_TRUE(QUB_TempSiblingName(L"C:\\pics\\photo.jpg", 0x2a, out, kFileNameUnits));
    EXPECT_STREQ(out, L"C:\\pics\\~qub0000002a.tmp");
    ASSERT_TRUE(QUB_TempSiblingName(L"photo.jpg", 0xffffffffu, out, kFileNameUnits));
    EXPECT_STREQ(out, L"~qubffffffff.tmp");
    ASSERT_TRUE(QUB_TempSiblingName(L"D:photo.jpg", 1, out, kFileNameUnits));
    EXPECT_STREQ(out, L"D:~qub00000001.tmp");
    const std::wstring deep = L"C:\\" + std::wstring(250, L'd') + L"\\p.jpg";
    EXPECT_FALSE(QUB_TempSiblingName(deep.c_str(), 1, out, kFileNameUnits));
}

TEST(FolderPart, LastSeparatorButARootKeepsIt) {
    EXPECT_EQ(QUB_FolderPartLength(L"C:\\a\\b.jpg"), 4u);
    EXPECT_EQ(QUB_FolderPartLength(L"b.jpg"), 0u);
    EXPECT_EQ(QUB_FolderPartLength(L"C:\\b.jpg"), 3u);
    EXPECT_EQ(QUB_FolderPartLength(L"/b.jpg"), 1u);
}

TEST(PaletteReduce, FewColoursAreKeptExactly) {
    // 7 x 5 with 35 distinct colours, plus repeats in the last row.
    const int w = 7, h = 5, stride = 8;
    std::vector<uint32_t> pic(static_cast<size_t>(w * h));
    for (int i = 0; i < w * h; ++i)
        pic[static_cast<size_t>(i)] = 0x010203u * static_cast<uint32_t>(i % 30) + 0x00A000u;
    pic[3] |= 0xFF000000u;  // the top byte is no part of the colour
    std::vector<uint8_t> idx(static_cast<size_t>(stride * h), 0xEE);
    uint32_t palette[256];
    const int n = QUB_ReduceToPalette(pic.data(), w, h, idx.data(), stride, palette);
    EXPECT_EQ(n, 30);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(palette[idx[static_cast<size_t>(y * stride + x)]],
                      pic[static_cast<size_t>(y * w + x)] & 0xFFFFFFu);
        EXPECT_EQ(idx[static_cast<size_t>(y * stride + 7)], 0xEE) << "padding untouched";
    }
}

TEST(PaletteReduce, ExactlyTwoHundredFiftySixStillExact) {
    std::vector<uint32_t> pic(256);
    for (uint32_t i = 0; i < 256; ++i) pic[i] = i * 0x010101u ^ 0x00300000u;
    std::vector<uint8_t> idx(256);
    uint32_t palette[256];
    ASSERT_EQ(QUB_ReduceToPalette(pic.data(), 16, 16, idx.data(), 16, palette), 256);
    for (size_t i = 0; i < 256; ++i) EXPECT_EQ(palette[idx[i]], pic[i]);
}

TEST(PaletteReduce, ManyColoursGoToTheNearestCubeColour) {
    // Every 4th value of each channel: far more than 256 colours.
    std::vector<uint32_t> pic;
    for (uint32_t r = 0; r < 256; r += 4)
        for (uint32_t g = 0; g < 256; g += 4)
            for (uint32_t b = 0; b < 256; b += 4) pic.push_back(r << 16 | g << 8 | b);
    const int w = 64, h = static_cast<int>(pic.size()) / 64;
    std::vector<uint8_t> idx(pic.size());
    uint32_t palette[256];
    const int n = QUB_ReduceToPalette(pic.data(), w, h, idx.data(), w, palette);
    ASSERT_EQ(n, 252);
    // Half a step of 255/5, 255/6 and 255/5, rounded up.
    const int tolerance[3] = {26, 22, 26};
    for (size_t i = 0; i < pic.size(); ++i) {
        const uint32_t a = pic[i], c = palette[idx[i]];
        for (int ch = 0; ch < 3; ++ch) {
            const int shift = 16 - 8 * ch;
            const int d = int((a >> shift) & 255u) - int((c >> shift) & 255u);
            ASSERT_LE(d < 0 ? -d : d, tolerance[ch]) << std::hex << a << " -> " << c;
        }
    }
}

}  // namespace
