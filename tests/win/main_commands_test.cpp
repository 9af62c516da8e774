// The main window's commands in-process: creating each window kind answered by
// a typing thread (the prompts hold the GUI thread), keys and Window Info.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/runtime.h"
#include "image/image_clipboard.h"
#include "image/image_window.h"
#include "text/text_window.h"
#include "tests/win/image_test_support.h"
#include "tests/win/text_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

// Runs main-window command `id` on this (the GUI) thread while another
// thread answers its prompts with `lines`.
void Answered(int id, std::vector<std::wstring> lines) {
    std::thread typist([lines] {
        for (const std::wstring& line : lines)
            if (!AnswerLine(line)) return;
    });
    SendMainCommand(id);
    typist.join();
}

class MainCommands : public testing::Test {
    void SetUp() override {
        CloseAllImages();
        OnWorker([] {
            for (int n = 0; n < kTextSlots; ++n) QUB_CloseTextWindow(n);
            if (qubState.inputBox.window) QUB_CloseInputBox();
            if (qubState.buttonBox.window) QUB_DestroyButtonBox();
        });
    }
};

// Refused answers make nothing; the prompts are read back as the user saw them.
TEST_F(MainCommands, InteractiveCreationOfEachKind) {
    ASSERT_TRUE(OnWorker([] {
        QUB_CreateImage(0, "taken", -1, -1, 50, 40, 100);
        QUB_OpenTextWindow(0, -1, -1, 400, 300);
        QUB_StartLog(0);
    }));
    Answered(kCmdImageWindow, {L"320", L"240", L"16"});
    EXPECT_FALSE(qubState.images[1].inUse) << "depth 16 is refused";
    Answered(kCmdImageWindow, {L"320", L"240", L"8"});
    const ImageWindowRecord& made = qubState.images[1];
    EXPECT_EQ(std::string(made.title) + " " + std::to_string(made.depth * 1000000 +
                                                             made.width * 1000 + made.height),
              "001 8320240");
    Answered(kCmdInputBox, {L"3"});
    Answered(kCmdButtonBox, {L"17", L"16"});
    EXPECT_EQ(qubState.buttonBox.window, nullptr) << "272 buttons are refused";
    Answered(kCmdButtonBox, {L"4", L"2"});
    EXPECT_EQ(qubState.inputBox.itemCount * 100 + qubState.buttonBox.count, 308);
    SendMainCommand(kCmdTextWindow);
    EXPECT_TRUE(qubState.textWindows[1].inUse) << "the first free text slot";
    ASSERT_TRUE(OnWorker([] { QUB_CloseTextWindow(0); }));
    const auto asked = [](const char* const* prompts, std::initializer_list<const char*> answers) {
        std::string text = prompts[0];
        for (const char* answer : answers) text += std::string(*++prompts) + answer + "\n";
        return text;
    };
    using namespace product;
    EXPECT_EQ(LogText(0), asked(kImageWindowPrompts, {"320", "240", "16"}) +
                              asked(kImageWindowPrompts, {"320", "240", "8"}) +
                              asked(kInputBoxPrompts, {"3"}) +
                              asked(kButtonBoxPrompts, {"17", "16"}) +
                              asked(kButtonBoxPrompts, {"4", "2"}));
}

// Window Info from the main window: the source it put on the clipboard.
std::string WindowInfoSource() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    SendMainCommand(kCmdWindowInfo);
    std::string text;
    PumpUntil([&text] { return (text = ClipboardText())[0] != '<'; });
    return text;
}

// A 3 x 2 picture on the clipboard, as a copy from an image window leaves it.
void PictureOnClipboard() {
    OnWorker([] {
        QUB_CreateImage(9, "source", -1, -1, 3, 2, 100);
        QUB_CopyImage(9);
        QUB_DestroyImage(9);
    });
}

// During a run Ctrl+V does nothing and Ctrl+W is carried out, its request for
// text window 0 waiting for the routine; during a prompt without a run, Ctrl+V pastes.
TEST_F(MainCommands, KeysAreCarriedOutAsTheirCommandsAllow) {
    PictureOnClipboard();
    char line[kInputLineBytes] = "";
    ASSERT_TRUE(StartOnWorker([&] {
        QUB_OpenTextWindow(0, -1, -1, 400, 300);
        QUB_InputLine(line);
    }));
    ASSERT_TRUE(PumpUntil([] { return qubState.lineInputActive.load() != 0; }));
    PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdPaste, 0);       // as Ctrl+V posts it
    PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdTextWindow, 0);  // as a chosen entry would
    PumpFor(300);
    EXPECT_FALSE(qubState.images[0].inUse) << "no paste during a run";
    EXPECT_FALSE(qubState.textWindows[1].inUse);
    EXPECT_NE(WindowInfoSource().find("QUB_OpenTextWindow(0,"), std::string::npos)
        << "Ctrl+W during a run and a line input";
    SendChars(qubState.textWindows[0].window, L"done\r");
    ASSERT_TRUE(WaitRoutineEnd());
    EXPECT_STREQ(line, "done") << "the waiting input kept its answer";

    OnWorker([] { QUB_CloseTextWindow(0); });
    std::atomic<int> release{0}, openedEarly{-1};
    ASSERT_TRUE(StartOnWorker([&release] {
        while (release.load() == 0) {
            QUB_PumpMessages();
            Sleep(1);
        }
    }));
    std::thread releaser([&] {
        Sleep(600);
        openedEarly = qubState.textWindows[0].inUse;
        release = 1;
    });
    const std::string source = WindowInfoSource();
    releaser.join();
    ASSERT_TRUE(WaitRoutineEnd());
    EXPECT_EQ(openedEarly.load(), 0) << "text window 0 was made while the routine ran";
    EXPECT_NE(source.find("QUB_OpenTextWindow(0,"), std::string::npos) << "Ctrl+W after the run";

    PictureOnClipboard();
    std::thread typist([] {
        if (!PollUntil([] { return qubState.lineInputActive.load() != 0; }, 8000)) return;
        PostMessageW(qubState.mainWindow, WM_COMMAND, kCmdPaste, 0);
        PollUntil([] { return qubState.images[0].inUse != 0; }, 8000);
        AnswerLine(L"2");
    });
    SendMainCommand(kCmdInputBox);
    typist.join();
    EXPECT_EQ(qubState.images[0].width, 3) << "Ctrl+V during a line input without a run";
    EXPECT_EQ(qubState.inputBox.itemCount, 2) << "the prompt kept its answer";
}

// Titles that need escaping, reported by Window Info; the source also goes to
// the file QUB_LAYOUT_OUT names, for the script that rebuilds it elsewhere.
TEST_F(MainCommands, WindowInfoReportsATrickyLayoutAndItsSource) {
    ASSERT_TRUE(OnWorker([] {
        QUB_OpenTextWindow(0, 100, 200, 400, 300);
        QUB_OpenTextWindow(2, 40, 620, 320, 200);
        QUB_CreateImage(1, "say \"cheese\"", 20, 30, 160, 120, 100);
        QUB_CreateImage8(4, "C:\\pairs\\caf\xE9\t1", 240, 30, 99, 77, 200);
        QUB_OpenInputBox(560, 40, 3);
        QUB_ResizeInputBox(90, 110);
        QUB_SetInputBoxTitle(0, "Shift \"x\"");
        QUB_OpenButtonBox(900, 40, 2, 2);
        QUB_ResizeButtonBox(240, 90);
        QUB_SetButtonBoxTitle(0, "Left\nview");
        QUB_SetButtonBoxTitle(3, "a\\b");
        QUB_StartLog(2);
    }));
    const std::string source = WindowInfoSource();
    EXPECT_NE(source.find("QUB_CreateImage8(4,\"C:\\\\pairs\\\\caf\\351\\t1\",240,30,99,77,200);"),
              std::string::npos) << source;
    if (const char* out = getenv("QUB_LAYOUT_OUT")) {
        FILE* f = fopen(out, "wb");
        ASSERT_NE(f, nullptr) << out;
        fwrite(source.data(), 1, source.size(), f);
        fclose(f);
    }
    // The report the user sees in the current text window.
    ASSERT_TRUE(OnWorker([] { QUB_CloseTextWindow(2); }));
    EXPECT_NE(LogText(2).find("******* Window information *******\n[Image Window]\n"
                              " 1 F 'say \"cheese\"' X:20 Y:30 W:160 H:120 ZM:100%\n"),
              std::string::npos) << LogText(2);
    for (const char* line : {"[Text Window]\n 0 X:100 Y:200 W:400 H:300\n",
                             "[Input Box]\n X:560 Y:40 ITEM:3 ISIZE:90 ESIZE:110\n",
                             "[Button Box]\n X:900 Y:40 NX:2 NY:2 SIZE:240x90\n"})
        EXPECT_NE(LogText(2).find(line), std::string::npos) << line;
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
