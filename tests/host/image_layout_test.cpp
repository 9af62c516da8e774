// Buffer strides, size refusal and reading rectangles out of both layouts.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image/buffer_layout.h"

namespace {

TEST(BufferLayout, Strides) {
    EXPECT_EQ(QUB_RowStride(3, 32), 12);
    EXPECT_EQ(QUB_RowStride(3, 8), 4);
    EXPECT_EQ(QUB_RowStride(4, 8), 4);
    EXPECT_EQ(QUB_RowStride(5, 8), 8);
    EXPECT_EQ(QUB_RowStride(1, 8), 4);
    EXPECT_EQ(QUB_RowStride(5, 24), 0);
}

TEST(BufferLayout, SizesAtTheLimit) {
    int64_t bytes = -1;
    ASSERT_TRUE(QUB_BufferBytes(16384, 32767, 32, &bytes));
    EXPECT_EQ(bytes, int64_t{16384} * 4 * 32767);
    bytes = -1;
    EXPECT_FALSE(QUB_BufferBytes(16384, 32768, 32, &bytes)) << "exactly 2^31 bytes";
    EXPECT_EQ(bytes, -1);
    ASSERT_TRUE(QUB_BufferBytes(65533, 32767, 8, &bytes));
    EXPECT_EQ(bytes, int64_t{65536} * 32767) << "rows padded to 65536";
    EXPECT_FALSE(QUB_BufferBytes(65533, 32768, 8, &bytes));
}

TEST(BufferLayout, RefusesOverflowingAndNonsenseSizes) {
    int64_t bytes = 0;
    EXPECT_FALSE(QUB_BufferBytes(100000, 100000, 32, &bytes));
    EXPECT_FALSE(QUB_BufferBytes(100000, 100000, 8, &bytes));
    EXPECT_FALSE(QUB_BufferBytes(2147483647, 1, 8, &bytes)) << "padding carries past 2^31";
    EXPECT_FALSE(QUB_BufferBytes(2147483647, 2147483647, 32, &bytes));
    EXPECT_FALSE(QUB_BufferBytes(0, 10, 32, &bytes));
    EXPECT_FALSE(QUB_BufferBytes(10, -1, 32, &bytes));
    EXPECT_FALSE(QUB_BufferBytes(10, 10, 16, &bytes));
    EXPECT_TRUE(QUB_BufferBytes(1, 1, 32, &bytes));
    EXPECT_EQ(bytes, 4);
}

TEST(BufferLayout, AtLeastOne) {
    EXPECT_EQ(QUB_AtLeastOne(0), 1);
    EXPECT_EQ(QUB_AtLeastOne(-5), 1);
    EXPECT_EQ(QUB_AtLeastOne(7), 7);
}

// A 5 x 3 picture whose pixels name their position: 0x00YY0X0X + distinct channels.
std::vector<uint32_t> Numbered(int width, int height) {
    std::vector<uint32_t> p(static_cast<size_t>(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p[static_cast<size_t>(y * width + x)] = 0x100000u * (y + 1) + 0x100u * (x + 1) + 0x7u;
    return p;
}

TEST(ReadRect32, InsideIsACopy) {
    const std::vector<uint32_t> pic = Numbered(5, 3);
    std::vector<uint32_t> out(6, 0xDEADBEEF);
    QUB_ReadRect32(pic.data(), 5, 3, 1, 1, 3, 2, out.data());
    const uint32_t expected[6] = {pic[6], pic[7], pic[8], pic[11], pic[12], pic[13]};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(out[i], expected[i]) << i;
}

TEST(ReadRect32, OutsideGivesZero) {
    const std::vector<uint32_t> pic = Numbered(5, 3);
    // 4 x 3 at (-1, 2): column -1 and rows 3, 4 are outside.
    std::vector<uint32_t> out(12, 0xDEADBEEF);
    QUB_ReadRect32(pic.data(), 5, 3, -1, 2, 4, 3, out.data());
    const uint32_t expected[12] = {0, pic[10], pic[11], pic[12], 0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(out[i], expected[i]) << i;
    // Wholly to the right, and a rectangle larger than the picture on all sides.
    QUB_ReadRect32(pic.data(), 5, 3, 5, 0, 2, 2, out.data());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(out[i], 0u);
    std::vector<uint32_t> big(7 * 5, 0xDEADBEEF);
    QUB_ReadRect32(pic.data(), 5, 3, -1, -1, 7, 5, big.data());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const bool inside = x >= 1 && x <= 5 && y >= 1 && y <= 3;
            const uint32_t want = inside ? pic[static_cast<size_t>((y - 1) * 5 + x - 1)] : 0u;
            EXPECT_EQ(big[static_cast<size_t>(y * 7 + x)], want) << x << "," << y;
        }
}

TEST(ReadRect32, FarOffsetsDoNotOverflow) {
    const std::vector<uint32_t> pic = Numbered(5, 3);
    std::vector<uint32_t> out(4, 0xDEADBEEF);
    QUB_ReadRect32(pic.data(), 5, 3, -2147483647, 2147483600, 2, 2, out.data());
    for (uint32_t v : out) EXPECT_EQ(v, 0u);
}

TEST(ReadRect8, RespectsBothStrides) {
    // A 5 x 3 8-bit buffer: stride 8, padding filled with 0xEE to catch reads of it.
    const int stride = static_cast<int>(QUB_RowStride(5, 8));
    std::vector<uint8_t> pic(static_cast<size_t>(stride * 3), 0xEE);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) pic[static_cast<size_t>(y * stride + x)] = uint8_t(10 * y + x);

    std::vector<uint8_t> packed(6 * 3, 0x55);
    QUB_ReadRect8(pic.data(), 5, 3, stride, 0, 0, 6, 3, packed.data(), 6);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) EXPECT_EQ(packed[static_cast<size_t>(y * 6 + x)], 10 * y + x);
        EXPECT_EQ(packed[static_cast<size_t>(y * 6 + 5)], 0) << "column 5 is outside, not padding";
    }

    // Into a DIB layout of stride 4 for width 3: the padding byte is untouched.
    std::vector<uint8_t> dib(4 * 2, 0x77);
    QUB_ReadRect8(pic.data(), 5, 3, stride, 2, 1, 3, 2, dib.data(), 4);
    const uint8_t expected[8] = {12, 13, 14, 0x77, 22, 23, 24, 0x77};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(dib[static_cast<size_t>(i)], expected[i]) << i;
}

}  // namespace

namespace {

TEST(ClearTopBytes, OnlyInsideTheClippedRectangle) {
    std::vector<uint32_t> pic(5 * 3, 0xFF123456u);
    QUB_ClearTopBytes(pic.data(), 5, 3, 3, -1, 4, 3);  // columns 3-4, rows 0-1 inside
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool cleared = x >= 3 && y <= 1;
            EXPECT_EQ(pic[static_cast<size_t>(y * 5 + x)], cleared ? 0x00123456u : 0xFF123456u)
                << x << "," << y;
        }
    QUB_ClearTopBytes(pic.data(), 5, 3, 2147483600, 2147483600, 100, 100);  // far away: nothing
    EXPECT_EQ(pic[14], 0xFF123456u);
}

}  // namespace

namespace {

// A 3 x 2 block of 4-byte pixels placed over each corner and far away: only
// the overlap is written, from the matching source pixels.
TEST(WriteRect, ClipsAtEveryEdge) {
    const uint32_t block[6] = {1, 2, 3, 4, 5, 6};
    const auto* src = reinterpret_cast<const uint8_t*>(block);
    std::vector<uint32_t> pic(5 * 3, 0);
    auto* dst = reinterpret_cast<uint8_t*>(pic.data());
    QUB_WriteRect(src, 12, 3, 2, 4, dst, 5, 3, 20, -1, -1);  // 5 and 6 at (0, 0), (1, 0)
    QUB_WriteRect(src, 12, 3, 2, 4, dst, 5, 3, 20, 3, 2);    // 1 and 2 at (3, 2), (4, 2)
    QUB_WriteRect(src, 12, 3, 2, 4, dst, 5, 3, 20, -2147483647, 2147483600);
    const std::vector<uint32_t> expected = {5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2};
    EXPECT_EQ(pic, expected);
}

}  // namespace
