// The real qubstereo.exe, started with the sample pair on its command line and
// operated from outside through its windows, as a person would.
#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/win/process_support.h"
#include "tools/sample_pair_params.h"

namespace {

enum Button { kAnaglyph = 0, kUp, kBuruburu, kSave, kLeft, kDown, kRight, kQuit };

// The green channel of a saved picture, row by row.
std::vector<int> Greens(const std::wstring& file, int* width, int* height) {
    Gdiplus::Bitmap b(file.c_str());
    *width = static_cast<int>(b.GetWidth());
    *height = static_cast<int>(b.GetHeight());
    std::vector<int> g;
    Gdiplus::Rect all(0, 0, *width, *height);
    Gdiplus::BitmapData data;
    if (b.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data) != Gdiplus::Ok)
        return g;
    for (int y = 0; y < *height; ++y)
        for (int x = 0; x < *width; ++x)
            g.push_back(static_cast<const uint8_t*>(data.Scan0)[y * data.Stride + 4 * x + 1]);
    b.UnlockBits(&data);
    return g;
}

std::wstring Text(HWND window) {
    wchar_t text[64] = L"";
    GetWindowTextW(window, text, 64);
    return text;
}

TEST(StereoProgram, AlignsTheSamplePairAndSavesIt) {
    const std::wstring folder = FreshFolder(L"qub_e2e_align");
    const auto saved = [&folder] { return ListFiles(folder, L"Dor-*.jpg"); };
    HANDLE process = StartProgram(g_programPaths[0], L"\"" + g_programPaths[1] + L"\"", folder);
    HWND main = WaitForProcessWindow(process, L"qublib_mw0", 20000);
    ASSERT_TRUE(main && WaitForProcessWindow(process, L"qub_iw", 20000));
    PostMessageW(main, WM_KEYDOWN, 'S', 0);
    std::vector<HWND> b;
    ASSERT_TRUE(Poll([&] {
        b = GridButtons(WaitForProcessWindow(process, L"qub_bb", 0));
        return b.size() == 8 && Text(b[kQuit]) == L"Quit";
    }, 20000));
    EXPECT_EQ(Text(b[kUp]) + Text(b[kRight]), L"\x2191\x2192") << "arrows in any code page";
    const auto click = [&b](int k, int times, DWORD pause) {
        for (int n = 0; n < times; ++n, Sleep(pause)) PostMessageW(b[k], BM_CLICK, 0, 0);
    };
    // Right arrow as one burst (all presses counted), down arrow one by one.
    click(kRight, kSampleAlignA, 0);
    click(kDown, -kSampleAlignI, 150);
    click(kSave, 1, 400);
    ASSERT_TRUE(Poll([&] { return saved().size() == 1; }, 10000)) << "Save writes a file";
    Sleep(200);  // the rename that completes a save
    int w = 0, h = 0;
    const std::vector<int> g = Greens(saved()[0], &w, &h);
    EXPECT_EQ((std::vector<int>{w, h}),
              (std::vector<int>{kSampleAlignedSaveWidth, kSampleAlignedSaveHeight}));
    ASSERT_EQ(g.size(), static_cast<size_t>(w * h));
    // The wall in the top rows: its halves agree within the noise of two JPEG
    // encodings at the alignment, and clearly better than at any offset nearby.
    const auto wall = [&](int dx, int dy) {
        double sum = 0;
        for (int y = 4; y < 36; ++y)
            for (int x = 4; x < w / 2 - 4; ++x)
                sum += std::abs(g[(y + dy) * w + x + dx] - g[y * w + w / 2 + x]);
        return sum / (32.0 * (w / 2 - 8));
    };
    EXPECT_LT(wall(0, 0), 7.0);
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            EXPECT_TRUE((!dx && !dy) || wall(0, 0) * 1.3 < wall(dx, dy)) << dx << "," << dy;
    click(kSave, 2, 150);
    EXPECT_TRUE(Poll([&] { return saved().size() == 3; }, 10000)) << "two saves in a second";
    click(kBuruburu, 1, 500);
    click(kAnaglyph, 1, 300);
    click(kQuit, 1, 0);
    EXPECT_TRUE(Poll([&] { return !WaitForProcessWindow(process, L"qub_iw", 0); }, 5000))
        << "Quit closes the pair and the routine's windows";
    // The pair is gone, so Start asks for one (Japanese: drag a stereo pair here).
    PostMessageW(main, WM_KEYDOWN, 'S', 0);
    HWND pause = WaitForProcessWindow(process, L"#32770", 10000);
    EXPECT_TRUE(WaitForChildText(pause,
                                 L"\x30B9\x30C6\x30EC\x30AA\x30DA\x30A2\x753B\x50CF\x3092\x30C9"
                                 L"\x30E9\x30C3\x30B0\x3057\x3066\x4E0B\x3055\x3044",
                                 2000));
    PostMessageW(pause, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Poll([&] { return !WaitForProcessWindow(process, L"#32770", 0); }, 5000));
    PostMessageW(main, WM_KEYDOWN, 'X', 0);
    EXPECT_EQ(WaitExitCode(process, 10000), 0u);
    TerminateProcess(process, 99);
    CloseHandle(process);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (!ReadProgramPaths(argc, argv, 2, "<qubstereo.exe> <stereo pair>")) return 2;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    const int result = RUN_ALL_TESTS();
    Gdiplus::GdiplusShutdown(token);
    return result;
}
