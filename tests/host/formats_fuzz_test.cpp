// Deterministic mutations of valid files of every format, and random bytes
// behind every signature. The probe must never read outside the buffer (the
// sanitized build of this test stops at the first such read) and a sound
// verdict must describe a picture the library can hold.
#include <gtest/gtest.h>

#include <cstdint>

#include "formats/picture_probe.h"
#include "tests/host/formats_builders.h"

namespace {

constexpr int kMutationsPerFormat = 10000;

struct Rng {
    uint64_t state;
    uint32_t Next() {  // xorshift64*
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return static_cast<uint32_t>((state * 0x2545F4914F6CDD1DULL) >> 32);
    }
    size_t Below(size_t n) { return n == 0 ? 0 : Next() % n; }
};

// Header fields are where sizes, counts and offsets live: half the edits land
// in the first 128 bytes.
size_t Position(Rng& r, size_t size) {
    return r.Below(2) == 0 ? r.Below(size < 128 ? size : 128) : r.Below(size);
}

void Mutate(Bytes& b, Rng& r) {
    static const uint32_t kValues[] = {0,     1,     2,          3,          0x7F,
                                       0x80,  0xFF,  0x7FFF,     0x8000,     0xFFFF,
                                       23170, 65500, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    const size_t edits = 1 + r.Below(4);
    for (size_t e = 0; e < edits && !b.empty(); ++e) {
        const size_t at = Position(r, b.size());
        const uint32_t value = r.Below(3) == 0
                                   ? static_cast<uint32_t>(b.size() - r.Below(3))
                                   : kValues[r.Below(sizeof(kValues) / sizeof(kValues[0]))];
        switch (r.Below(7)) {
            case 0: b[at] = static_cast<uint8_t>(b[at] ^ (1u << r.Below(8))); break;
            case 1: b[at] = static_cast<uint8_t>(r.Next()); break;
            case 2:
                if (at + 2 <= b.size())
                    r.Below(2) ? PutLe16(b, at, value & 0xFFFF) : PutBe16(b, at, value & 0xFFFF);
                break;
            case 3:
                if (at + 4 <= b.size()) r.Below(2) ? PutLe32(b, at, value) : PutBe32(b, at, value);
                break;
            case 4: b.resize(r.Below(b.size())); break;
            case 5: {
                const size_t n = 1 + r.Below(16);
                b.erase(b.begin() + static_cast<long>(at),
                        b.begin() + static_cast<long>(at + n < b.size() ? at + n : b.size()));
                break;
            }
            default: {
                const size_t n = 1 + r.Below(16 < b.size() - at ? 16 : b.size() - at);
                const Bytes span(b.begin() + static_cast<long>(at),
                                 b.begin() + static_cast<long>(at + n));
                b.insert(b.begin() + static_cast<long>(Position(r, b.size())), span.begin(),
                         span.end());
                break;
            }
        }
    }
}

// What every verdict must satisfy; true when it was sound.
bool CheckProbe(const Bytes& b) {
    const Bytes exact(b);  // allocated to its size, so a read past it is caught
    const PictureProbe p = QUB_ProbePicture(exact.data(), exact.size());
    EXPECT_NE(QUB_ProbeVerdictText(p.verdict), nullptr);
    if (p.needsEndMarker) {
        EXPECT_EQ(p.format, kPictureJpeg);
    }
    if (p.verdict != kProbeSound) return false;
    EXPECT_NE(p.format, kPictureUnknown);
    EXPECT_GE(p.width, 1);
    EXPECT_GE(p.height, 1);
    EXPECT_GE(p.depth, 1);
    EXPECT_EQ(QUB_CheckPictureBudget(p.width, p.height, 0, exact.size()), kProbeSound);
    // Raster formats other than TIFF (whose fax codings have no bound) cannot
    // exceed deflate's density on 1-bit pixels, 16,512 pixels a byte.
    if (p.format != kPictureTiff && p.format != kPictureWmf && p.format != kPictureEmf) {
        const int64_t pixels = int64_t{p.width} * p.height;
        EXPECT_TRUE(pixels <= kProportionFloorPixels ||
                    pixels <= 16512 * static_cast<int64_t>(exact.size()))
            << QUB_PictureFormatName(p.format) << " " << p.width << " x " << p.height << " in "
            << exact.size() << " bytes";
    }
    return true;
}

void Fuzz(const std::vector<Bytes>& seeds, uint64_t seed) {
    Rng r{seed};
    int sound = 0;
    for (int i = 0; i < kMutationsPerFormat; ++i) {
        Bytes b = seeds[static_cast<size_t>(i) % seeds.size()];
        Mutate(b, r);
        if (CheckProbe(b)) ++sound;
        if (::testing::Test::HasFailure()) FAIL() << "mutation " << i;
    }
    // Both outcomes occur, or the mutations are not exercising the walk.
    EXPECT_GT(sound, 0);
    EXPECT_LT(sound, kMutationsPerFormat);
}

TEST(PictureProbeFuzz, Bmp) {
    Fuzz({MakeBmp(7, 5, 4), MakeBmp(9, -3, 24, 124), MakeBmp(300, 3, 8, 40, 1),
          MakeBmp(5, 4, 16, 40, 3), MakeBmp(6, 2, 8, 12)},
         1);
}
TEST(PictureProbeFuzz, Jpeg) { Fuzz({MakeJpeg(13, 9, 3), MakeJpeg(20, 10, 1, false)}, 2); }
TEST(PictureProbeFuzz, Gif) { Fuzz({MakeGif(11, 6, 3), MakeGif(11, 6, 2, true, 2)}, 3); }
TEST(PictureProbeFuzz, Png) {
    // Coded streams too, so that mutations reach the inflate walk's tables.
    const PngShape interlaced{7, 5, 2, 8, true}, grey{6, 4, 0, 4, false};
    Fuzz({MakePng(9, 4, 3, 4), MakePng(5, 3, 6, 16),
          MakePngAround(interlaced, ZlibOf(PngRows(interlaced), Deflate::kFixed), 9),
          MakePngAround(grey, ZlibOf(PngRows(grey), Deflate::kDynamic))},
         4);
}
TEST(PictureProbeFuzz, Tiff) {
    Fuzz(
        {MakeTiff(7, 5, 3, 8, false), MakeTiff(7, 5, 1, 4, true, true), MakeTiff(9, 3, 1, 1, true)},
        5);
}
TEST(PictureProbeFuzz, Ico) {
    Fuzz({MakeIco({{16, 4, false}, {5, 32, true}}), MakeIco({{8, 24, false}})}, 6);
}
TEST(PictureProbeFuzz, Wmf) { Fuzz({MakeWmf(true), MakeWmf(false)}, 7); }
TEST(PictureProbeFuzz, Emf) { Fuzz({MakeEmf()}, 8); }

TEST(PictureProbeFuzz, RandomBytesBehindEverySignature) {
    const Bytes signatures[] = {
        {'B', 'M'},
        {0xFF, 0xD8},
        {'G', 'I', 'F', '8', '9', 'a'},
        {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'},
        {'I', 'I', '*', 0},
        {'M', 'M', 0, '*'},
        {0, 0, 1, 0, 1, 0},
        {0xD7, 0xCD, 0xC6, 0x9A},
        {1, 0, 9, 0, 0, 3},
        {1, 0, 0, 0},
    };
    Rng r{9};
    for (const Bytes& signature : signatures) {
        for (int i = 0; i < 1000; ++i) {
            Bytes b = signature;
            const size_t n = r.Below(400);
            for (size_t k = 0; k < n; ++k) b.push_back(static_cast<uint8_t>(r.Next()));
            if (signature.size() == 4 && signature[0] == 1 && b.size() >= 44)
                std::copy_n(" EMF", 4, b.begin() + 40);
            CheckProbe(b);
        }
    }
}

}  // namespace
