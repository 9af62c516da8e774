// Files dropped on the main window as a real HDROP with UTF-16 names posted as
// WM_DROPFILES, pair files written as MPO and JPS among them, and a Start held until
// they are in.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "core/main_menu.h"
#include "image/file_names.h"
#include "image/image_file.h"
#include "image/image_window.h"
#include "image/stereo_file_win.h"
#include "tests/win/image_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

class DroppedFiles : public ImageTest {
protected:
    ScratchFolder folder;

    // Writes a w x h PNG of `colour` under any UTF-16 `name` (saved plain, then renamed).
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

// One drop on the main window: each picture in the next free slot (slot 1 is taken), the
// first through its UTF-16 name, a 64 x 24 pair written as MPO and as JPS each as one
// side-by-side window; the text file and a name longer than the 260-unit buffer (whose
// first 259 units, `cut`, name a picture) open nothing; the current window stays.
TEST_F(DroppedFiles, PicturesOpenInTheNextFreeSlotsOthersAreSkipped) {
    const std::wstring head = folder.File(L"");
    ASSERT_LT(head.size(), 200u);
    const std::wstring cut =
        MakePicture(std::wstring(259 - head.size() - 4, L'c') + L".png", 80, 40, 0x00AA0000u);
    ASSERT_EQ(cut.size(), 259u);
    const std::wstring a = MakePicture(L"\u5199\u771f \u5de6.png", 160, 90, 0x00C03010u);
    const std::wstring b = MakePicture(L"second.png", 120, 200, 0x00102030u);
    const std::wstring text = folder.File(L"notes.txt"), mpo = folder.File(L"pair.mpo"),
                       jps = folder.File(L"pair.jps");
    WriteBytes(text, {'h', 'e', 'l', 'l', 'o'});
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(1, "taken", -1, -1, 150, 50, 100);
        const std::vector<uint32_t> pair(64 * 24, 0x00406080u);
        for (const auto& [path, kind] : {std::pair{mpo, kPairMpo}, {jps, kPairJps}})
            EXPECT_EQ(QUB_SavePair(path.c_str(), kind, pair.data(), 64, 24, 64, 90), 0);
    }));
    const int currentBefore = qubState.currentImage;
    PostMessageW(qubState.mainWindow, WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({a, text, cut + L"tail.png", b, mpo, jps})), 0);
    ASSERT_TRUE(PumpUntil([] { return qubState.images[4].inUse != 0; }, 20000));
    PumpFor(300);
    const ImageWindowRecord* r = qubState.images;
    EXPECT_EQ(std::vector<int>({r[0].width, r[1].width, r[2].width, r[3].width, r[3].height,
                                r[4].width, r[4].height, r[5].inUse}),
              std::vector<int>({160, 150, 120, 64, 24, 64, 24, 0}));
    EXPECT_TRUE(FilledWith(0, 0x00C03010u)) << "loaded through the UTF-16 name";
    EXPECT_EQ(WindowText(r[2].window), L"002 second.png(100%)");
    EXPECT_EQ(WindowText(r[0].window).substr(0, 4), L"000 ");
    EXPECT_EQ(qubState.currentImage, currentBefore);
}

// Start pressed while a drop is still opening runs the routine once the picture is in; a
// Stop after it cancels that held Start.
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

}  // namespace
