// The real program opens the files named on its command line as if they had
// been dropped on its main window, names outside the ANSI code page included.
#include <gtest/gtest.h>

#include <string>

#include "tests/win/process_support.h"

namespace {

std::wstring g_program;
std::wstring g_sample;

std::wstring Title(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

// True when some pixel of the window's client area on the screen is not black.
bool ShowsSomething(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    HDC dc = GetDC(window);
    bool seen = false;
    for (int y = 5; y < r.bottom && !seen; y += 37)
        for (int x = 5; x < r.right && !seen; x += 41)
            seen = (GetPixel(dc, x, y) & 0xFFFFFF) != 0;
    ReleaseDC(window, dc);
    return seen;
}

TEST(CommandLine, FileOpensInSlotZero) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring copy = std::wstring(temp) + L"\u5199\u771f cmdline " +
                              std::to_wstring(GetCurrentProcessId()) + L".jpg";
    ASSERT_TRUE(CopyFileW(g_sample.c_str(), copy.c_str(), FALSE));

    HANDLE p = StartProgram(g_program, L"\"" + copy + L"\"");
    ASSERT_NE(p, nullptr);
    HWND image = WaitForProcessWindow(p, L"qub_iw", 30000);
    ASSERT_NE(image, nullptr) << "no image window opened";
    const std::wstring title = Title(image);
    EXPECT_EQ(title.substr(0, 4), L"000 ");
    EXPECT_EQ(title.substr(title.size() - 6), L"(100%)");
    RECT client;
    GetClientRect(image, &client);
    EXPECT_EQ(client.right, 1280);
    EXPECT_EQ(client.bottom, 480);
    bool shown = false;
    for (int i = 0; i < 50 && !shown; ++i) {
        Sleep(100);
        shown = ShowsSomething(image);
    }
    EXPECT_TRUE(shown) << "the picture was loaded through its UTF-16 name";

    HWND main = WaitForProcessWindow(p, L"qublib_mw0", 1000);
    if (main) PostMessageW(main, WM_KEYDOWN, 'X', 0);
    EXPECT_EQ(WaitExitCode(p, 10000), 0u);
    TerminateProcess(p, 99);
    CloseHandle(p);
    DeleteFileW(copy.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        fprintf(stderr, "usage: image_cmdline_tests program.exe sample.jpg\n");
        return 2;
    }
    g_program = WindowsPath(argv[1]);
    g_sample = WindowsPath(argv[2]);
    return RUN_ALL_TESTS();
}
