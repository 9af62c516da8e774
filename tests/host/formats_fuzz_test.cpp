// Deterministic mutations of valid files of every format. The probe, the MPO
// reader and the plan a drop makes must never read outside the buffer (the
// sanitized build of this test stops at the first such read); a sound verdict
// describes a picture the library can hold, and every place named is inside.
#include <gtest/gtest.h>

#include "formats/mpo_reader.h"
#include "formats/mpo_writer.h"
#include "formats/picture_probe.h"
#include "formats/stereo_plan.h"
#include "tests/host/byte_mutator.h"

namespace {

constexpr int kMutationsPerFormat = 10000;

// What every verdict must satisfy; true when it was sound.
bool CheckProbe(const Bytes& b) {
    const Bytes exact(b);  // allocated to its size, so a read past it is caught
    const MpoLayout l = QUB_ReadMpo(exact.data(), exact.size());
    EXPECT_NE(QUB_MpoVerdictText(l.verdict), nullptr);
    for (int k = 0; l.verdict == kMpoSound && k < l.count; ++k)
        EXPECT_TRUE(l.images[k].offset + 2 <= exact.size() &&
                    l.images[k].size <= exact.size() - l.images[k].offset &&
                    exact[l.images[k].offset] == 0xFF && exact[l.images[k].offset + 1] == 0xD8);
    const PairPlan plan = QUB_PlanPair(kPairMpo, exact.data(), exact.size());
    for (int k = 0; k < plan.viewCount; ++k)
        EXPECT_LE(plan.views[k].offset + plan.views[k].size, exact.size());
    EXPECT_TRUE(plan.refused || plan.width == (plan.pair ? 2 : 1) * plan.views[0].width);
    const PictureProbe p = QUB_ProbePicture(exact.data(), exact.size());
    EXPECT_NE(QUB_ProbeVerdictText(p.verdict), nullptr);
    EXPECT_TRUE(!p.needsEndMarker || p.format == kPictureJpeg);
    if (p.verdict != kProbeSound) return false;
    EXPECT_NE(p.format, kPictureUnknown);
    EXPECT_TRUE(p.width >= 1 && p.height >= 1 && p.depth >= 1);
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

TEST(PictureProbeFuzz, EveryFormat) {
    // Coded PNG streams too, so that mutations reach the inflate walk's tables.
    const PngShape interlaced{7, 5, 2, 8, true};
    const Bytes left = MakeJpeg(6, 4, 3), right = MakeJpeg(6, 4, 1);
    Bytes mpo;
    ASSERT_TRUE(QUB_WriteMpo(left.data(), left.size(), right.data(), right.size(), &mpo));
    const std::vector<Bytes> seeds[] = {
        {MakeBmp(7, 5, 4), MakeBmp(9, -3, 24, 124), MakeBmp(5, 4, 16), MakeBmp(6, 2, 8, 12)},
        {MakeJpeg(13, 9, 3), MakeJpeg(20, 10, 1, false), mpo},
        {MakeGif(11, 6, 3), MakeGif(11, 6, 2, true, 2)},
        {MakePng(9, 4, 3, 4), MakePng(5, 3, 6, 16),
         MakePngAround(interlaced, ZlibOf(PngRows(interlaced), Deflate::kFixed), 9)},
        {MakeTiff(7, 5, 3, 8, false), MakeTiff(7, 5, 2, 8, true), MakeTiff(9, 3, 1, 1, true)},
        {MakeIco({{16, 4, false}, {5, 32, true}}), MakeIco({{8, 24, false}})},
        {MakeWmf(true), MakeWmf(false)},
        {MakeEmf()}};
    for (const auto& formatSeeds : seeds)
        Fuzz(formatSeeds, static_cast<uint64_t>(&formatSeeds - seeds + 1));
}

}  // namespace
