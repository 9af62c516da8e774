// Buffer strides, size refusal and reading rectangles out of both layouts.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "image/buffer_layout.h"

namespace {

TEST(BufferLayout, StridesAndSizesAtTheLimit) {
    const int strides[][3] = {{3, 32, 12}, {3, 8, 4}, {4, 8, 4}, {5, 8, 8}, {1, 8, 4}, {5, 24, 0}};
    for (const auto& c : strides)
        EXPECT_EQ(QUB_RowStride(c[0], c[1]), c[2]) << c[0] << " at " << c[1];
    const struct {
        int width, height, bits;
        int64_t bytes;  // -1: refused, the output untouched
    } cases[] = {
        {16384, 32767, 32, int64_t{16384} * 4 * 32767},
        {16384, 32768, 32, -1},                     // exactly 2^31 bytes
        {65533, 32767, 8, int64_t{65536} * 32767},  // rows padded to 65536
        {65533, 32768, 8, -1},
        {100000, 100000, 32, -1},
        {100000, 100000, 8, -1},
        {2147483647, 1, 8, -1},  // padding carries past 2^31
        {2147483647, 2147483647, 32, -1},
        {0, 10, 32, -1},
        {10, -1, 32, -1},
        {10, 10, 16, -1},
        {1, 1, 32, 4},
    };
    for (const auto& c : cases) {
        int64_t bytes = -1;
        EXPECT_EQ(QUB_BufferBytes(c.width, c.height, c.bits, &bytes), c.bytes >= 0)
            << c.width << " x " << c.height;
        EXPECT_EQ(bytes, c.bytes) << c.width << " x " << c.height;
    }
    for (int v : {0, -5, 7}) EXPECT_EQ(QUB_AtLeastOne(v), v < 1 ? 1 : v);
}

// A 5 x 3 picture whose pixels name their position: 0x00YY0X0X + distinct channels.
std::vector<uint32_t> Numbered(int width, int height) {
    std::vector<uint32_t> p(static_cast<size_t>(width * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p[static_cast<size_t>(y * width + x)] = 0x100000u * (y + 1) + 0x100u * (x + 1) + 0x7u;
    return p;
}

// Rectangles inside, across the edges, wholly outside and far away: outside
// pixels read as 0.
TEST(ReadRect32, InsideIsACopyOutsideIsZero) {
    const std::vector<uint32_t> pic = Numbered(5, 3);
    const int rects[][4] = {
        {1, 1, 3, 2}, {-1, 2, 4, 3}, {5, 0, 2, 2}, {-1, -1, 7, 5}, {-2147483647, 2147483600, 2, 2}};
    for (const auto& r : rects) {
        std::vector<uint32_t> out(static_cast<size_t>(r[2] * r[3]), 0xDEADBEEF);
        QUB_ReadRect32(pic.data(), 5, 3, r[0], r[1], r[2], r[3], out.data());
        for (int y = 0; y < r[3]; ++y)
            for (int x = 0; x < r[2]; ++x) {
                const int64_t px = int64_t{r[0]} + x, py = int64_t{r[1]} + y;
                const bool inside = px >= 0 && px < 5 && py >= 0 && py < 3;
                EXPECT_EQ(
                    out[static_cast<size_t>(y * r[2] + x)],
                    inside ? 0x100000u * uint32_t(py + 1) + 0x100u * uint32_t(px + 1) + 7u : 0u)
                    << r[0] << "," << r[1] << " at " << x << "," << y;
            }
    }
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
