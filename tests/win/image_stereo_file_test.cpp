// Stereo pair files in-process: a pair written as MPO and as JPS opens back
// as the same side-by-side pair, and a broken one is refused with the window
// untouched.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "image/image_file.h"
#include "image/image_window.h"
#include "image/stereo_file_win.h"
#include "tests/win/image_test_support.h"

namespace {

// A smooth left view and a different right view, so a swap or a shift of the
// halves shows; 97 x 40 leaves out the middle column when written, and the
// seam of a JPS falls between whole 16-pixel blocks.
constexpr int kW = 97, kH = 40;
uint32_t PairPixel(int x, int y) {
    if (x < kW / 2) return static_cast<uint32_t>((x * 5) << 16 | (y * 6) << 8 | 40);
    const int u = x - (kW - kW / 2);
    return static_cast<uint32_t>(200 << 16 | (u * 4) << 8 | (230 - y * 5));
}

TEST(StereoFiles, WrittenMpoAndJpsOpenAsTheSamePairAndBrokenOnesAreRefused) {
    CloseAllImages();
    ScratchFolder folder;
    const std::wstring names[2] = {folder.File(L"pair.mpo"), folder.File(L"pair.jps")};
    int saved[2] = {-1, -1}, loaded[2] = {-1, -1}, worst[2] = {0, 0};
    int brokenLoad = -1;
    bool untouched = true;
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "pair", -1, -1, kW, kH, 100);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) qubState.imageBits32[0][y * kW + x] = PairPixel(x, y);
        const int view = kW / 2;
        for (int k = 0; k < 2; ++k) {
            saved[k] = QUB_SavePair(names[k].c_str(), k == 0 ? kPairMpo : kPairJps,
                                    qubState.imageBits32[0], kW, kH, kW, 95);
            QUB_CreateImage(1, "back", -1, -1, 2 * view, kH, 100);
            loaded[k] = QUB_LoadImageWide(nullptr, names[k].c_str(), 0, 0);
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < 2 * view; ++x) {
                    const int from = x < view ? x : x + (kW - 2 * view);
                    worst[k] = std::max(worst[k], MaxChannelDifference(PairPixel(from, y),
                                                                    qubState.imageBits32[1][y * 2 * view + x]));
                }
            QUB_DestroyImage(1);
        }
        // The second view's offset moved past the end of the file.
        std::vector<unsigned char> broken = ReadBytes(names[0]);
        const unsigned char firstEntry[4] = {0x20, 0x02, 0x00, 0x02};
        const auto table = std::search(broken.begin(), broken.end(), firstEntry, firstEntry + 4);
        if (table + 28 < broken.end()) table[24] = 0x7F;
        const std::wstring brokenName = folder.File(L"broken.mpo");
        WriteBytes(brokenName, broken);
        QUB_CreateImage(1, "broken", -1, -1, 2 * view, kH, 100);
        qubState.imageBits32[1][0] = 0x123456;
        brokenLoad = QUB_LoadImageWide(nullptr, brokenName.c_str(), 0, 0);
        untouched = qubState.imageBits32[1][0] == 0x123456;
        QUB_DestroyImage(1);
        QUB_DestroyImage(0);
    }));
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(saved[k], 0) << k;
        EXPECT_EQ(loaded[k], 0) << k;
        EXPECT_LE(worst[k], 24) << "halves in place within JPEG tolerance, file " << k;
    }
    EXPECT_EQ(brokenLoad, 1);
    EXPECT_TRUE(untouched);
    for (const std::wstring& name : folder.Names())
        EXPECT_EQ(name.find(L"~qub"), std::wstring::npos) << "temporary file left";
}

}  // namespace
