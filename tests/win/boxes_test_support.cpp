#include "tests/win/boxes_test_support.h"

#include <atomic>

#include "boxes/button_box.h"
#include "boxes/input_box.h"
#include "core/library_state.h"
#include "core/runtime.h"
#include "tests/win/win_test_support.h"

namespace {

std::function<void()> g_job, g_poll;  // g_poll is set and used on the worker only
std::atomic<int> g_jobState{0};         // 0 none, 1 waiting for the worker, 2 done

void JobRoutine() {
    while (qubState.stopRequested.load() == 0) {
        if (g_jobState.load() == 1) {
            g_job();
            g_jobState.store(2);
        }
        if (g_poll) g_poll();
        QUB_PumpMessages();
        Sleep(1);
    }
}

}  // namespace

bool StartJobRoutine() {
    g_testRoutine = JobRoutine;
    return StartRoutine();
}

bool OnWorker(const std::function<void()>& job) {
    g_job = job;
    g_jobState.store(1);
    const bool done = PumpUntil([] { return g_jobState.load() == 2; }, 10000);
    g_jobState.store(0);
    return done;
}

void SetWorkerPoll(const std::function<void()>& poll) {
    OnWorker([&poll] { g_poll = poll; });
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

SIZE ClientSize(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

void BoxTest::SetUp() {
    qubState.buttonBox.buttonWidth = 98;
    qubState.buttonBox.buttonHeight = 26;
    qubState.inputBox.labelWidth = 80;
    qubState.inputBox.editWidth = 70;
    ASSERT_TRUE(StartJobRoutine());
}

void BoxTest::TearDown() {
    OnWorker([] {
        QUB_DestroyButtonBox();
        QUB_CloseInputBox();
    });
    EXPECT_TRUE(StopRoutine());
    g_testRoutine = nullptr;
}
