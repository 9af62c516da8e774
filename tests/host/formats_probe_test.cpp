// The picture probe on valid files of every format and depth, on the hostile
// files that crashed or ballooned the platform decoders, on patched fields and
// on every truncation.
#include <gtest/gtest.h>

#include <initializer_list>

#include "formats/picture_probe.h"
#include "tests/host/formats_builders.h"

namespace {

PictureProbe Probe(const Bytes& b) {
    const Bytes exact(b);  // allocated to its size, so a read past it is caught
    return QUB_ProbePicture(exact.data(), exact.size());
}

ProbeVerdict VerdictOf(const Bytes& b) { return Probe(b).verdict; }

void ExpectSound(const Bytes& b, PictureFormat format, int width, int height, int depth) {
    const PictureProbe p = Probe(b);
    EXPECT_EQ(p.format, format);
    EXPECT_EQ(p.verdict, kProbeSound) << QUB_ProbeVerdictText(p.verdict);
    EXPECT_EQ(p.width, width);
    EXPECT_EQ(p.height, height);
    EXPECT_EQ(p.depth, depth);
    EXPECT_FALSE(p.needsEndMarker);
}

// Every proper prefix is refused: each format ends in an end marker, trailer
// or end record that the probe insists on (JPEG aside).
void ExpectEveryCutRefused(const Bytes& b) {
    for (size_t n = 0; n < b.size(); ++n)
        ASSERT_NE(VerdictOf(Bytes(b.begin(), b.begin() + static_cast<long>(n))), kProbeSound)
            << "cut to " << n << " of " << b.size();
}

struct Patch {
    const char* what;
    size_t at;
    int bytes;  // 1, 2 or 4
    uint32_t value;
    ProbeVerdict expected;
};

void ExpectPatches(const Bytes& good, bool bigEndian, std::initializer_list<Patch> patches) {
    ASSERT_EQ(VerdictOf(good), kProbeSound);
    for (const Patch& p : patches) {
        Bytes b = good;
        PutInt(b, p.at, p.value, p.bytes, bigEndian);
        EXPECT_EQ(VerdictOf(b), p.expected) << p.what;
    }
}

TEST(PictureProbe, BmpDepthsHeadersAndCuts) {
    for (int bits : {1, 4, 8, 16, 24, 32})
        ExpectSound(MakeBmp(7, 5, bits), kPictureBmp, 7, 5, bits);
    for (int bits : {1, 4, 8, 24}) ExpectSound(MakeBmp(7, 5, bits, 12), kPictureBmp, 7, 5, bits);
    ExpectSound(MakeBmp(7, -5, 8), kPictureBmp, 7, 5, 8);  // top-down
    ExpectSound(MakeBmp(7, 5, 16, 40, 3), kPictureBmp, 7, 5, 16);
    ExpectSound(MakeBmp(7, 5, 32, 124, 3), kPictureBmp, 7, 5, 32);
    ExpectSound(MakeBmp(300, 3, 8, 40, 1), kPictureBmp, 300, 3, 8);  // RLE8
    ExpectEveryCutRefused(MakeBmp(7, 5, 4));
    ExpectEveryCutRefused(MakeBmp(7, -5, 32, 124, 3));
}

TEST(PictureProbe, BmpPatched) {
    const Bytes good = MakeBmp(7, 5, 8);
    ExpectPatches(
        good, false,
        {{"planes", 26, 2, 2, kProbeBadHeader},
         {"bit count", 28, 2, 7, kProbeBadHeader},
         {"height", 22, 4, 0, kProbeBadDimensions},
         {"negative width", 18, 4, 0x80000001u, kProbeBadDimensions},
         {"BI_JPEG", 30, 4, 4, kProbeUnsupported},
         {"pixels where the palette is", 10, 4, 54, kProbeNoColourTable},
         {"pixels inside the header", 10, 4, 40, kProbeBadHeader},
         {"pixels at the end", 10, 4, static_cast<uint32_t>(good.size()), kProbeTruncated}});
    ExpectPatches(MakeBmp(300, 3, 8, 40, 1), false,
                  {{"RLE top-down", 22, 4, static_cast<uint32_t>(-3), kProbeBadHeader}});
    Bytes b = MakeBmp(7, 5, 24, 124);
    PutLe32(b, 14 + 56, 0x4D424544);  // an embedded profile past the end
    PutLe32(b, 14 + 112, 5000);
    PutLe32(b, 14 + 116, 16);
    EXPECT_EQ(VerdictOf(b), kProbeTruncated);
    b = MakeBmp(1, 1, 4);
    b.resize(118);  // file and info headers and 16 colours: the pixels would follow
    PutLe32(b, 18, 23170);
    PutLe32(b, 22, 23170);
    EXPECT_EQ(VerdictOf(b), kProbeOutOfProportion) << "118 bytes claiming 23170 squared";
}

TEST(PictureProbe, JpegComponentsAndMissingEnd) {
    for (int c : {1, 3, 4}) ExpectSound(MakeJpeg(13, 9, c), kPictureJpeg, 13, 9, 8 * c);
    const PictureProbe p = Probe(MakeJpeg(13, 9, 3, false));
    EXPECT_EQ(p.verdict, kProbeSound);
    EXPECT_TRUE(p.needsEndMarker);
    EXPECT_EQ(p.width, 13);
    // Cut anywhere: refused before the scan, sound but short of its end after.
    const Bytes whole = MakeJpeg(13, 9, 3);
    const size_t scanData = FindJpegMarker(whole, 0xDA) + 2 + 12;  // marker, length, 10 bytes
    for (size_t n = 0; n < whole.size(); ++n) {
        const PictureProbe q = Probe(Bytes(whole.begin(), whole.begin() + static_cast<long>(n)));
        ASSERT_EQ(q.verdict == kProbeSound, n >= scanData) << n;
        ASSERT_EQ(q.needsEndMarker, n >= scanData) << n;
    }
}

TEST(PictureProbe, JpegPatched) {
    const Bytes good = MakeJpeg(13, 9, 3);
    const size_t sof = FindJpegMarker(good, 0xC0), sos = FindJpegMarker(good, 0xDA);
    ExpectPatches(good, true,
                  {{"65500 x 65500", sof + 5, 4, 0xFFDCFFDC, kProbeTooLarge},
                   {"height from a DNL marker", sof + 5, 2, 0, kProbeBadDimensions},
                   {"5 components", sof + 9, 1, 5, kProbeBadHeader},
                   {"sampling factor 5", sof + 11, 1, 0x51, kProbeBadHeader},
                   {"lossless", sof + 1, 1, 0xC3, kProbeUnsupported},
                   {"frame header made APP5: scan first", sof + 1, 1, 0xE5, kProbeBadOrder},
                   {"EOI where the scan was", sos + 1, 1, 0xD9, kProbeNoPictureData},
                   {"scan of a component not in the frame", sos + 5, 1, 7, kProbeBadStructure}});
}

TEST(PictureProbe, JpegDimensionBombs) {
    auto claim = [](size_t fileBytes, uint32_t width, uint32_t height) {
        Bytes b = MakeJpeg(64, 48, 3, true, fileBytes);
        EXPECT_EQ(b.size(), fileBytes);
        const size_t sof = FindJpegMarker(b, 0xC0);
        PutBe16(b, sof + 5, height);
        PutBe16(b, sof + 7, width);
        return VerdictOf(b);
    };
    EXPECT_EQ(claim(1900, 23170, 23170), kProbeOutOfProportion);
    EXPECT_EQ(claim(4600, 8000, 8000), kProbeOutOfProportion);
    EXPECT_EQ(claim(4600, 65500, 65500), kProbeTooLarge);
    EXPECT_EQ(claim(4600, 1024, 1024), kProbeSound) << "a megapixel is never refused";
    // A real flat 4000 x 3000 picture at two bits a block is far from the bound.
    ExpectSound(MakeJpeg(4000, 3000, 1), kPictureJpeg, 4000, 3000, 8);
}

TEST(PictureProbe, GifTablesFramesAndCuts) {
    for (int bits = 1; bits <= 8; ++bits) {
        ExpectSound(MakeGif(11, 6, bits), kPictureGif, 11, 6, bits);
        ExpectSound(MakeGif(11, 6, bits, true, 2), kPictureGif, 11, 6, bits);
    }
    ExpectEveryCutRefused(MakeGif(11, 6, 3, true, 2));
    const size_t descriptor = 13 + 12 + 8;  // screen, colour table, graphic control
    ExpectPatches(MakeGif(11, 6, 2), false,
                  {{"screen width", 6, 2, 0, kProbeBadDimensions},
                   {"frame height", descriptor + 7, 2, 0, kProbeBadDimensions},
                   {"not a block", descriptor, 1, 0x2D, kProbeBadStructure},
                   {"LZW code size", descriptor + 10, 1, 12, kProbeBadHeader}});
    Bytes b = MakeGif(11, 6, 2, true);
    b[13 + 8 + 9] = 0;  // drop the local table's flag and its bytes
    b.erase(b.begin() + 13 + 8 + 10, b.begin() + 13 + 8 + 22);
    EXPECT_EQ(VerdictOf(b), kProbeNoColourTable);
}

TEST(PictureProbe, GifAndPngClaimsAgainstTheirBestCompression) {
    // LZW of a flat 4000 x 3000 picture comes to 9 KB or more; 1 KB cannot hold it.
    EXPECT_EQ(VerdictOf(MakeGif(4000, 3000, 1, false, 1, 9200)), kProbeSound);
    EXPECT_EQ(VerdictOf(MakeGif(4000, 3000, 1, false, 1, 1000)), kProbeOutOfProportion);
    // Deflate reaches 1032:1: a flat 4000 x 3000 RGB picture needs 35 KB at its best.
    EXPECT_EQ(VerdictOf(MakePng(4000, 3000, 2, 8, 35000)), kProbeSound);
    EXPECT_EQ(VerdictOf(MakePng(4000, 3000, 2, 8, 8000)), kProbeOutOfProportion);
}

// The image data inflates to exactly the filtered rows, interlaced or not,
// however it is coded and split; one byte more is refused, as is a stream
// inflate would refuse, while a stream that stops short is the decoder's to
// show as far as it goes.
TEST(PictureProbe, PngColourTypesDepthsAndCuts) {
    const int kinds[][2] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                            {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    const int channels[7] = {1, 0, 3, 1, 2, 0, 4};
    for (const auto& k : kinds)
        for (bool interlaced : {false, true})
            for (Deflate how : {Deflate::kStored, Deflate::kFixed, Deflate::kDynamic}) {
                const PngShape shape{9 + k[1], 4 + k[0], k[0], k[1], interlaced};
                Bytes rows = PngRows(shape);
                const size_t chunk = how == Deflate::kFixed ? 5 : SIZE_MAX;
                SCOPED_TRACE(testing::Message() << k[0] << "/" << k[1] << " " << interlaced << " "
                                                << static_cast<int>(how));
                ExpectSound(MakePngAround(shape, ZlibOf(rows, how), chunk), kPicturePng,
                            shape.width, shape.height, channels[k[0]] * k[1]);
                rows.push_back(rows.back());
                EXPECT_EQ(VerdictOf(MakePngAround(shape, ZlibOf(rows, how), chunk)),
                          kProbeExcessData);
                const Bytes z = ZlibOf(PngRows(shape), how);
                EXPECT_EQ(VerdictOf(MakePngAround(shape, Bytes(z.begin(), z.end() - 9))),
                          kProbeSound);
            }
    // 4 x 4 grey: 20 bytes of rows. Hand-made streams: a fixed block whose
    // first code is a match, block type 3, a wrong header check, a stored
    // length and complement that disagree, a dynamic block of 287 codes.
    const PngShape grey{4, 4, 0, 8, false};
    const Bytes broken[] = {{0x78, 0x01, 0x03, 0x02, 0x00},
                            {0x78, 0x01, 0x07, 0x00},
                            {0x78, 0x02, 0x01, 0x01, 0x00, 0xFE, 0xFF, 0x00},
                            {0x78, 0x01, 0x01, 0x01, 0x00, 0xFF, 0xFF, 0x00},
                            {0x78, 0x01, 0xF5, 0x00, 0x00}};
    for (const Bytes& z : broken)
        EXPECT_EQ(VerdictOf(MakePngAround(grey, z)), kProbeBadStructure) << z.size();
    // A stored block of 1 byte lies wholly in the bits the walk holds.
    const Bytes rows = PngRows(grey), whole = ZlibOf(rows, Deflate::kStored);
    Bytes z = {0x78, 0x01, 0x00, 0x01, 0x00, 0xFE, 0xFF, rows[0], 0x01};
    AddLe16(z, static_cast<uint32_t>(rows.size() - 1));
    AddLe16(z, static_cast<uint32_t>(~(rows.size() - 1) & 0xFFFF));
    z.insert(z.end(), rows.begin() + 1, rows.end());
    Append(z, Bytes(whole.end() - 4, whole.end()));  // the same Adler-32
    EXPECT_EQ(VerdictOf(MakePngAround(grey, z)), kProbeSound);
    ExpectEveryCutRefused(MakePng(9, 4, 3, 4));
    const Bytes good = MakePng(9, 4, 3, 8);
    const size_t plte = FindPngChunk(good, "PLTE"), idat = FindPngChunk(good, "IDAT");
    ExpectPatches(good, true,
                  {{"RGB at 4 bits", 24, 2, 0x0402, kProbeBadHeader},
                   {"interlace method", 28, 1, 2, kProbeBadHeader},
                   {"width", 16, 4, 0, kProbeBadDimensions},
                   {"IHDR not first", 12, 4, 0x49444154, kProbeBadStructure},
                   {"palette made ancillary", plte + 4, 1, 't', kProbeNoColourTable},
                   {"IEND before IDAT", idat + 4, 4, 0x49454E44, kProbeNoPictureData},
                   {"IDAT length", idat, 4, 0x7FFFFFF0, kProbeTruncated},
                   {"chunk type not letters", plte + 4, 4, 0x74314554, kProbeBadStructure}});
    Bytes b = good, palette;  // one of 10 bytes, 3 1/3 colours
    AddPngChunk(palette, "PLTE", Bytes(10, 7));
    b.erase(b.begin() + static_cast<long>(plte), b.begin() + static_cast<long>(plte + 12 + 768));
    b.insert(b.begin() + static_cast<long>(plte), palette.begin(), palette.end());
    EXPECT_EQ(VerdictOf(b), kProbeBadStructure);
}

// 960 x 960 RGB takes 2,766,720 bytes of rows; this stream of matches holds
// four times that in 70 KB.
TEST(PictureProbe, PngZlibBomb) {
    const PngShape shape{960, 960, 2, 8, false};
    const Bytes zeros(4 * PngRows(shape).size(), 0);
    const Bytes bomb = MakePngAround(shape, ZlibOf(zeros, Deflate::kFixed), 8192);
    const PictureProbe p = Probe(bomb);
    EXPECT_EQ(p.verdict, kProbeExcessData);
    EXPECT_EQ(p.width, 960);
    EXPECT_LT(bomb.size(), size_t{80000});

    // The right rows behind 20,000 empty stored blocks: 100 KB of stream for
    // 52 bytes of rows, which only slows the walk.
    const PngShape tiny{4, 4, 2, 8, false};
    const Bytes rows = PngRows(tiny);
    Bytes padded = {0x78, 0x01};
    for (int i = 0; i < 20000; ++i) Append(padded, {0x00, 0x00, 0x00, 0xFF, 0xFF});
    padded.push_back(0x01);
    AddLe16(padded, static_cast<uint32_t>(rows.size()));
    AddLe16(padded, static_cast<uint32_t>(~rows.size() & 0xFFFF));
    Append(padded, rows);
    const Bytes whole = ZlibOf(rows, Deflate::kStored);
    Append(padded, Bytes(whole.end() - 4, whole.end()));  // the same Adler-32
    EXPECT_EQ(Probe(MakePngAround(tiny, padded)).verdict, kProbeExcessData);
    padded.erase(padded.begin() + 2, padded.begin() + 2 + 5 * 20000 - 5 * 13000);
    EXPECT_EQ(Probe(MakePngAround(tiny, padded)).verdict, kProbeSound) << "65 KB of empty blocks";
}

TEST(PictureProbe, TiffBothByteOrders) {
    for (bool big : {false, true}) {
        // Samples, bits, palette: 1 bit to 4 x 8, two palettes.
        const int kinds[][3] = {{1, 1, 0}, {1, 16, 0}, {2, 8, 0}, {3, 8, 0},
                                {4, 8, 0}, {1, 4, 1},  {1, 8, 1}};
        for (const auto& k : kinds)
            ExpectSound(MakeTiff(7, 5, k[0], k[1], big, k[2]), kPictureTiff, 7, 5, k[0] * k[1]);
        ExpectEveryCutRefused(MakeTiff(7, 5, 3, 8, big));
        Bytes one = MakeTiff(7, 2, 3, 8, big);  // a single strip: its offset sits in the entry
        PutInt(one, FindTiffEntry(one, 273) + 8, static_cast<uint32_t>(one.size() - 2), 4, big);
        EXPECT_EQ(VerdictOf(one), kProbeTruncated) << "strip past the end";
        const Bytes good = MakeTiff(7, 5, 3, 8, big);
        const uint32_t size = static_cast<uint32_t>(good.size());
        auto entry = [&good](uint16_t tag) { return FindTiffEntry(good, tag); };
        ExpectPatches(
            good, big,
            {{"BigTIFF", 2, 2, 43, kProbeUnsupported},
             {"directory past the end", 4, 4, size + 10, kProbeTruncated},
             {"no ImageWidth", entry(256), 2, 999, kProbeBadHeader},
             {"strip offsets past the end", entry(273) + 8, 4, size - 4, kProbeTruncated},
             {"compression", entry(259) + 8, 2, 99, kProbeUnsupported},
             {"palette without a map", entry(262) + 8, 2, 3, kProbeNoColourTable},
             {"too few strips", entry(278) + 8, 4, 1, kProbeBadStructure},
             {"uncompressed 10^6 wide", entry(256) + 8, 4, 1000000, kProbeOutOfProportion}});
    }
}

TEST(PictureProbe, IcoLargestImageAllChecked) {
    ExpectSound(MakeIco({{16, 4, false}, {48, 32, false}, {32, 8, false}}), kPictureIco, 48, 48,
                32);
    ExpectSound(MakeIco({{16, 1, false}, {24, 24, false}}), kPictureIco, 24, 24, 24);
    ExpectSound(MakeIco({{16, 8, false}, {256, 32, true}}), kPictureIco, 256, 256, 32);  // 0 is 256
    ExpectEveryCutRefused(MakeIco({{16, 4, false}, {5, 32, true}}));
    const Bytes good = MakeIco({{16, 4, false}, {32, 8, false}});
    ExpectPatches(good, false,
                  {{"image past the end", 6 + 16 + 12, 4, static_cast<uint32_t>(good.size()),
                    kProbeTruncated},
                   {"image over the directory", 6 + 12, 4, 0, kProbeBadStructure},
                   {"no room for the mask", 6 + 8, 4, 40 + 64 + 128, kProbeTruncated}});
}

TEST(PictureProbe, WmfPlaceablePlainAndCuts) {
    ExpectSound(MakeWmf(true), kPictureWmf, 67, 33, 32);
    ExpectSound(MakeWmf(false), kPictureWmf, 67, 33, 32);
    ExpectEveryCutRefused(MakeWmf(true));
    ExpectEveryCutRefused(MakeWmf(false));
    const Bytes good = MakeWmf(true);
    ExpectPatches(
        good, false,
        {{"units an inch", 14, 2, 0, kProbeBadHeader},
         {"record of two words", FindWmfRecord(good, 0x041B), 4, 2, kProbeBadRecord},
         {"polyline of 200 points", FindWmfRecord(good, 0x0325) + 6, 2, 200, kProbeBadRecord},
         {"DIB of 40 rows", FindWmfRecord(good, 0x0B41) + 6 + 20 + 8, 4, 40, kProbeBadRecord},
         {"DIB of 3 rows, 2 stored", FindWmfRecord(good, 0x0B41) + 6 + 20 + 8, 4, 3,
          kProbeBadRecord},
         {"object 1 of 1", FindWmfRecord(good, 0x012D) + 6, 2, 1, kProbeBadRecord},
         {"EOF made an unknown record", FindWmfRecord(good, 0) + 4, 2, 0x0999, kProbeNoEndRecord}});
    const Bytes plain = MakeWmf(false);
    ExpectPatches(plain, false,
                  {{"no SetWindowExt, no size", FindWmfRecord(plain, 0x020C) + 4, 2, 0x020D,
                    kProbeBadDimensions}});
}

// Records of fixed size (MS-WMF, in 16-bit words) and two of counted size, in
// place of the RECTANGLE, their parameters 0 but the counts: sound at their
// size, refused one word short. POLYPOLYGON: 1 polygon of 2 points; TEXTOUT:
// 3 characters.
TEST(PictureProbe, WmfRecordsOfTheirSize) {
    const uint16_t kSizes[][4] = {{0x0108, 4, 0, 0},  {0x020C, 5, 0, 0},  {0x041B, 7, 0, 0},
                                  {0x061C, 9, 0, 0},  {0x0817, 11, 0, 0}, {0x02FC, 7, 0, 0},
                                  {0x0538, 9, 1, 2},  {0x0521, 8, 3, 0}};
    for (const auto& k : kSizes)
        for (uint32_t words : {uint32_t{k[1]}, k[1] - 1u}) {
            Bytes b = MakeWmf(false), r(2 * words, 0);
            PutLe32(r, 0, words);
            PutLe16(r, 4, k[0]);
            if (words > 3) PutLe16(r, 6, k[2]);
            if (words > 4) PutLe16(r, 8, k[3]);
            const long at = static_cast<long>(FindWmfRecord(b, 0x041B));
            b.erase(b.begin() + at, b.begin() + at + 14);
            b.insert(b.begin() + at, r.begin(), r.end());
            PutLe32(b, 6, static_cast<uint32_t>(b.size() / 2));
            EXPECT_EQ(VerdictOf(b), words == k[1] ? kProbeSound : kProbeBadRecord)
                << std::hex << k[0] << " of " << words;
        }
}

TEST(PictureProbe, EmfRecordsChecked) {
    const Bytes good = MakeEmf();
    ExpectSound(good, kPictureEmf, 64, 48, 32);
    ExpectEveryCutRefused(good);
    auto record = [&good](uint32_t type) { return FindEmfRecord(good, type); };
    ExpectPatches(good, false,
                  {{"record of size 0", record(43) + 4, 4, 0, kProbeBadRecord},
                   {"size not a multiple of 4", record(43) + 4, 4, 22, kProbeBadRecord},
                   {"POLYLINE16 points", record(87) + 24, 4, 1000, kProbeBadRecord},
                   {"STRETCHDIBITS bits for one row", record(81) + 60, 4, 12, kProbeBadRecord},
                   {"EXTTEXTOUTW of 50 characters", record(84) + 44, 4, 50, kProbeBadRecord},
                   {"EMF+ record past its comment", record(70) + 20, 4, 400, kProbeBadRecord},
                   {"handle 2 of 2", record(37) + 8, 4, 2, kProbeBadRecord},
                   {"stock object", record(37) + 8, 4, 0x80000005, kProbeSound},
                   {"EOF made SETPIXELV", record(14), 4, 15, kProbeNoEndRecord},
                   {"device without millimetres", 80, 4, 0, kProbeBadHeader},
                   {"a frame 20 km wide", 32, 4, 2000000000, kProbeTooLarge}});
    // The EMF+ record (type, size, data size, data) cut in two, the first of
    // 12 bytes without data.
    Bytes b = good;
    const size_t plus = record(70) + 16;
    PutLe32(b, plus + 4, 12);
    PutLe32(b, plus + 8, 0);
    PutLe32(b, plus + 16, 16);
    PutLe32(b, plus + 20, 4);
    EXPECT_EQ(VerdictOf(b), kProbeSound);
}

// Records of fixed size (MS-EMF), in place of the RECTANGLE, their fields 0
// but for handle 1 at offset 8 and the counts at 24 and 28: sound at their
// size, refused 4 bytes short. BEGINPATH has no fields of its own: only the
// walk's rules stand between a size of 4 and a walk that never moves on.
// POLYPOLYLINE of 44: one line of one point.
TEST(PictureProbe, EmfRecordsOfTheirSize) {
    const uint32_t kSizes[][4] = {{4, 28, 0, 0},   {7, 32, 0, 0},    {38, 28, 0, 0},
                                  {55, 40, 0, 0},  {112, 20, 0, 0},  {114, 108, 0, 0},
                                  {59, 8, 0, 0},   {9, 16, 0, 0},    {7, 44, 1, 1},
                                  {8, 32, 0, 0}};
    for (const auto& k : kSizes)
        for (uint32_t size : {k[1], k[1] - 4}) {
            Bytes b = MakeEmf(), r(size < 8 ? 8 : size, 0);
            PutLe32(r, 0, k[0]);
            PutLe32(r, 4, size);
            if (size >= 12) PutLe32(r, 8, 1);
            if (size >= 32) PutLe32(r, 24, k[2]);
            if (size >= 32) PutLe32(r, 28, k[3]);
            const long at = static_cast<long>(FindEmfRecord(b, 43));
            b.erase(b.begin() + at, b.begin() + at + 24);
            b.insert(b.begin() + at, r.begin(), r.end());
            PutLe32(b, 48, static_cast<uint32_t>(b.size()));
            EXPECT_EQ(VerdictOf(b), size == k[1] ? kProbeSound : kProbeBadRecord)
                << k[0] << " of " << size;
        }
}

TEST(PictureProbe, NotPicturesAndTexts) {
    const Bytes text = {'h', 'e', 'l', 'l', 'o', '\n'};
    EXPECT_EQ(Probe(text).format, kPictureUnknown);
    EXPECT_EQ(VerdictOf(text), kProbeNotAPicture);
    EXPECT_EQ(QUB_ProbePicture(nullptr, 0).verdict, kProbeNotAPicture);
    EXPECT_STREQ(QUB_ProbeVerdictText(kProbeOutOfProportion), "size too large for the file");
    EXPECT_STREQ(QUB_PictureFormatName(kPictureEmf), "EMF");
}

TEST(PictureBudget, LimitFloorAndProportion) {
    EXPECT_EQ(QUB_CheckPictureBudget(23170, 23170, 0, 100), kProbeSound) << "under 2^31 bytes";
    EXPECT_EQ(QUB_CheckPictureBudget(23171, 23171, 0, 100), kProbeTooLarge);
    EXPECT_EQ(QUB_CheckPictureBudget(0, 5, 0, 100), kProbeBadDimensions);
    EXPECT_EQ(QUB_CheckPictureBudget(1024, 1024, 5000, 100), kProbeSound) << "floor";
    EXPECT_EQ(QUB_CheckPictureBudget(1025, 1024, 5000, 4999), kProbeOutOfProportion);
    EXPECT_EQ(QUB_CheckPictureBudget(1025, 1024, 5000, 5000), kProbeSound);
}

}  // namespace
