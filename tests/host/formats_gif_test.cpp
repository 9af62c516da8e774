// The wiggle GIF read back by a small decoder of its own: the block walk, the
// palette, the loop and delays, and LZW decoded code by code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "formats/gif_writer.h"
#include "formats/picture_probe.h"
#include "tests/host/byte_mutator.h"

namespace {

struct Frame {
    int delay = -1, disposal = -1, transparent = -1, width = 0, height = 0;
    int clears = 0;  // clear codes, the leading one included
    Bytes indices;
};

struct Gif {
    std::string error;  // empty when the file read to its trailer
    int width = 0, height = 0, loop = -1;
    std::vector<uint32_t> palette;
    std::vector<Frame> frames;
};

struct Reader {
    const Bytes& b;
    size_t at = 0;
    bool Has(size_t n) const { return at <= b.size() && b.size() - at >= n; }
    int U8() { return Has(1) ? b[at++] : -1; }
    int U16() { return Has(2) ? (at += 2, b[at - 2] | b[at - 1] << 8) : -1; }
    bool SubBlocks(Bytes* data) {
        int n;
        for (; (n = U8()) > 0 && Has(static_cast<size_t>(n)); at += static_cast<size_t>(n))
            if (data) data->insert(data->end(), &b[at], &b[at] + n);
        return n == 0;
    }
};

std::string Unlzw(const Bytes& data, int minCode, Frame* f) {
    const int clear = 1 << minCode, end = clear + 1;
    std::vector<int> prefix(4096), suffix(4096);
    int bits = minCode + 1, next = clear + 2, prev = -1;
    size_t bit = 0;
    std::vector<int> text;
    for (;;) {
        if (bit + static_cast<size_t>(bits) > data.size() * 8) return "no end code";
        int code = 0;
        for (int i = 0; i < bits; ++i, ++bit) code |= (data[bit / 8] >> (bit % 8) & 1) << i;
        if (code == clear) {
            bits = minCode + 1, next = clear + 2, prev = -1;
            ++f->clears;
            continue;
        }
        if (code == end) break;
        if (code > next || (code == next && prev < 0)) return "bad code " + std::to_string(code);
        int c = code == next ? prev : code;
        text.clear();
        while (c >= clear) text.push_back(suffix[c]), c = prefix[c];
        text.push_back(c);
        const int head = c;
        for (size_t i = text.size(); i-- > 0;) f->indices.push_back(static_cast<uint8_t>(text[i]));
        if (code == next) f->indices.push_back(static_cast<uint8_t>(head));
        if (prev >= 0 && next < 4096) {
            prefix[next] = prev, suffix[next] = head, ++next;
            if (next == 1 << bits && bits < 12) ++bits;
        }
        prev = code;
    }
    if (f->indices.size() != static_cast<size_t>(f->width) * static_cast<size_t>(f->height))
        return "pixel count " + std::to_string(f->indices.size());
    return "";
}

Gif Decode(const Bytes& file) {
    Gif g;
    Reader r{file};
    if (file.size() < 13 || std::memcmp(file.data(), "GIF89a", 6) != 0)
        return g.error = "header", g;
    r.at = 6;
    g.width = r.U16(), g.height = r.U16();
    const int packed = r.U8();
    r.at += 2;
    const size_t colours = packed & 0x80 ? size_t{2} << (packed & 7) : 0;
    for (size_t i = 0; i < colours && r.Has(3); ++i, r.at += 3)
        g.palette.push_back(uint32_t{file[r.at]} << 16 | file[r.at + 1] << 8 | file[r.at + 2]);
    Frame pending;
    for (;;) {  // blocks to the trailer
        const int block = r.U8();
        if (block == 0x3B) return r.at == file.size() ? g : (g.error = "after the trailer", g);
        if (block == 0x21) {
            const int label = r.U8();
            if (label == 0xF9 && r.U8() == 4) {
                const int flags = r.U8();
                pending.disposal = flags >> 2 & 7, pending.transparent = flags & 1;
                pending.delay = r.U16();
                r.at += 1;
            } else if (label == 0xFF && r.U8() == 11 && r.Has(11)) {
                const bool netscape = std::memcmp(&file[r.at], "NETSCAPE2.0", 11) == 0;
                r.at += 11;
                if (netscape && r.U8() == 3 && r.U8() == 1) g.loop = r.U16();
            }
            if (!r.SubBlocks(nullptr)) return g.error = "extension", g;
        } else if (block == 0x2C) {
            Frame f = pending;
            pending = Frame();
            const int left = r.U16(), top = r.U16();
            f.width = r.U16(), f.height = r.U16();
            if (left != 0 || top != 0 || f.width != g.width || f.height != g.height || r.U8())
                return g.error = "frame not the screen, local table or interlace", g;
            const int minCode = r.U8();
            Bytes data;
            if (minCode < 2 || minCode > 8 || !r.SubBlocks(&data)) return g.error = "image data", g;
            g.error = Unlzw(data, minCode, &f);
            for (const uint8_t i : f.indices)
                if (i >= g.palette.size()) g.error = "index past the palette";
            if (!g.error.empty()) return g;
            g.frames.push_back(f);
        } else {
            return g.error = "block " + std::to_string(block), g;
        }
    }
}

// A view with rows padded past width * 4 and unused bytes set, in a buffer
// ending right after the last row's pixels.
struct View {
    int width, height;
    size_t stride;
    Bytes bytes;
    View(int w, int h, size_t pad = 0)
        : width(w),
          height(h),
          stride(static_cast<size_t>(w) * 4 + pad),
          bytes(stride * static_cast<size_t>(h - 1) + static_cast<size_t>(w) * 4, 0xAB) {}
    void Set(int x, int y, uint32_t c) {
        uint8_t* p = &bytes[stride * static_cast<size_t>(y) + static_cast<size_t>(x) * 4];
        p[0] = c & 0xFF, p[1] = c >> 8 & 0xFF, p[2] = c >> 16 & 0xFF;
    }
    uint32_t At(int x, int y) const {
        const uint8_t* p = &bytes[stride * static_cast<size_t>(y) + static_cast<size_t>(x) * 4];
        return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
    GifFrameView Frame() const { return {bytes.data(), width, height, stride}; }
};

Gif WriteAndRead(const View& a, const View& b, int delay = 10) {
    Bytes file;
    EXPECT_EQ(QUB_WriteWiggleGif(a.Frame(), b.Frame(), delay, &file), kGifWritten);
    Gif g = Decode(file);
    EXPECT_EQ(g.error, "");
    return g;
}

// Gradients with noise, more colours than a palette holds. The right view is
// the left with a block moved 7 pixels sideways; the rest must keep its
// indices. Bounds, per channel: mean error per pixel 8, any pixel 32, and
// the mean over an 8 x 8 tile (one dither cycle) within 8 of the picture's.
TEST(GifWriter, PhotographIsDitheredWithinBoundsWithoutShimmer) {
    const int w = 320, h = 240;
    View a(w, h), b(w, h);
    Rng r{11};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int n = static_cast<int>(r.Below(17)) - 8;
            const auto c = [n](int v) {
                return static_cast<uint32_t>(std::min(255, std::max(0, v + n)));
            };
            a.Set(x, y,
                  c(255 * x / w) << 16 | c(255 * y / h) << 8 | c(200 - 150 * (x + y) / (w + h)));
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.Set(x, y, x >= 96 && x < 200 && y >= 64 && y < 176 ? a.At(x + 7, y) : a.At(x, y));
    const Gif g = WriteAndRead(a, b, 10);
    ASSERT_EQ(g.frames.size(), 2u);
    EXPECT_EQ(g.palette.size(), 256u);
    EXPECT_EQ(g.loop, 0);
    EXPECT_GE(std::min(g.frames[0].clears, g.frames[1].clears), 2) << "the code table filled";
    for (const Frame& f : g.frames)  // 0.1 s, left in place, opaque
        EXPECT_EQ(f.delay * 100 + f.disposal * 10 + f.transparent, 1010);
    EXPECT_EQ(WriteAndRead(a, b, 0).frames[1].delay, 2);
    EXPECT_EQ(WriteAndRead(a, b, 1 << 20).frames[0].delay, 65535);
    double sum = 0;
    int worst = 0, worstTile = 0;
    for (int ty = 0; ty < h; ty += 8)
        for (int tx = 0; tx < w; tx += 8)
            for (int k = 0; k < 3; ++k) {
                int tileError = 0;
                for (int y = ty; y < ty + 8; ++y)
                    for (int x = tx; x < tx + 8; ++x) {
                        const uint32_t got =
                            g.palette[g.frames[0].indices[static_cast<size_t>(y) * w + x]];
                        const int e = static_cast<int>(got >> (8 * k) & 0xFF) -
                                      static_cast<int>(a.At(x, y) >> (8 * k) & 0xFF);
                        sum += std::abs(e);
                        worst = std::max(worst, std::abs(e));
                        tileError += e;
                    }
                worstTile = std::max(worstTile, std::abs(tileError) / 64);
            }
    EXPECT_LT(sum / (3.0 * w * h), 8.0);
    EXPECT_LE(worst, 32);
    EXPECT_LE(worstTile, 8);
    size_t same = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (a.At(x, y) == b.At(x, y)) {
                const size_t i = static_cast<size_t>(y) * w + x;
                ASSERT_EQ(g.frames[0].indices[i], g.frames[1].indices[i]) << x << ", " << y;
                ++same;
            }
    EXPECT_GT(same, static_cast<size_t>(w * h / 2));
}

TEST(GifWriter, RefusesBadViewsAndLeavesNothing) {
    const View ok(6, 5), tall(5, 6);
    const uint8_t* p = ok.bytes.data();
    struct Case {
        GifFrameView second;
        GifVerdict verdict;
    } cases[] = {
        {{nullptr, 6, 5, 24}, kGifNoPixels}, {{p, 0, 5, 24}, kGifBadSize},
        {{p, 6, -1, 24}, kGifBadSize},       {{p, 65536, 1, 65536 * 4}, kGifTooLarge},
        {{p, 40000, 40000, 160000}, kGifTooLarge}, {{p, 6, 5, SIZE_MAX / 2}, kGifTooLarge},
        {{p, 6, 5, 23}, kGifBadStride},      {tall.Frame(), kGifSizesDiffer},
    };
    for (const Case& c : cases) {
        Bytes file(9, 1);
        EXPECT_EQ(QUB_WriteWiggleGif(ok.Frame(), c.second, 10, &file), c.verdict);
        EXPECT_TRUE(file.empty());
        EXPECT_STRNE(QUB_GifVerdictText(c.verdict), QUB_GifVerdictText(kGifWritten));
    }
    EXPECT_EQ(QUB_WriteWiggleGif(ok.Frame(), ok.Frame(), 10, nullptr), kGifNoPixels);
}

}  // namespace
