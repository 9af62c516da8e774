// Multi-picture files built from two real JPEGs, the first given an APP2 MPF
// segment after its SOI: where the reader finds the pictures, what it
// refuses, and mutated copies that must never lead it outside the buffer.
#include <gtest/gtest.h>

#include <cstdint>

#include "formats/mpo_reader.h"
#include "formats/mpo_writer.h"
#include "formats/stereo_plan.h"
#include "formats/picture_probe.h"
#include "tests/host/byte_mutator.h"

namespace {

struct Mpo {
    Bytes file;
    size_t header;   // file offset of the byte order mark
    size_t ifd;      // file offset of the MP Index directory
    size_t entries;  // file offset of the first 16-byte entry
    size_t second;   // file offset of the second picture
    bool bigEndian;
};

void Put16(const Mpo& m, Bytes& b, size_t at, uint32_t v) { PutInt(b, at, v, 2, m.bigEndian); }
void Put32(const Mpo& m, Bytes& b, size_t at, uint32_t v) { PutInt(b, at, v, 4, m.bigEndian); }

// A left view of 7 x 5 colour and a right view of 9 x 6 grey. `gap` bytes of
// zeros sit between the TIFF-style header and the directory; `thumbnail`
// puts an Exif APP1 holding a whole JPEG before the APP2.
Mpo MakeMpo(bool bigEndian, bool thumbnail = false, uint32_t gap = 0) {
    Mpo m{};
    m.bigEndian = bigEndian;
    const Bytes left = MakeJpeg(7, 5, 3);
    const Bytes right = MakeJpeg(9, 6, 1);
    Bytes& b = m.file;
    b = {0xFF, 0xD8};
    if (thumbnail) {
        const Bytes thumb = MakeJpeg(3, 2, 1);
        Append(b, {0xFF, 0xE1});
        AddBe16(b, static_cast<uint32_t>(2 + 6 + thumb.size()));
        Append(b, {'E', 'x', 'i', 'f', 0, 0});
        Append(b, thumb);
    }
    const size_t segment = b.size();
    Append(b, {0xFF, 0xE2, 0, 0, 'M', 'P', 'F', 0});
    m.header = b.size();
    Append(b, bigEndian ? Bytes{'M', 'M', 0, 42} : Bytes{'I', 'I', 42, 0});
    Append(b, Bytes(4 + gap, 0));
    Put32(m, b, m.header + 4, 8 + gap);
    m.ifd = b.size();
    Append(b, Bytes(2 + 3 * 12 + 4, 0));
    Put16(m, b, m.ifd, 3);
    const uint16_t tags[3][2] = {{0xB000, 7}, {0xB001, 4}, {0xB002, 7}};
    for (size_t i = 0; i < 3; ++i) {
        Put16(m, b, m.ifd + 2 + 12 * i, tags[i][0]);
        Put16(m, b, m.ifd + 4 + 12 * i, tags[i][1]);
    }
    Put32(m, b, m.ifd + 6, 4);
    const uint8_t version[4] = {'0', '1', '0', '0'};
    for (size_t i = 0; i < 4; ++i) b[m.ifd + 10 + i] = version[i];
    Put32(m, b, m.ifd + 18, 1);
    Put32(m, b, m.ifd + 22, 2);
    Put32(m, b, m.ifd + 30, 32);
    m.entries = b.size();
    Put32(m, b, m.ifd + 34, static_cast<uint32_t>(m.entries - m.header));
    Append(b, Bytes(32, 0));
    PutBe16(b, segment + 2, static_cast<uint32_t>(b.size() - segment - 2));
    b.insert(b.end(), left.begin() + 2, left.end());
    m.second = b.size();
    Put32(m, b, m.entries, 0x20000000 | 0x020002);  // representative, disparity
    Put32(m, b, m.entries + 4, static_cast<uint32_t>(m.second));
    Put32(m, b, m.entries + 16, 0x020002);
    Put32(m, b, m.entries + 20, static_cast<uint32_t>(right.size()));
    Put32(m, b, m.entries + 24, static_cast<uint32_t>(m.second - m.header));
    Append(b, right);
    return m;
}

MpoLayout Read(const Bytes& b) {
    const Bytes exact(b);  // allocated to its size, so a read past it is caught
    return QUB_ReadMpo(exact.data(), exact.size());
}

TEST(MpoReader, FindsBothViewsInEitherByteOrderPastThumbnailsAndGaps) {
    const Mpo files[] = {MakeMpo(false), MakeMpo(true), MakeMpo(true, true),
                         MakeMpo(false, true, 13)};
    for (const Mpo& m : files) {
        const MpoLayout l = Read(m.file);
        ASSERT_EQ(l.verdict, kMpoSound) << QUB_MpoVerdictText(l.verdict);
        ASSERT_EQ(l.count, 2);
        EXPECT_EQ(l.images[0].offset, 0u);
        EXPECT_EQ(l.images[0].size, m.second);
        EXPECT_EQ(l.images[0].type, kMpoTypeDisparity);  // the flag bits are dropped
        EXPECT_EQ(l.images[1].offset, m.second);
        EXPECT_EQ(l.images[1].size, m.file.size() - m.second);
        EXPECT_EQ(l.images[1].type, kMpoTypeDisparity);
        // Each view is a whole JPEG the probe calls sound.
        for (int i = 0; i < 2; ++i) {
            const PictureProbe p =
                QUB_ProbePicture(m.file.data() + l.images[i].offset, l.images[i].size);
            EXPECT_EQ(p.verdict, kProbeSound);
            EXPECT_EQ(p.width, i == 0 ? 7 : 9);
        }
    }
}

TEST(MpoReader, RefusesBrokenIndexesAndPictures) {
    const Mpo m = MakeMpo(true, true, 5);
    struct Case {
        MpoVerdict want;
        void (*edit)(const Mpo& m, Bytes& b);
    };
    const Case cases[] = {
        {kMpoNoMpfSegment, [](const Mpo& mm, Bytes& b) { b[mm.header - 3] = 'Q'; }},
        {kMpoBadHeader, [](const Mpo& mm, Bytes& b) { b[mm.header] = 'I'; }},
        {kMpoBadHeader, [](const Mpo& mm, Bytes& b) { b[mm.ifd + 13] = '1'; }},
        // Without the version tag, or without the count.
        {kMpoBadHeader, [](const Mpo& mm, Bytes& b) { Put16(mm, b, mm.ifd + 2, 0xB00F); }},
        {kMpoBadHeader, [](const Mpo& mm, Bytes& b) { Put16(mm, b, mm.ifd + 14, 0xB00F); }},
        // Six entries end where the segment does (the last three read as
        // unknown tags); seven run past it.
        {kMpoSound, [](const Mpo& mm, Bytes& b) { Put16(mm, b, mm.ifd, 6); }},
        {kMpoIndexOutside, [](const Mpo& mm, Bytes& b) { Put16(mm, b, mm.ifd, 7); }},
        // A lone marker and a restart marker before the APP2 are stepped over.
        {kMpoSound, [](const Mpo& mm, Bytes& b) {
             b.insert(b.begin() + static_cast<long>(mm.header - 8), {0xFF, 0x01, 0xFF, 0xD3});
             Put32(mm, b, mm.entries + 4 + 4, static_cast<uint32_t>(mm.second + 4));  // moved 4
         }},
        {kMpoIndexOutside, [](const Mpo& mm, Bytes& b) { Put32(mm, b, mm.header + 4, 0x10000); }},
        {kMpoIndexOutside, [](const Mpo& mm, Bytes& b) {
             Put32(mm, b, mm.ifd + 34, static_cast<uint32_t>(mm.entries - mm.header + 1));
         }},
        {kMpoBadImageCount, [](const Mpo& mm, Bytes& b) { Put32(mm, b, mm.ifd + 22, 1); }},
        {kMpoBadImageCount, [](const Mpo& mm, Bytes& b) { Put32(mm, b, mm.ifd + 22, 3); }},
        {kMpoBadFirstOffset, [](const Mpo& mm, Bytes& b) { Put32(mm, b, mm.entries + 8, 4); }},
        {kMpoImageOutside, [](const Mpo& mm, Bytes& b) { b.pop_back(); (void)mm; }},
        {kMpoImageNotJpeg, [](const Mpo& mm, Bytes& b) {
             Put32(mm, b, mm.entries + 24, static_cast<uint32_t>(mm.second - mm.header - 1));
         }},
        {kMpoImagesOverlap, [](const Mpo& mm, Bytes& b) {
             Put32(mm, b, mm.entries + 4, static_cast<uint32_t>(mm.second + 1));
         }},
    };
    for (const Case& c : cases) {
        Bytes b = m.file;
        c.edit(m, b);
        const MpoLayout l = Read(b);
        EXPECT_EQ(l.verdict, c.want) << "got " << QUB_MpoVerdictText(l.verdict) << ", wanted "
                                     << QUB_MpoVerdictText(c.want);
    }
    // Two JPEGs one after the other are not a multi-picture file.
    Bytes plain = MakeJpeg(7, 5, 3);
    Append(plain, MakeJpeg(9, 6, 1));
    EXPECT_EQ(Read(plain).verdict, kMpoNoMpfSegment);
    EXPECT_EQ(QUB_ReadMpo(nullptr, 0).verdict, kMpoNoMpfSegment);
}

// Mutations of built and of written files, through the reader and through
// the plan a drop makes of them, which also probes each view.
TEST(MpoReader, MutatedFilesStayInsideTheBuffer) {
    const Bytes view = MakeJpeg(6, 4, 3);
    Bytes written;
    ASSERT_TRUE(QUB_WriteMpo(view.data(), view.size(), view.data(), view.size(), &written));
    const Bytes seeds[] = {MakeMpo(false).file, MakeMpo(true, true).file,
                           MakeMpo(false, false, 9).file, written};
    Rng r{0x9E3779B97F4A7C15ULL};
    int sound = 0;
    for (int i = 0; i < 10000; ++i) {
        Bytes b = seeds[i % 4];
        Mutate(b, r);
        const Bytes exact(b);
        const MpoLayout l = QUB_ReadMpo(exact.data(), exact.size());
        ASSERT_NE(QUB_MpoVerdictText(l.verdict), nullptr);
        const PairPlan p = QUB_PlanPair(kPairMpo, exact.data(), exact.size());
        for (int k = 0; k < p.viewCount; ++k) {
            ASSERT_LE(p.views[k].offset + p.views[k].size, exact.size()) << "mutation " << i;
            ASSERT_LE(p.views[k].srcX + p.views[k].width, p.views[k].streamWidth);
        }
        ASSERT_TRUE(p.refused || p.width == (p.pair ? 2 : 1) * p.views[0].width)
            << "mutation " << i;
        if (l.verdict != kMpoSound) continue;
        ++sound;
        ASSERT_GE(l.count, 2) << "mutation " << i;
        ASSERT_LE(l.count, kMpoMaxImages) << "mutation " << i;
        EXPECT_EQ(l.images[0].offset, 0u);
        for (int k = 0; k < l.count; ++k) {
            const MpoImage& image = l.images[k];
            ASSERT_LE(image.offset, exact.size()) << "mutation " << i;
            ASSERT_LE(image.size, exact.size() - image.offset) << "mutation " << i;
            ASSERT_GE(image.size, 2u) << "mutation " << i;
            EXPECT_EQ(exact[image.offset], 0xFF);
            EXPECT_EQ(exact[image.offset + 1], 0xD8);
        }
    }
    // Both outcomes occur, or the edits are not reaching the index.
    EXPECT_GT(sound, 0);
    EXPECT_LT(sound, 10000);
}

}  // namespace
