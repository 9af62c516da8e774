// Not run by default: opens a captioned 4 x 2 button box and a filled input
// box and holds them on screen so that a screenshot can be taken.
//   boxes_tests --gtest_also_run_disabled_tests --gtest_filter=*Showcase*
#include <gtest/gtest.h>

#include <cstdlib>

#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "core/library_state.h"
#include "tests/win/boxes_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

TEST(BoxesShowcase, DISABLED_Showcase) {
    ASSERT_TRUE(StartJobRoutine());
    ASSERT_TRUE(OnWorker([] {
        QUB_OpenButtonBox(700, 120, 4, 2);
        const char* captions[8] = {"Anaglyph", "Wiggle", "Save", "Quit",
                                   "Left up", "Left down", "Swap views", "Reset"};
        for (int k = 0; k < 8; ++k) QUB_SetButtonBoxTitle(k, captions[k]);
        QUB_OpenInputBox(120, 120, 6);
        const char* labels[6] = {"Width", "Height", "Zoom %", "Shift x", "Shift y", "Name"};
        for (int i = 0; i < 6; ++i) QUB_SetInputBoxTitle(i, labels[i]);
        QUB_ResizeInputBox(70, 120);
    }));
    const wchar_t* values[6] = {L"1920", L"1080", L"50", L"-12", L"3", L"Dor-pair"};
    for (int i = 0; i < 6; ++i) SetWindowTextW(qubState.inputBox.edits[i], values[i]);
    const char* hold = getenv("QUB_SHOWCASE_MS");
    PumpFor(hold ? static_cast<uint32_t>(atoi(hold)) : 3000);
    EXPECT_TRUE(StopJobRoutine());
}

}  // namespace
