// The instance limit, with real program instances: ten run, the eleventh is
// refused with a message and exit code 1, and a freed number is taken again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win/process_support.h"

namespace {

std::wstring MainClass(int n) { return L"qublib_mw" + std::to_wstring(n); }

void ExitInstance(HWND mainWindow) { PostMessageW(mainWindow, WM_KEYDOWN, 'X', 0); }

TEST(InstanceLimit, TenRunTheEleventhIsRefusedAndFreedNumbersAreReused) {
    const std::wstring program = g_programPaths[0];
    std::vector<HANDLE> running;
    // Started one after the other: each takes the first free number when it
    // starts, so the next waits until the previous one's window is there.
    for (int i = 0; i < 10; ++i) {
        running.push_back(StartProgram(program));
        ASSERT_NE(WaitForProcessWindow(running.back(), MainClass(i).c_str(), 20000), nullptr) << i;
    }
    HANDLE eleventh = StartProgram(program);
    HWND box = WaitForProcessWindow(eleventh, L"#32770", 20000);
    ASSERT_NE(box, nullptr) << "the refusal is shown";
    // The message the user sees, and its caption.
    EXPECT_TRUE(WaitForChildText(box, L"Over instance limit!", 5000));
    wchar_t caption[64] = L"";
    GetWindowTextW(box, caption, 64);
    EXPECT_EQ(std::wstring(caption), L"QUBLIB");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitExitCode(eleventh, 10000), 1u);
    CloseHandle(eleventh);

    // Instance 3 ends; the next program takes number 3.
    ExitInstance(FindWindowW(MainClass(3).c_str(), nullptr));
    EXPECT_EQ(WaitExitCode(running[3], 10000), 0u);
    CloseHandle(running[3]);
    running[3] = StartProgram(program);
    EXPECT_NE(WaitForProcessWindow(running[3], MainClass(3).c_str(), 20000), nullptr);

    for (int i = 0; i < 10; ++i)
        if (HWND w = FindWindowW(MainClass(i).c_str(), nullptr)) ExitInstance(w);
    for (HANDLE p : running) {
        EXPECT_EQ(WaitExitCode(p, 10000), 0u);
        TerminateProcess(p, 99);  // no stray process if one did not end
        CloseHandle(p);
    }
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return ReadProgramPaths(argc, argv, 1, "<qubstereo.exe>") ? RUN_ALL_TESTS() : 2;
}
