// The picture probe on valid files of every format and depth, on truncations,
// on a few patched fields, and on the hostile files that crashed or ballooned
// the platform decoders.
#include <gtest/gtest.h>

#include "formats/picture_probe.h"
#include "tests/host/formats_builders.h"

namespace {

PictureProbe Probe(const Bytes& b) {
    const Bytes exact(b);  // allocated to its size, so a read past it is caught
    return QUB_ProbePicture(exact.data(), exact.size());
}

ProbeVerdict VerdictOf(const Bytes& b) { return Probe(b).verdict; }

struct Sound {
    Bytes file;
    PictureFormat format;
    int width, height, depth;
    bool cuts;  // every proper prefix refused (each format but JPEG insists on its end)
};

std::vector<Sound> SoundFiles() {
    std::vector<Sound> v;
    for (int bits : {1, 4, 8, 16, 24, 32})
        v.push_back({MakeBmp(7, 5, bits), kPictureBmp, 7, 5, bits, bits == 4});
    for (int bits : {1, 4, 8, 24})
        v.push_back({MakeBmp(7, 5, bits, 12), kPictureBmp, 7, 5, bits, false});
    v.push_back({MakeBmp(7, -5, 8), kPictureBmp, 7, 5, 8, false});  // top-down
    v.push_back({MakeBmp(7, -5, 32, 124), kPictureBmp, 7, 5, 32, true});
    for (int c : {1, 3, 4}) v.push_back({MakeJpeg(13, 9, c), kPictureJpeg, 13, 9, 8 * c, false});
    // A real flat 4000 x 3000 picture at two bits a block is far from the bound.
    v.push_back({MakeJpeg(4000, 3000, 1), kPictureJpeg, 4000, 3000, 8, false});
    for (int bits = 1; bits <= 8; ++bits) {
        v.push_back({MakeGif(11, 6, bits), kPictureGif, 11, 6, bits, false});
        v.push_back({MakeGif(11, 6, bits, true, 2), kPictureGif, 11, 6, bits, bits == 3});
    }
    v.push_back({MakePng(9, 4, 3, 4), kPicturePng, 9, 4, 4, true});
    for (bool big : {false, true}) {  // samples and bits: 1 bit to 4 x 8
        const int kinds[][2] = {{1, 1}, {1, 16}, {2, 8}, {3, 8}, {4, 8}};
        for (const auto& k : kinds)
            v.push_back({MakeTiff(7, 5, k[0], k[1], big), kPictureTiff, 7, 5, k[0] * k[1],
                         k[0] == 3});
    }
    v.push_back({MakeIco({{16, 4, false}, {48, 32, false}, {32, 8, false}}), kPictureIco, 48, 48,
                 32, false});
    v.push_back({MakeIco({{16, 1, false}, {24, 24, false}}), kPictureIco, 24, 24, 24, false});
    v.push_back({MakeIco({{16, 8, false}, {256, 32, true}}), kPictureIco, 256, 256, 32, false});
    v.push_back({MakeIco({{16, 4, false}, {5, 32, true}}), kPictureIco, 16, 16, 4, true});
    v.push_back({MakeWmf(true), kPictureWmf, 67, 33, 32, true});
    v.push_back({MakeWmf(false), kPictureWmf, 67, 33, 32, true});
    v.push_back({MakeEmf(), kPictureEmf, 64, 48, 32, true});
    return v;
}

TEST(PictureProbe, SoundFilesOfEveryFormatAndTheirCuts) {
    for (const Sound& s : SoundFiles()) {
        const PictureProbe p = Probe(s.file);
        SCOPED_TRACE(testing::Message() << QUB_PictureFormatName(s.format) << " " << s.width
                                        << " x " << s.height << " at " << s.depth);
        EXPECT_EQ(p.format, s.format);
        EXPECT_EQ(p.verdict, kProbeSound) << QUB_ProbeVerdictText(p.verdict);
        EXPECT_EQ(p.width, s.width);
        EXPECT_EQ(p.height, s.height);
        EXPECT_EQ(p.depth, s.depth);
        EXPECT_FALSE(p.needsEndMarker);
        for (size_t n = 0; s.cuts && n < s.file.size(); ++n)
            ASSERT_NE(VerdictOf(Bytes(s.file.begin(), s.file.begin() + static_cast<long>(n))),
                      kProbeSound) << "cut to " << n;
    }
}

// Cut anywhere: refused before the scan, sound but short of its end after.
TEST(PictureProbe, CutsRefusalsAndDimensionBombs) {
    const Bytes whole = MakeJpeg(13, 9, 3);
    const size_t scanData = FindJpegMarker(whole, 0xDA) + 2 + 12;  // marker, length, 10 bytes
    for (size_t n = 0; n < whole.size(); ++n) {
        const PictureProbe q = Probe(Bytes(whole.begin(), whole.begin() + static_cast<long>(n)));
        ASSERT_EQ(q.verdict == kProbeSound, n >= scanData) << n;
        ASSERT_EQ(q.needsEndMarker, n >= scanData) << n;
    }
    auto claim = [](size_t fileBytes, uint32_t width, uint32_t height) {
        Bytes b = MakeJpeg(64, 48, 3, true, fileBytes);
        const size_t sof = FindJpegMarker(b, 0xC0);
        PutBe16(b, sof + 5, height);
        PutBe16(b, sof + 7, width);
        return VerdictOf(b);
    };
    EXPECT_EQ(claim(1900, 23170, 23170), kProbeOutOfProportion);
    EXPECT_EQ(claim(4600, 8000, 8000), kProbeOutOfProportion);
    EXPECT_EQ(claim(4600, 1024, 1024), kProbeSound) << "a megapixel is never refused";
    EXPECT_EQ(QUB_CheckPictureBudget(23171, 23171, 0, 100), kProbeTooLarge) << "2^31 bytes";
    EXPECT_EQ(QUB_CheckPictureBudget(1025, 1024, 5000, 4999), kProbeOutOfProportion);
    EXPECT_EQ(QUB_ProbePicture(nullptr, 0).verdict, kProbeNotAPicture);
    Bytes b = MakeBmp(1, 1, 4);
    b.resize(118);  // file and info headers and 16 colours: the pixels would follow
    PutLe32(b, 18, 23170);
    PutLe32(b, 22, 23170);
    EXPECT_EQ(VerdictOf(b), kProbeOutOfProportion) << "118 bytes claiming 23170 squared";
    // Fields a sound file's probe must read: an LZW code size past 8, a
    // placeable metafile of 0 units an inch, 65500 x 65500 pixels.
    b = MakeGif(11, 6, 2);
    b[13 + 12 + 8 + 10] = 12;
    EXPECT_EQ(VerdictOf(b), kProbeBadHeader);
    b = MakeWmf(true);
    PutLe16(b, 14, 0);
    EXPECT_EQ(VerdictOf(b), kProbeBadHeader);
    b = MakeJpeg(13, 9, 3);
    PutBe32(b, FindJpegMarker(b, 0xC0) + 5, 0xFFDCFFDC);
    EXPECT_EQ(VerdictOf(b), kProbeTooLarge);
    // A scan repeated: 100 scans are taken, 101 and 3,000 are refused.
    const Bytes jpeg = MakeJpeg(13, 9, 3);
    const Bytes scan(jpeg.begin() + static_cast<long>(FindJpegMarker(jpeg, 0xDA)), jpeg.end() - 2);
    for (const auto& [scans, verdict] : {std::pair{100, kProbeSound}, {101, kProbeExcessData},
                                         {3000, kProbeExcessData}}) {
        b.assign(jpeg.begin(), jpeg.end() - 2);
        for (int k = 1; k < scans; ++k) Append(b, scan);
        Append(b, {0xFF, 0xD9});
        EXPECT_EQ(VerdictOf(b), verdict) << scans << " scans";
    }
}

// The image data inflates to exactly the filtered rows, interlaced or not,
// however it is coded and split; one byte more is refused, while a stream that
// stops short is the decoder's.
TEST(PictureProbe, PngColourTypesDepthsAndStreams) {
    const int kinds[][2] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                            {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    const int channels[7] = {1, 0, 3, 1, 2, 0, 4};
    for (const auto& k : kinds)
        for (bool interlaced : {false, true})
            for (Deflate how : {Deflate::kStored, Deflate::kFixed}) {
                const PngShape shape{9 + k[1], 4 + k[0], k[0], k[1], interlaced};
                Bytes rows = PngRows(shape);
                const size_t chunk = how == Deflate::kFixed ? 5 : SIZE_MAX;
                SCOPED_TRACE(testing::Message() << k[0] << "/" << k[1] << " " << interlaced);
                const PictureProbe p = Probe(MakePngAround(shape, ZlibOf(rows, how), chunk));
                EXPECT_EQ(p.verdict, kProbeSound);
                EXPECT_EQ(p.depth, channels[k[0]] * k[1]);
                const Bytes z = ZlibOf(rows, how);
                EXPECT_EQ(VerdictOf(MakePngAround(shape, Bytes(z.begin(), z.end() - 9))),
                          kProbeSound);
                rows.push_back(rows.back());
                EXPECT_EQ(VerdictOf(MakePngAround(shape, ZlibOf(rows, how), chunk)),
                          kProbeExcessData);
            }
    // 960 x 960 RGB takes 2,766,720 bytes of rows; matches hold four times
    // that in 70 KB.
    const PngShape shape{960, 960, 2, 8, false};
    const Bytes bomb = MakePngAround(shape, ZlibOf(Bytes(4 * PngRows(shape).size(), 0),
                                                   Deflate::kFixed), 8192);
    EXPECT_EQ(VerdictOf(bomb), kProbeExcessData);
    EXPECT_LT(bomb.size(), size_t{80000});
}

}  // namespace
