// MPO and JPS written from real JPEGs, read back and planned as the window
// each file opens as.
#include <gtest/gtest.h>

#include <cstring>

#include "formats/jps.h"
#include "formats/mpo_reader.h"
#include "formats/mpo_writer.h"
#include "formats/stereo_plan.h"
#include "tests/host/formats_builders.h"

namespace {

// `jpeg` with an Exif APP1 after its SOI holding a whole thumbnail JPEG.
Bytes WithThumbnail(const Bytes& jpeg) {
    const Bytes thumb = MakeJpeg(3, 2, 1);
    Bytes b = {0xFF, 0xD8, 0xFF, 0xE1};
    AddBe16(b, static_cast<uint32_t>(2 + 6 + thumb.size()));
    Append(b, {'E', 'x', 'i', 'f', 0, 0});
    Append(b, thumb);
    b.insert(b.end(), jpeg.begin() + 2, jpeg.end());
    return b;
}

MpoLayout Read(const Bytes& b) {
    const Bytes exact(b);  // allocated to its size, so a read past it is caught
    return QUB_ReadMpo(exact.data(), exact.size());
}

// The stream with its APP2 MPF segment taken out again.
Bytes WithoutMpf(const uint8_t* p, size_t n) {
    Bytes b(p, p + n);
    for (size_t at = 2; at + 8 < b.size(); ++at)
        if (b[at] == 0xFF && b[at + 1] == 0xE2 && std::memcmp(&b[at + 4], "MPF", 4) == 0) {
            b.erase(b.begin() + at, b.begin() + at + 2 + (b[at + 2] << 8 | b[at + 3]));
            return b;
        }
    return {};
}

PairPlan Plan(PairKind kind, const Bytes& b) {
    const Bytes exact(b);  // allocated to its size, so a read past it is caught
    return QUB_PlanPair(kind, exact.data(), exact.size());
}

TEST(MpoWriter, RoundTripsThroughTheReaderAndOpensAsAPair) {
    const Bytes left = WithThumbnail(MakeJpeg(8, 5, 3)), right = MakeJpeg(8, 5, 1);
    Bytes mpo;
    ASSERT_TRUE(QUB_WriteMpo(left.data(), left.size(), right.data(), right.size(), &mpo));
    const MpoLayout l = Read(mpo);
    ASSERT_EQ(l.verdict, kMpoSound) << QUB_MpoVerdictText(l.verdict);
    ASSERT_EQ(l.count, 2);
    EXPECT_EQ(l.images[0].size + l.images[1].size, mpo.size());
    EXPECT_EQ(l.images[1].offset, l.images[0].size);
    EXPECT_EQ(l.images[1].type, kMpoTypeDisparity);
    // The MPF segment goes after the Exif one, and nothing else changes.
    EXPECT_EQ(mpo[3], 0xE1);
    EXPECT_EQ(WithoutMpf(mpo.data(), l.images[0].size), left);
    EXPECT_EQ(WithoutMpf(mpo.data() + l.images[1].offset, l.images[1].size), right);
    const PairPlan p = Plan(kPairMpo, mpo);  // of two pictures of one size: a pair
    ASSERT_FALSE(p.refused) << p.note;
    EXPECT_TRUE(p.pair);
    EXPECT_EQ(p.width, 16);
    EXPECT_EQ(p.views[1].offset, l.images[1].offset);
    EXPECT_EQ(p.views[1].destX, 8);
    const Bytes text = {'n', 'o'};
    EXPECT_FALSE(QUB_WriteMpo(text.data(), text.size(), right.data(), right.size(), &mpo));
    EXPECT_TRUE(mpo.empty());
    EXPECT_EQ(Read(right).verdict, kMpoNoMpfSegment);
}

TEST(Jps, DescriptorDecidesTheHalvesAndCrossEyedIsTheDefault) {
    const Bytes plain = MakeJpeg(11, 4, 3);
    Bytes cross, parallel;
    ASSERT_TRUE(QUB_WriteJps(plain.data(), plain.size(), false, &cross));
    ASSERT_TRUE(QUB_WriteJps(plain.data(), plain.size(), true, &parallel));
    EXPECT_FALSE(QUB_ReadJps(plain.data(), plain.size()).present);
    EXPECT_EQ(QUB_ReadJps(cross.data(), cross.size()).layout, kJpsSideBySide);
    size_t at = 0;  // the descriptor follows the identifier and its 16-bit length
    while (std::memcmp(&parallel[at], "_JPSJPS_", 8) != 0) ++at;
    Bytes overUnder = parallel, mono = parallel, shortBlock = parallel;
    overUnder[at + 12] = 3;
    mono[at + 13] = 0;
    shortBlock[at + 9] = 3;  // a block too short to hold a descriptor: the default
    EXPECT_FALSE(QUB_ReadJps(shortBlock.data(), shortBlock.size()).present);
    // Odd width: the middle column is left out; cross-eyed (the default)
    // takes the left view from the right half.
    const struct {
        const Bytes* file;
        bool pair;
        int width, height, leftX, rightX, rightY, rightDestX;
    } cases[] = {{&plain, true, 10, 4, 6, 0, 0, 5},     {&cross, true, 10, 4, 6, 0, 0, 5},
                 {&parallel, true, 10, 4, 0, 6, 0, 5},  {&overUnder, true, 22, 2, 0, 0, 2, 11},
                 {&mono, false, 11, 4, 0, 0, 0, 0}};
    for (const auto& k : cases) {
        const PairPlan p = Plan(kPairJps, *k.file);
        EXPECT_EQ(p.pair, k.pair);
        EXPECT_EQ(p.note != nullptr, !k.pair);
        EXPECT_EQ(p.width, k.width);
        EXPECT_EQ(p.height, k.height);
        EXPECT_EQ(p.views[0].srcX, k.leftX);
        if (!k.pair) continue;
        EXPECT_EQ(p.views[1].srcX, k.rightX);
        EXPECT_EQ(p.views[1].srcY, k.rightY);
        EXPECT_EQ(p.views[1].destX, k.rightDestX);
    }
    const Bytes text = {'n', 'o'};
    EXPECT_FALSE(QUB_WriteJps(text.data(), text.size(), true, &cross));
    EXPECT_TRUE(Plan(kPairJps, text).refused);
    EXPECT_EQ(QUB_PairKindFromName(L"C:\\trip\\PAIR.JPS"), kPairJps);
    EXPECT_EQ(QUB_PairKindFromName(L"a.Mpo"), kPairMpo);
    EXPECT_EQ(QUB_PairKindFromName(L"mpo"), kPairNone);
}

}  // namespace
