#include "tests/win/win_test_support.h"

#include <gtest/gtest.h>

#include <atomic>

#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/runtime.h"

std::function<void()> g_testRoutine;

namespace {

// Counts the routine's starts: a short routine may have returned before the
// GUI thread looks at routineRunning, but never before it is counted.
std::atomic<int> g_routineStarts{0};

}  // namespace

void QUB_Main() {
    ++g_routineStarts;
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
    const int before = g_routineStarts.load();
    SendMainCommand(kCmdStart);
    return PumpUntil([before] { return g_routineStarts.load() > before; });
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
