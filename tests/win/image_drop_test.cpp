// Files dropped on the main window and on image windows, as the shell hands
// them over: a real HDROP with UTF-16 names posted as WM_DROPFILES; and stereo
// pair files opened as a side-by-side pair.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "core/main_menu.h"
#include "image/file_names.h"
#include "image/image_file.h"
#include "image/image_window.h"
#include "image/stereo_file_win.h"
#include "formats/mpo_writer.h"
#include "tests/win/image_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

class DroppedFiles : public ImageTest {
protected:
    ScratchFolder folder;

    // Writes a w x h PNG of colour `colour` under `name` (any UTF-16 name:
    // written under a plain name first, then renamed).
    std::wstring MakePicture(const std::wstring& name, int w, int h, uint32_t colour) {
        const std::string plain = Narrow(folder.File(L"plain.png"));
        int saved = -1;
        OnWorker([&] {
            QUB_CreateImage(200, "maker", -1, -1, w, h, 100);
            for (int i = 0; i < w * h; ++i) qubState.imageBits32[200][i] = colour;
            saved = QUB_SaveImage(h, w, kFilePng, plain.c_str());
            QUB_DestroyImage(200);
        });
        EXPECT_EQ(saved, 0);
        const std::wstring path = folder.File(name);
        EXPECT_TRUE(MoveFileW(folder.File(L"plain.png").c_str(), path.c_str()));
        return path;
    }
};

bool FilledWith(int n, uint32_t colour) {
    const ImageWindowRecord& r = qubState.images[n];
    if (!r.inUse) return false;
    for (int i = 0; i < r.width * r.height; ++i)
        if (qubState.imageBits32[n][i] != colour) return false;
    return true;
}

// A name longer than the 260-unit buffer would come back cut; `cut`, its
// first 259 units, is an existing picture, which must not open in its place.
std::wstring Overlong(const std::wstring& cut) { return cut + L"tail.png"; }

// One drop on the main window: each picture in the next free slot (slot 1 is
// taken), the first through its UTF-16 name; the text file and the overlong
// name open nothing, and the current window is restored.
TEST_F(DroppedFiles, PicturesOpenInTheNextFreeSlotsOthersAreSkipped) {
    const std::wstring head = folder.File(L"");
    ASSERT_LT(head.size(), 200u);
    const std::wstring cut =
        MakePicture(std::wstring(259 - head.size() - 4, L'c') + L".png", 80, 40, 0x00AA0000u);
    ASSERT_EQ(cut.size(), 259u);
    const std::wstring a = MakePicture(L"\u5199\u771f \u5de6.png", 160, 90, 0x00C03010u);
    const std::wstring b = MakePicture(L"second.png", 120, 200, 0x00102030u);
    const std::wstring c = MakePicture(L"c.png", 132, 42, 0x00070809u);
    const std::wstring text = folder.File(L"notes.txt");
    WriteBytes(text, {'h', 'e', 'l', 'l', 'o'});
    ASSERT_TRUE(OnWorker([] { QUB_CreateImage(1, "taken", -1, -1, 150, 50, 100); }));
    const int currentBefore = qubState.currentImage;
    PostMessageW(qubState.mainWindow, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({a, text, Overlong(cut), b, c})), 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.images[3].inUse != 0; }, 20000));
    PumpFor(300);
    const ImageWindowRecord* r = qubState.images;
    EXPECT_EQ(std::vector<int>({r[0].width, r[0].height, r[0].depth, r[1].width, r[2].width,
                                r[2].height, r[3].width}),
              std::vector<int>({160, 90, 32, 150, 120, 200, 132}));
    EXPECT_TRUE(FilledWith(0, 0x00C03010u)) << "loaded through the UTF-16 name";
    EXPECT_TRUE(FilledWith(3, 0x00070809u));
    EXPECT_EQ(WindowTitle(r[2].window), L"002 second.png(100%)");
    EXPECT_EQ(WindowTitle(r[0].window).substr(0, 4), L"000 ");
    EXPECT_FALSE(r[4].inUse);
    EXPECT_EQ(qubState.currentImage, currentBefore);
}

// A camera MPO opens as its side-by-side pair; one whose views differ in
// size opens its first view and the status line says why.
TEST_F(DroppedFiles, MpoOpensAsAPairOrItsFirstViewWithTheReason) {
    const std::wstring pair = folder.File(L"pair.mpo"), odd = folder.File(L"odd.mpo");
    int saved = -1;
    bool written = false;
    ASSERT_TRUE(OnWorker([&] {
        std::vector<uint32_t> pixels(64 * 24, 0x00406080u);
        saved = QUB_SavePair(pair.c_str(), kPairMpo, pixels.data(), 64, 24, 64, 90);
        std::vector<uint8_t> a, b, mpo;
        written = QUB_EncodeJpeg(pixels.data(), 32, 24, 64, 90, &a) &&
                  QUB_EncodeJpeg(pixels.data(), 30, 24, 64, 90, &b) &&
                  QUB_WriteMpo(a.data(), a.size(), b.data(), b.size(), &mpo) &&
                  WriteBytes(odd, mpo);
    }));
    ASSERT_EQ(saved, 0);
    ASSERT_TRUE(written);
    PostMessageW(qubState.mainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({pair, odd})),
                 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.images[1].inUse != 0; }, 20000));
    PumpFor(300);
    EXPECT_EQ(qubState.images[0].width, 64);
    EXPECT_EQ(qubState.images[0].height, 24);
    EXPECT_EQ(qubState.images[1].width, 32);
    wchar_t status[128] = L"";
    GetWindowTextW(qubState.statusControl, status, 128);
    EXPECT_EQ(std::wstring(status), L"MPO views differ in size: first view opened");
}

// Start pressed while a drop is still opening runs the routine once the
// picture is in; a Stop after it cancels that held Start.
TEST_F(DroppedFiles, StartWaitsForTheDropAndStopCancelsIt) {
    const std::wstring a = MakePicture(L"held.png", 90, 60, 0x00203040u);
    std::atomic<int> runs{0};
    std::atomic<int> sawPicture{0};
    g_testRoutine = [&] {
        ++runs;
        sawPicture = FilledWith(0, 0x00203040u) ? 1 : 0;
    };
    PostMessageW(qubState.mainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({a})), 0);
    PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdStart, 0);
    ASSERT_TRUE(PumpUntil([&] { return runs.load() == 1; }, 20000));
    ASSERT_TRUE(PumpUntil([] { return qubState.routineRunning.load() == 0; }));
    EXPECT_EQ(sawPicture.load(), 1) << "the routine started on the whole picture";

    PostMessageW(qubState.mainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({a})), 0);
    PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdStart, 0);
    PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdStop, 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.images[1].inUse != 0; }, 20000));
    PumpFor(300);
    EXPECT_EQ(runs.load(), 1) << "the Stop cancelled the held Start";
    EXPECT_EQ(qubState.startDeferred, 0);
    g_testRoutine = nullptr;
}

// On an image window the picture loads into it at its own size; an overlong
// name is skipped, not cut; the current window stays.
TEST_F(DroppedFiles, OnAnImageWindowLoadsIntoItAndKeepsTheCurrentOne) {
    const std::wstring head = folder.File(L"");
    const std::wstring cut =
        MakePicture(std::wstring(259 - head.size() - 4, L'c') + L".png", 80, 40, 0x00AA0000u);
    const std::wstring a = MakePicture(L"\u00e9t\u00e9 \u263a.png", 60, 30, 0x00ABCDEFu);
    ASSERT_TRUE(OnWorker([] {
        QUB_CreateImage(2, "target", -1, -1, 200, 100, 100);
        QUB_CreateImage(3, "current", -1, -1, 200, 100, 100);
    }));
    PostMessageW(qubState.images[2].window, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({Overlong(cut)})), 0);
    PostMessageW(qubState.images[2].window, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({a})),
                 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.imageBits32[2][0] == 0x00ABCDEFu; }, 10000));
    PumpFor(200);  // the handler restores the current window after the load
    EXPECT_EQ(qubState.imageBits32[2][59], 0x00ABCDEFu);
    EXPECT_EQ(qubState.imageBits32[2][60], 0u)
        << "the picture's own size, the rest kept, no cut name";
    EXPECT_EQ(qubState.currentImage, 3);
}

// A smooth left view and a different right view, so a swap or a shift of the
// halves shows; 97 x 40 leaves out the middle column when written, and the
// seam of a JPS falls between whole 16-pixel blocks.
constexpr int kW = 97, kH = 40;
uint32_t PairPixel(int x, int y) {
    if (x < kW / 2) return static_cast<uint32_t>((x * 5) << 16 | (y * 6) << 8 | 40);
    const int u = x - (kW - kW / 2);
    return static_cast<uint32_t>(200 << 16 | (u * 4) << 8 | (230 - y * 5));
}

// Stereo pair files: written as MPO and as JPS they open back as the same
// side-by-side pair, and a broken one is refused with the window untouched.
TEST_F(DroppedFiles, WrittenMpoAndJpsOpenAsTheSamePairAndBrokenOnesAreRefused) {
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
                    worst[k] = std::max(
                        worst[k], MaxChannelDifference(PairPixel(from, y),
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
