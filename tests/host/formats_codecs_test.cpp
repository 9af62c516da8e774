// The probe on what the system's zlib writes: every level and strategy
// (dynamic codes up to 15 bits, long distances, small windows) inflates to
// exactly the rows. The grey PNG writer's files, read back by zlib.
#include <gtest/gtest.h>
#include <zlib.h>

#include "formats/picture_probe.h"
#include "formats/png_writer.h"
#include "tests/host/formats_builders.h"

namespace {

ProbeVerdict VerdictOf(const Bytes& b) {
    const Bytes exact(b);
    return QUB_ProbePicture(exact.data(), exact.size()).verdict;
}

Bytes Compress(const Bytes& raw, int level, int strategy, int windowBits) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, windowBits, 8, strategy), Z_OK);
    Bytes out(deflateBound(&z, raw.size()));
    z.next_in = const_cast<Bytef*>(raw.data());
    z.avail_in = static_cast<uInt>(raw.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Rows whose samples follow a steep distribution (rare values get codes of
// up to 15 bits) with stretches copied from far back.
Bytes PhotoLikeRows(const PngShape& shape) {
    Bytes rows = PngRows(shape);
    uint32_t state = 12345;
    for (size_t i = 0; i < rows.size(); ++i) {
        state = state * 1103515245u + 12345u;
        const uint32_t r = state >> 8;
        int zeros = 0;
        while (zeros < 20 && !(r >> zeros & 1)) ++zeros;
        rows[i] = static_cast<uint8_t>(i % 5000 < 300 && i > 30000 ? rows[i - 30000] : zeros * 11);
    }
    return rows;
}

TEST(PictureProbeCodecs, ZlibStreamsInflateToExactlyTheRows) {
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    for (bool interlaced : {false, true}) {
        const PngShape shape{301, 203, 2, 8, interlaced};
        const Bytes rows = PhotoLikeRows(shape);
        Bytes more = rows;
        more.push_back(7);
        for (int strategy : strategies)
            for (int level : {1, 6, 9})
                for (int window : {9, 15}) {
                    SCOPED_TRACE(testing::Message() << interlaced << strategy << level << window);
                    const Bytes z = Compress(rows, level, strategy, window);
                    EXPECT_EQ(VerdictOf(MakePngAround(shape, z, 8192)), kProbeSound);
                    const Bytes over = Compress(more, level, strategy, window);
                    EXPECT_EQ(VerdictOf(MakePngAround(shape, over)), kProbeExcessData);
                }
    }
}

// Runs, ramps and noise, wider than the match window and with matches at
// every distance: zlib inflates each file, and undoing the Paeth filter gives
// every sample back; the probe finds the file sound.
TEST(GreyPngWriter, ZlibReadsBackEverySample) {
    for (const int bits : {8, 16})
        for (const int width : {1, 7, 20000}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, " << width);
            const int height = width == 20000 ? 3 : 99;
            std::vector<uint16_t> samples(static_cast<size_t>(width) * height);
            uint32_t state = 5;
            for (size_t k = 0; k < samples.size(); ++k) {
                state = state * 1664525u + 1013904223u;
                samples[k] = static_cast<uint16_t>(k % 3000 < 900 ? 4000 : k % 3000 < 2000 ? k * 7 : state >> 16);
            }
            Bytes png;
            ASSERT_TRUE(WriteGreyPng(samples.data(), width, height, bits, &png));
            EXPECT_EQ(VerdictOf(png), kProbeSound);
            const size_t bytes = static_cast<size_t>(bits / 8), stride = width * bytes + 1;
            Bytes rows(stride * height);
            uLongf size = rows.size();
            const uint32_t idat = png[33] << 24 | png[34] << 16 | png[35] << 8 | png[36];
            ASSERT_EQ(uncompress(rows.data(), &size, &png[41], idat), Z_OK);
            ASSERT_EQ(size, rows.size());
            for (size_t y = 0, k = 0; y < static_cast<size_t>(height); ++y)
                for (size_t x = 1; x < stride; ++x) {
                    uint8_t& v = rows[y * stride + x];
                    const int a = x > bytes ? rows[y * stride + x - bytes] : 0;
                    const int b = y > 0 ? rows[(y - 1) * stride + x] : 0;
                    const int c = x > bytes && y > 0 ? rows[(y - 1) * stride + x - bytes] : 0;
                    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                    v = static_cast<uint8_t>(v + (pa <= pb && pa <= pc ? a : pb <= pc ? b : c));
                    if ((x - 1) % bytes == bytes - 1) {
                        const int got = bytes == 2 ? rows[y * stride + x - 1] << 8 | v : v;
                        ASSERT_EQ(got, bits == 8 ? samples[k] & 255 : samples[k]) << k;
                        ++k;
                    }
                }
        }
    Bytes png;
    const uint16_t one = 1;
    EXPECT_FALSE(WriteGreyPng(&one, 0, 1, 16, &png) || WriteGreyPng(&one, 1, 1, 12, &png) ||
                 WriteGreyPng(&one, kPngMaxSide + 1, 1, 8, &png) ||
                 WriteGreyPng(&one, kPngMaxSide, kPngMaxSide, 16, &png) || !png.empty());
}

}  // namespace
