#include "tests/win/win_test_support.h"

#include <gtest/gtest.h>

#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/runtime.h"

std::function<void()> g_testRoutine;

void QUB_Main() {
    if (g_testRoutine) g_testRoutine();
}

bool PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs) {
    const uint32_t start = QUB_Milliseconds();
    while (!done()) {
        if (QUB_ElapsedMs(QUB_Milliseconds(), start) > timeoutMs) return false;
        QUB_PumpMessagesPlain();
        Sleep(1);
    }
    return true;
}

void PumpFor(uint32_t ms) {
    PumpUntil([] { return false; }, ms);
}

void SendMainCommand(int id) {
    SendMessageW(qubState.mainWindow, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

bool StartRoutine() {
    SendMainCommand(kCmdStart);
    return PumpUntil([] { return qubState.routineRunning.load() == 1; });
}

bool StopRoutine() {
    SendMainCommand(kCmdStop);
    return PumpUntil([] { return qubState.routineRunning.load() == 0; });
}

int RunWinTests(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const int startCode = QUB_StartUp(GetModuleHandleW(nullptr));
    if (startCode != 0) {
        fprintf(stderr, "library start-up failed with %d\n", startCode);
        return 100 + startCode;
    }
    const int result = RUN_ALL_TESTS();
    if (IsWindow(qubState.mainWindow)) {
        g_testRoutine = nullptr;
        SendMainCommand(kCmdExit);
    }
    QUB_RunMessageLoop();
    QUB_ShutDown();
    return result;
}
