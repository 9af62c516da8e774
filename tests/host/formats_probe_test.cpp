// The picture probe on valid files of every format and depth and on every
// truncation of them, on patched fields, and on the hostile files that
// crashed or ballooned the platform decoders.
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
    v.push_back({MakeBmp(7, 5, 16, 40, 3), kPictureBmp, 7, 5, 16, false});
    v.push_back({MakeBmp(7, -5, 32, 124, 3), kPictureBmp, 7, 5, 32, true});
    v.push_back({MakeBmp(300, 3, 8, 40, 1), kPictureBmp, 300, 3, 8, false});  // RLE8
    for (int c : {1, 3, 4}) v.push_back({MakeJpeg(13, 9, c), kPictureJpeg, 13, 9, 8 * c, false});
    // A real flat 4000 x 3000 picture at two bits a block is far from the bound.
    v.push_back({MakeJpeg(4000, 3000, 1), kPictureJpeg, 4000, 3000, 8, false});
    for (int bits = 1; bits <= 8; ++bits) {
        v.push_back({MakeGif(11, 6, bits), kPictureGif, 11, 6, bits, false});
        v.push_back({MakeGif(11, 6, bits, true, 2), kPictureGif, 11, 6, bits, bits == 3});
    }
    v.push_back({MakePng(9, 4, 3, 4), kPicturePng, 9, 4, 4, true});
    for (bool big : {false, true}) {  // samples, bits, palette: 1 bit to 4 x 8
        const int kinds[][3] = {{1, 1, 0}, {1, 16, 0}, {2, 8, 0}, {3, 8, 0},
                                {4, 8, 0}, {1, 4, 1},  {1, 8, 1}};
        for (const auto& k : kinds)
            v.push_back({MakeTiff(7, 5, k[0], k[1], big, k[2]), kPictureTiff, 7, 5, k[0] * k[1],
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

struct Patch {
    const Bytes* file;
    const char* what;
    size_t at;
    int bytes;  // 1, 2 or 4
    uint32_t value;
    ProbeVerdict expected;
};

// Each field of a sound file patched, in the file's byte order.
void ExpectPatches(const std::vector<Patch>& patches, bool bigEndian) {
    for (const Patch& p : patches) {
        ASSERT_EQ(VerdictOf(*p.file), kProbeSound) << p.what;
        Bytes b = *p.file;
        PutInt(b, p.at, p.value, p.bytes, bigEndian);
        EXPECT_EQ(VerdictOf(b), p.expected) << p.what;
    }
}

TEST(PictureProbe, PatchedFieldsOfTheLittleEndianFormats) {
    const Bytes bmp = MakeBmp(7, 5, 8), rle = MakeBmp(300, 3, 8, 40, 1), gif = MakeGif(11, 6, 2);
    const Bytes ico = MakeIco({{16, 4, false}, {32, 8, false}}), wmf = MakeWmf(true);
    const Bytes plain = MakeWmf(false), emf = MakeEmf();
    const uint32_t bmpSize = static_cast<uint32_t>(bmp.size());
    const size_t gifFrame = 13 + 12 + 8;  // screen, colour table, graphic control
    const size_t dib = FindWmfRecord(wmf, 0x0B41) + 6 + 20 + 8;  // its height
    const auto e = [&emf](uint32_t type) { return FindEmfRecord(emf, type); };
    ExpectPatches(
        {{&bmp, "planes", 26, 2, 2, kProbeBadHeader},
         {&bmp, "bit count", 28, 2, 7, kProbeBadHeader},
         {&bmp, "height", 22, 4, 0, kProbeBadDimensions},
         {&bmp, "BI_JPEG", 30, 4, 4, kProbeUnsupported},
         {&bmp, "pixels where the palette is", 10, 4, 54, kProbeNoColourTable},
         {&bmp, "pixels at the end", 10, 4, bmpSize, kProbeTruncated},
         {&rle, "RLE top-down", 22, 4, static_cast<uint32_t>(-3), kProbeBadHeader},
         {&gif, "screen width", 6, 2, 0, kProbeBadDimensions},
         {&gif, "not a block", gifFrame, 1, 0x2D, kProbeBadStructure},
         {&gif, "LZW code size", gifFrame + 10, 1, 12, kProbeBadHeader},
         {&ico, "image past the end", 6 + 16 + 12, 4, static_cast<uint32_t>(ico.size()),
          kProbeTruncated},
         {&ico, "image over the directory", 6 + 12, 4, 0, kProbeBadStructure},
         {&ico, "no room for the mask", 6 + 8, 4, 40 + 64 + 128, kProbeTruncated},
         {&wmf, "units an inch", 14, 2, 0, kProbeBadHeader},
         {&wmf, "record of two words", FindWmfRecord(wmf, 0x041B), 4, 2, kProbeBadRecord},
         {&wmf, "polyline of 200 points", FindWmfRecord(wmf, 0x0325) + 6, 2, 200,
          kProbeBadRecord},
         {&wmf, "DIB of 40 rows", dib, 4, 40, kProbeBadRecord},
         {&wmf, "object 1 of 1", FindWmfRecord(wmf, 0x012D) + 6, 2, 1, kProbeBadRecord},
         {&wmf, "EOF made unknown", FindWmfRecord(wmf, 0) + 4, 2, 0x0999, kProbeNoEndRecord},
         {&plain, "no SetWindowExt, no size", FindWmfRecord(plain, 0x020C) + 4, 2, 0x020D,
          kProbeBadDimensions},
         {&emf, "record of size 0", e(43) + 4, 4, 0, kProbeBadRecord},
         {&emf, "POLYLINE16 points", e(87) + 24, 4, 1000, kProbeBadRecord},
         {&emf, "STRETCHDIBITS bits for one row", e(81) + 60, 4, 12, kProbeBadRecord},
         {&emf, "EXTTEXTOUTW of 50 characters", e(84) + 44, 4, 50, kProbeBadRecord},
         {&emf, "EMF+ record past its comment", e(70) + 20, 4, 400, kProbeBadRecord},
         {&emf, "handle 2 of 2", e(37) + 8, 4, 2, kProbeBadRecord},
         {&emf, "EOF made SETPIXELV", e(14), 4, 15, kProbeNoEndRecord},
         {&emf, "device without millimetres", 80, 4, 0, kProbeBadHeader},
         {&emf, "a frame 20 km wide", 32, 4, 2000000000, kProbeTooLarge}},
        false);
    Bytes b = MakeBmp(1, 1, 4);
    b.resize(118);  // file and info headers and 16 colours: the pixels would follow
    PutLe32(b, 18, 23170);
    PutLe32(b, 22, 23170);
    EXPECT_EQ(VerdictOf(b), kProbeOutOfProportion) << "118 bytes claiming 23170 squared";
    b = MakeGif(11, 6, 2, true);
    b[13 + 8 + 9] = 0;  // drop the local table's flag and its bytes
    b.erase(b.begin() + 13 + 8 + 10, b.begin() + 13 + 8 + 22);
    EXPECT_EQ(VerdictOf(b), kProbeNoColourTable);
}

TEST(PictureProbe, PatchedFieldsOfTheBigEndianFormats) {
    const Bytes jpeg = MakeJpeg(13, 9, 3), png = MakePng(9, 4, 3, 8);
    const size_t sof = FindJpegMarker(jpeg, 0xC0), sos = FindJpegMarker(jpeg, 0xDA);
    const size_t plte = FindPngChunk(png, "PLTE"), idat = FindPngChunk(png, "IDAT");
    ExpectPatches(
        {{&jpeg, "65500 x 65500", sof + 5, 4, 0xFFDCFFDC, kProbeTooLarge},
         {&jpeg, "5 components", sof + 9, 1, 5, kProbeBadHeader},
         {&jpeg, "sampling factor 5", sof + 11, 1, 0x51, kProbeBadHeader},
         {&jpeg, "lossless", sof + 1, 1, 0xC3, kProbeUnsupported},
         {&jpeg, "frame header made APP5: scan first", sof + 1, 1, 0xE5, kProbeBadOrder},
         {&jpeg, "EOI where the scan was", sos + 1, 1, 0xD9, kProbeNoPictureData},
         {&jpeg, "scan of a component not in the frame", sos + 5, 1, 7, kProbeBadStructure},
         {&png, "RGB at 4 bits", 24, 2, 0x0402, kProbeBadHeader},
         {&png, "width", 16, 4, 0, kProbeBadDimensions},
         {&png, "IHDR not first", 12, 4, 0x49444154, kProbeBadStructure},
         {&png, "palette made ancillary", plte + 4, 1, 't', kProbeNoColourTable},
         {&png, "IEND before IDAT", idat + 4, 4, 0x49454E44, kProbeNoPictureData},
         {&png, "IDAT length", idat, 4, 0x7FFFFFF0, kProbeTruncated},
         {&png, "chunk type not letters", plte + 4, 4, 0x74314554, kProbeBadStructure}},
        true);
    for (bool big : {false, true}) {
        const Bytes tiff = MakeTiff(7, 5, 3, 8, big);
        const uint32_t size = static_cast<uint32_t>(tiff.size());
        const auto t = [&tiff](uint16_t tag) { return FindTiffEntry(tiff, tag); };
        ExpectPatches(
            {{&tiff, "BigTIFF", 2, 2, 43, kProbeUnsupported},
             {&tiff, "directory past the end", 4, 4, size + 10, kProbeTruncated},
             {&tiff, "no ImageWidth", t(256), 2, 999, kProbeBadHeader},
             {&tiff, "strip offsets past the end", t(273) + 8, 4, size - 4, kProbeTruncated},
             {&tiff, "compression", t(259) + 8, 2, 99, kProbeUnsupported},
             {&tiff, "palette without a map", t(262) + 8, 2, 3, kProbeNoColourTable},
             {&tiff, "too few strips", t(278) + 8, 4, 1, kProbeBadStructure},
             {&tiff, "uncompressed 10^6 wide", t(256) + 8, 4, 1000000, kProbeOutOfProportion}},
            big);
        Bytes one = MakeTiff(7, 2, 3, 8, big);  // a single strip: its offset sits in the entry
        PutInt(one, FindTiffEntry(one, 273) + 8, static_cast<uint32_t>(one.size() - 2), 4, big);
        EXPECT_EQ(VerdictOf(one), kProbeTruncated) << "strip past the end";
    }
}

// Cut anywhere: refused before the scan, sound but short of its end after.
TEST(PictureProbe, JpegCutsAndDimensionBombs) {
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
    // LZW of a flat 4000 x 3000 picture comes to 9 KB or more; deflate reaches
    // 1032:1, so the RGB one needs 35 KB at its best.
    EXPECT_EQ(VerdictOf(MakeGif(4000, 3000, 1, false, 1, 9200)), kProbeSound);
    EXPECT_EQ(VerdictOf(MakeGif(4000, 3000, 1, false, 1, 1000)), kProbeOutOfProportion);
    EXPECT_EQ(VerdictOf(MakePng(4000, 3000, 2, 8, 35000)), kProbeSound);
    EXPECT_EQ(VerdictOf(MakePng(4000, 3000, 2, 8, 8000)), kProbeOutOfProportion);
}

// The image data inflates to exactly the filtered rows, interlaced or not,
// however it is coded and split; one byte more is refused, as is a stream
// inflate would refuse, while a stream that stops short is the decoder's.
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
    // 4 x 4 grey: 20 bytes of rows. A fixed block whose first code is a match,
    // block type 3, a wrong header check, a stored length and complement that
    // disagree, a dynamic block of 287 codes.
    const PngShape grey{4, 4, 0, 8, false};
    const Bytes broken[] = {{0x78, 0x01, 0x03, 0x02, 0x00},
                            {0x78, 0x01, 0x07, 0x00},
                            {0x78, 0x02, 0x01, 0x01, 0x00, 0xFE, 0xFF, 0x00},
                            {0x78, 0x01, 0x01, 0x01, 0x00, 0xFF, 0xFF, 0x00},
                            {0x78, 0x01, 0xF5, 0x00, 0x00}};
    for (const Bytes& z : broken)
        EXPECT_EQ(VerdictOf(MakePngAround(grey, z)), kProbeBadStructure) << z.size();
    // A stored block of 1 byte lies wholly in the bits the walk holds; 20,000
    // empty stored blocks only slow the walk, 13,000 do not.
    const Bytes rows = PngRows(grey), whole = ZlibOf(rows, Deflate::kStored);
    Bytes z = {0x78, 0x01, 0x00, 0x01, 0x00, 0xFE, 0xFF, rows[0]};
    Bytes padded = {0x78, 0x01};
    for (int i = 0; i < 20000; ++i) Append(padded, {0x00, 0x00, 0x00, 0xFF, 0xFF});
    for (Bytes* s : {&z, &padded}) {
        s->push_back(0x01);
        const uint32_t n = static_cast<uint32_t>(rows.size()) - (s == &z ? 1 : 0);
        AddLe16(*s, n);
        AddLe16(*s, ~n & 0xFFFF);
        s->insert(s->end(), rows.end() - n, rows.end());
        Append(*s, Bytes(whole.end() - 4, whole.end()));  // the same Adler-32
    }
    EXPECT_EQ(VerdictOf(MakePngAround(grey, z)), kProbeSound);
    EXPECT_EQ(VerdictOf(MakePngAround(grey, padded)), kProbeExcessData);
    padded.erase(padded.begin() + 2, padded.begin() + 2 + 5 * 7000);
    EXPECT_EQ(VerdictOf(MakePngAround(grey, padded)), kProbeSound) << "65 KB of empty blocks";
    // 960 x 960 RGB takes 2,766,720 bytes of rows; matches hold four times
    // that in 70 KB.
    const PngShape shape{960, 960, 2, 8, false};
    const Bytes bomb = MakePngAround(shape, ZlibOf(Bytes(4 * PngRows(shape).size(), 0),
                                                   Deflate::kFixed), 8192);
    EXPECT_EQ(VerdictOf(bomb), kProbeExcessData);
    EXPECT_LT(bomb.size(), size_t{80000});
}

TEST(PictureProbe, NotPicturesBudgetAndTexts) {
    const Bytes text = {'h', 'e', 'l', 'l', 'o', '\n'};
    EXPECT_EQ(Probe(text).format, kPictureUnknown);
    EXPECT_EQ(VerdictOf(text), kProbeNotAPicture);
    EXPECT_EQ(QUB_ProbePicture(nullptr, 0).verdict, kProbeNotAPicture);
    EXPECT_STREQ(QUB_ProbeVerdictText(kProbeOutOfProportion), "size too large for the file");
    EXPECT_STREQ(QUB_PictureFormatName(kPictureEmf), "EMF");
    EXPECT_EQ(QUB_CheckPictureBudget(23170, 23170, 0, 100), kProbeSound) << "under 2^31 bytes";
    EXPECT_EQ(QUB_CheckPictureBudget(23171, 23171, 0, 100), kProbeTooLarge);
    EXPECT_EQ(QUB_CheckPictureBudget(0, 5, 0, 100), kProbeBadDimensions);
    EXPECT_EQ(QUB_CheckPictureBudget(1024, 1024, 5000, 100), kProbeSound) << "floor";
    EXPECT_EQ(QUB_CheckPictureBudget(1025, 1024, 5000, 4999), kProbeOutOfProportion);
    EXPECT_EQ(QUB_CheckPictureBudget(1025, 1024, 5000, 5000), kProbeSound);
}

}  // namespace
