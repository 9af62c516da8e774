// The instance limit, with real program instances: ten run, the eleventh is
// refused with a message and exit code 1, and a freed number is taken again.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/win/process_support.h"

namespace {

std::wstring g_program;

std::wstring MainClass(int n) { return L"qublib_mw" + std::to_wstring(n); }

void ExitInstance(HWND mainWindow) { PostMessageW(mainWindow, WM_KEYDOWN, 'X', 0); }

TEST(InstanceLimit, TenRunTheEleventhIsRefusedAndFreedNumbersAreReused) {
    std::vector<HANDLE> running;
    // Started one after the other: each takes the first free number when it
    // starts, so the next waits until the previous one's window is there.
    for (int i = 0; i < 10; ++i) {
        HANDLE p = StartProgram(g_program);
        ASSERT_NE(p, nullptr);
        running.push_back(p);
        HWND w = WaitForProcessWindow(p, MainClass(i).c_str(), 20000);
        ASSERT_NE(w, nullptr) << "instance " << i;
    }

    HANDLE eleventh = StartProgram(g_program);
    ASSERT_NE(eleventh, nullptr);
    HWND box = WaitForProcessWindow(eleventh, L"#32770", 20000);
    ASSERT_NE(box, nullptr) << "the refusal is shown";
    // The box exists before its texts are set: wait for them.
    const wchar_t kText[] = L"Over instance limit!";
    std::vector<std::wstring> texts;
    for (int tries = 0; tries < 250; ++tries) {
        texts = ChildTexts(box);
        if (std::find(texts.begin(), texts.end(), kText) != texts.end()) break;
        Sleep(20);
    }
    EXPECT_NE(std::find(texts.begin(), texts.end(), kText), texts.end());
    wchar_t caption[64] = L"";
    GetWindowTextW(box, caption, 64);
    EXPECT_EQ(std::wstring(caption), L"QUBLIB");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitExitCode(eleventh, 10000), 1u);
    CloseHandle(eleventh);

    // Instance 3 ends; the next program takes number 3.
    HWND third = FindWindowW(MainClass(3).c_str(), nullptr);
    ASSERT_NE(third, nullptr);
    ExitInstance(third);
    EXPECT_EQ(WaitExitCode(running[3], 10000), 0u);
    CloseHandle(running[3]);
    running[3] = StartProgram(g_program);
    ASSERT_NE(running[3], nullptr);
    EXPECT_NE(WaitForProcessWindow(running[3], MainClass(3).c_str(), 20000), nullptr);

    for (int i = 0; i < 10; ++i) {
        HWND w = FindWindowW(MainClass(i).c_str(), nullptr);
        if (w) ExitInstance(w);
    }
    for (HANDLE p : running) {
        EXPECT_EQ(WaitExitCode(p, 10000), 0u);
        TerminateProcess(p, 99);  // no stray process if one did not end
        CloseHandle(p);
    }
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: instance_tests <path of qubstereo.exe>\n");
        return 2;
    }
    g_program = WindowsPath(argv[1]);
    return RUN_ALL_TESTS();
}
