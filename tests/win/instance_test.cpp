// The instance limit, with real program instances: ten run, the eleventh is
// refused with a message and exit code 1, and a freed number is taken again.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/host/product_texts.h"
#include "tests/win/process_support.h"

namespace {

std::wstring MainClass(int n) { return L"qublib_mw" + std::to_wstring(n); }

TEST(InstanceLimit, TenRunTheEleventhIsRefusedAndFreedNumbersAreReused) {
    std::vector<HANDLE> running;
    // One after the other: each takes the first free number when it starts.
    for (int i = 0; i < 10; ++i) {
        running.push_back(StartProgram(g_programPaths[0]));
        ASSERT_NE(WaitForProcessWindow(running.back(), MainClass(i).c_str(), 20000), nullptr) << i;
    }
    HANDLE eleventh = StartProgram(g_programPaths[0]);
    HWND box = WaitForProcessWindow(eleventh, L"#32770", 20000);
    ASSERT_NE(box, nullptr) << "the refusal is shown";
    const product::MessageText m = product::kInstanceLimit;
    EXPECT_TRUE(WaitForChildText(box, std::wstring(m.text, m.text + strlen(m.text)), 5000));
    wchar_t caption[64] = L"";
    GetWindowTextW(box, caption, 64);
    EXPECT_EQ(std::wstring(caption), std::wstring(m.caption, m.caption + strlen(m.caption)));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitExitCode(eleventh, 10000), 1u);
    CloseHandle(eleventh);
    // Instance 3 ends (key X); the next program takes number 3.
    PostMessageW(FindWindowW(MainClass(3).c_str(), nullptr), WM_KEYDOWN, 'X', 0);
    EXPECT_EQ(WaitExitCode(running[3], 10000), 0u);
    CloseHandle(running[3]);
    running[3] = StartProgram(g_programPaths[0]);
    EXPECT_NE(WaitForProcessWindow(running[3], MainClass(3).c_str(), 20000), nullptr);
    for (int i = 0; i < 10; ++i)
        PostMessageW(FindWindowW(MainClass(i).c_str(), nullptr), WM_KEYDOWN, 'X', 0);
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
