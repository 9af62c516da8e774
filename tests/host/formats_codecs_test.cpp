// The probe on what the system's zlib writes: every level and strategy
// (dynamic codes up to 15 bits, long distances, small windows) inflates to
// exactly the rows.
#include <gtest/gtest.h>
#include <zlib.h>

#include "formats/picture_probe.h"
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

}  // namespace
