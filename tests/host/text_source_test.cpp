// The window-information source generator and the console's words.
#include <gtest/gtest.h>

#include <string>

#include "text/console_words.h"
#include "text/window_source.h"

namespace {

TEST(LayoutSource, OneTextWindow) {
    WindowLayout layout;
    layout.texts.push_back({0, 100, 200, 400, 300});
    EXPECT_EQ(QUB_LayoutSource(layout),
              "\t// QUBLIB --- Automatic Source Generator\n"
              "\t// [Text Window]\n"
              "\tQUB_OpenTextWindow(0,100,200,400,300);\n"
              "\tQUB_SetForeground(QUBMAINWINDOW);\n");
}

TEST(LayoutSource, EveryKindWithStringsThatNeedEscaping) {
    WindowLayout layout;
    layout.images.push_back({2, "say \"hi\"\\now", -5, 7, 640, 480, 50, 32});
    layout.images.push_back(
        {9, "\x83\x5c\t\x01", 1, 2, 3, 4, 100, 8});  // a double-byte character ending in '\'
    layout.hasInputBox = true;
    layout.inputBox = {10, 20, 2, 70, 120, {"Width", "a \"b\""}};
    layout.hasButtonBox = true;
    layout.buttonBox = {30, 40, 2, 1, 200, 60, {"two\nlines", "ok?" "?/"}};
    EXPECT_EQ(QUB_LayoutSource(layout),
              "\t// QUBLIB --- Automatic Source Generator\n"
              "\t// [Image Window]\n"
              "\tQUB_CreateImage(2,\"say \\\"hi\\\"\\\\now\",-5,7,640,480,50);\n"
              "\tQUB_CreateImage8(9,\"\\203\\\\\\t\\001\",1,2,3,4,100);\n"
              "\t// [Text Window]\n"
              "\t// [Input Box]\n"
              "\tQUB_OpenInputBox(10,20,2);\n"
              "\tQUB_ResizeInputBox(70,120);\n"
              "\tQUB_SetInputBoxTitle(0,\"Width\");\n"
              "\tQUB_SetInputBoxTitle(1,\"a \\\"b\\\"\");\n"
              "\t// [Button Box]\n"
              "\tQUB_OpenButtonBox(30,40,2,1);\n"
              "\tQUB_ResizeButtonBox(200,60);\n"
              "\tQUB_SetButtonBoxTitle(0,\"two\\nlines\");\n"
              "\tQUB_SetButtonBoxTitle(1,\"ok\\?\\?/\");\n"
              "\tQUB_SetForeground(QUBMAINWINDOW);\n");
}

// A layout past the buffer is cut before a whole line, says so, and still
// ends with the main window's line, inside the buffer.
TEST(LayoutSource, CutAtAWholeLineInsideTheBuffer) {
    WindowLayout layout;
    layout.hasButtonBox = true;
    layout.buttonBox = {0, 0, 16, 16, 800, 600, {}};
    for (int k = 0; k < 256; ++k) layout.buttonBox.captions.push_back(std::string(240, 'x'));
    bool cut = false;
    const std::string source = QUB_LayoutSource(layout, kLayoutSourceBytes, &cut);
    EXPECT_TRUE(cut);
    EXPECT_LT(source.size(), kLayoutSourceBytes);
    const std::string tail = "and was cut here.\n\tQUB_SetForeground(QUBMAINWINDOW);\n";
    ASSERT_GT(source.size(), tail.size());
    EXPECT_EQ(source.substr(source.size() - tail.size()), tail);
    const size_t cutLine = source.rfind("\t// The layout goes on");
    EXPECT_EQ(source[cutLine - 1], '\n') << "the last call before the comment is whole";
    EXPECT_EQ(source.substr(cutLine - 4, 4), "\");\n");
    layout.buttonBox.captions.resize(4);
    QUB_LayoutSource(layout, kLayoutSourceBytes, &cut);
    EXPECT_FALSE(cut);
}

}  // namespace
