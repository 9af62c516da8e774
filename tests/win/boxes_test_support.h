// Support for the box tests: the boxes belong to the worker thread, so the
// tests run their box calls there, inside a routine that pumps between jobs.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

// Starts a routine that runs jobs and pumps (QUB_PumpMessages) until Stop.
bool StartJobRoutine();
// Runs `job` on the worker thread inside that routine and waits for it.
bool OnWorker(const std::function<void()>& job);
// While set, the routine calls it on every pass between its pumps.
void SetWorkerPoll(const std::function<void()>& poll);

std::wstring ClassOf(HWND window);
SIZE ClientSize(HWND window);

// Every box test starts from the default sizes, with the job routine running,
// and ends with both boxes destroyed and the routine stopped.
class BoxTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
