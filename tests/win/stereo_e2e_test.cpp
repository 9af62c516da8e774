// The stereo program end to end: the real qubstereo.exe, started with the
// project's sample pair on its command line and operated from outside through
// its windows, the way a person would.
#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "formats/mpo_writer.h"
#include "tests/win/process_support.h"
#include "tools/sample_pair_params.h"

namespace {

enum Button { kAnaglyph = 0, kUp, kBuruburu, kSave, kLeft, kDown, kRight, kQuit };

std::vector<std::wstring> SavedFiles(const std::wstring& folder) {
    return ListFiles(folder, L"Dor-*.jpg");
}

bool WaitForFiles(const std::wstring& folder, size_t count, DWORD ms) {
    const DWORD start = GetTickCount();
    while (SavedFiles(folder).size() < count) {
        if (GetTickCount() - start > ms) return false;
        Sleep(50);
    }
    Sleep(200);  // let the rename that completes a save settle
    return true;
}

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB
};

Picture Decode(const std::wstring& file) {
    Picture p;
    Gdiplus::Bitmap bitmap(file.c_str());
    if (bitmap.GetLastStatus() != Gdiplus::Ok) return p;
    p.width = static_cast<int>(bitmap.GetWidth());
    p.height = static_cast<int>(bitmap.GetHeight());
    Gdiplus::Rect all(0, 0, p.width, p.height);
    Gdiplus::BitmapData data;
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data) !=
        Gdiplus::Ok)
        return p;
    p.pixels.resize(static_cast<size_t>(p.width) * p.height);
    for (int y = 0; y < p.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride);
        for (int x = 0; x < p.width; ++x)
            p.pixels[static_cast<size_t>(y) * p.width + x] = row[x] & 0xFFFFFF;
    }
    bitmap.UnlockBits(&data);
    return p;
}

// Mean absolute difference of the green channel between the left half at
// (x + dx, y + dy) and the right half at (x, y), over the top rows of the
// picture, where the sample shows only the brick wall: the layer that the
// alignment brings into register.
double WallDifference(const Picture& p, int dx, int dy) {
    const int half = p.width / 2;
    const int rows = 36;
    double sum = 0;
    long count = 0;
    for (int y = 4; y < rows; ++y)
        for (int x = 4; x < half - 4; ++x) {
            const uint32_t l = p.pixels[static_cast<size_t>(y + dy) * p.width + x + dx];
            const uint32_t r = p.pixels[static_cast<size_t>(y) * p.width + half + x];
            sum += std::abs(static_cast<int>((l >> 8) & 0xFF) - static_cast<int>((r >> 8) & 0xFF));
            ++count;
        }
    return sum / static_cast<double>(count);
}

// The sample pair as a camera's multi-picture file: each half encoded as its
// own JPEG, the left view first.
std::wstring WriteSampleAsMpo(const std::wstring& folder) {
    Gdiplus::Bitmap pair(g_programPaths[1].c_str());
    const int w = static_cast<int>(pair.GetWidth()), h = static_cast<int>(pair.GetHeight());
    UINT count = 0, bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::vector<uint8_t> table(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(table.data());
    Gdiplus::GetImageEncoders(count, bytes, codecs);
    CLSID jpeg = {};
    for (UINT i = 0; i < count; ++i)
        if (std::wstring(codecs[i].MimeType) == L"image/jpeg") jpeg = codecs[i].Clsid;
    std::vector<uint8_t> views[2];
    for (int k = 0; k < 2; ++k) {
        Gdiplus::Bitmap* half = pair.Clone(k * (w - w / 2), 0, w / 2, h, PixelFormat24bppRGB);
        IStream* stream = nullptr;
        CreateStreamOnHGlobal(nullptr, TRUE, &stream);
        if (half && stream && half->Save(stream, &jpeg, nullptr) == Gdiplus::Ok) {
            STATSTG stat = {};
            stream->Stat(&stat, STATFLAG_NONAME);
            views[k].resize(static_cast<size_t>(stat.cbSize.QuadPart));
            LARGE_INTEGER zero = {};
            stream->Seek(zero, STREAM_SEEK_SET, nullptr);
            ULONG got = 0;
            stream->Read(views[k].data(), static_cast<ULONG>(views[k].size()), &got);
        }
        if (stream) stream->Release();
        delete half;
    }
    std::vector<uint8_t> mpo;
    if (!QUB_WriteMpo(views[0].data(), views[0].size(), views[1].data(), views[1].size(), &mpo))
        return L"";
    const std::wstring name = folder + L"\\pair.mpo";
    HANDLE f = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    WriteFile(f, mpo.data(), static_cast<DWORD>(mpo.size()), &wrote, nullptr);
    CloseHandle(f);
    return wrote == mpo.size() ? name : L"";
}

class StereoProgram : public testing::Test {
protected:
    void Launch(const std::wstring& folder, bool withPair = true,
                const std::wstring& pair = g_programPaths[1]) {
        process_ = StartProgram(g_programPaths[0], withPair ? L"\"" + pair + L"\"" : L"", folder);
        ASSERT_NE(process_, nullptr);
        main_ = WaitForProcessWindow(process_, L"qublib_mw0", 20000);
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(!withPair || WaitForProcessWindow(process_, L"qub_iw", 20000) != nullptr);
    }
    void Key(wchar_t key) { PostMessageW(main_, WM_KEYDOWN, key, 0); }
    // The box with all eight buttons and their captions in place.
    HWND WaitBox() {
        HWND box = WaitForProcessWindow(process_, L"qub_bb", 20000);
        for (int tries = 0; box && tries < 500; ++tries) {
            std::vector<HWND> buttons = GridButtons(box);
            wchar_t last[16] = L"";
            if (buttons.size() == 8) GetWindowTextW(buttons[kQuit], last, 16);
            if (std::wstring(last) == L"Quit") return box;
            Sleep(20);
        }
        return nullptr;
    }
    void Click(HWND box, int k, int times = 1, DWORD pause = 0) {
        std::vector<HWND> buttons = GridButtons(box);
        ASSERT_EQ(buttons.size(), 8u);
        for (int n = 0; n < times; ++n) {
            PostMessageW(buttons[static_cast<size_t>(k)], BM_CLICK, 0, 0);
            if (pause) Sleep(pause);
        }
    }
    bool WaitGone(const wchar_t* cls, DWORD ms) {
        const DWORD start = GetTickCount();
        while (WaitForProcessWindow(process_, cls, 0)) {
            if (GetTickCount() - start > ms) return false;
            Sleep(20);
        }
        return true;
    }
    void ExitProgram() {
        Key('X');
        EXPECT_EQ(WaitExitCode(process_, 10000), 0u);
    }
    void TearDown() override {
        if (process_) {
            if (WaitExitCode(process_, 0) == STILL_ACTIVE) TerminateProcess(process_, 99);
            CloseHandle(process_);
        }
    }
    HANDLE process_ = nullptr;
    HWND main_ = nullptr;
};

TEST_F(StereoProgram, AlignsTheSamplePairAndSavesIt) {
    const std::wstring folder = FreshFolder(L"qub_e2e_align");
    Launch(folder);
    Key('S');
    HWND box = WaitBox();
    ASSERT_NE(box, nullptr);
    std::vector<HWND> buttons = GridButtons(box);
    ASSERT_EQ(buttons.size(), 8u);
    // The arrows read correctly in any code page.
    std::wstring captions;
    for (const int k : {kUp, kRight, kQuit}) {
        wchar_t caption[16] = L"";
        GetWindowTextW(buttons[static_cast<size_t>(k)], caption, 16);
        captions += caption;
    }
    EXPECT_EQ(captions, L"\x2191\x2192Quit");

    // Right arrow as one burst (all presses counted), down arrow one by one.
    Click(box, kRight, kSampleAlignA);
    Click(box, kDown, -kSampleAlignI, 150);
    Sleep(400);
    Click(box, kSave);
    ASSERT_TRUE(WaitForFiles(folder, 1, 10000)) << "Save writes a file";

    std::vector<std::wstring> files = SavedFiles(folder);
    ASSERT_EQ(files.size(), 1u);
    const Picture saved = Decode(files[0]);
    EXPECT_EQ((std::vector<int>{saved.width, saved.height}),
              (std::vector<int>{kSampleAlignedSaveWidth, kSampleAlignedSaveHeight}));
    // The wall lines up: its two halves agree within the noise of two JPEG
    // encodings, and clearly better than at any other offset nearby.
    const double aligned = WallDifference(saved, 0, 0);
    EXPECT_LT(aligned, 7.0);
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            EXPECT_TRUE((!dx && !dy) || aligned * 1.3 < WallDifference(saved, dx, dy))
                << dx << "," << dy;

    // Two saves within a second never overwrite each other.
    Click(box, kSave, 2, 150);
    EXPECT_TRUE(WaitForFiles(folder, 3, 10000));
    EXPECT_EQ(SavedFiles(folder).size(), 3u);

    Click(box, kBuruburu);
    Sleep(500);
    Click(box, kAnaglyph);
    Sleep(300);
    Click(box, kQuit);
    EXPECT_TRUE(WaitGone(L"qub_bb", 5000));
    EXPECT_TRUE(WaitGone(L"qub_iw", 5000)) << "Quit closes the pair and the routine's windows";

    // The pair is gone, so Start asks for one.
    Key('S');
    HWND pause = WaitForProcessWindow(process_, L"#32770", 10000);
    ASSERT_NE(pause, nullptr);
    // The drag request the user sees (Japanese: drag a stereo pair here).
    EXPECT_TRUE(WaitForChildText(pause,
                                 L"\x30B9\x30C6\x30EC\x30AA\x30DA\x30A2\x753B\x50CF\x3092\x30C9"
                                 L"\x30E9\x30C3\x30B0\x3057\x3066\x4E0B\x3055\x3044",
                                 2000));
    PostMessageW(pause, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitGone(L"#32770", 5000));
    ExitProgram();
}

// The routine takes a camera's MPO as the pair it opens as, and Exit during
// the run ends the loop cleanly.
TEST_F(StereoProgram, RunsOnACameraMpoAndExitEndsTheLoopCleanly) {
    const std::wstring folder = FreshFolder(L"qub_e2e_mpo");
    const std::wstring mpo = WriteSampleAsMpo(folder);
    ASSERT_FALSE(mpo.empty());
    Launch(folder, true, mpo);
    HWND opened = WaitForProcessWindow(process_, L"qub_iw", 0);
    wchar_t title[64] = L"";
    GetWindowTextW(opened, title, 64);
    EXPECT_EQ(std::wstring(title).substr(0, 13), L"000 pair.mpo(");
    Key('S');
    ASSERT_NE(WaitBox(), nullptr);
    const DWORD start = GetTickCount();
    ExitProgram();
    EXPECT_LT(GetTickCount() - start, 1900u) << "the routine stops by itself, not by force";
    EXPECT_TRUE(SavedFiles(folder).empty());
}

// GDI+ decodes the saved files and encodes the MPO's views.
class GdiplusOn : public testing::Environment {
    ULONG_PTR token_ = 0;
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }
};
testing::Environment* const g_gdiplus = testing::AddGlobalTestEnvironment(new GdiplusOn);

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return ReadProgramPaths(argc, argv, 2, "<qubstereo.exe> <stereo pair>") ? RUN_ALL_TESTS() : 2;
}
