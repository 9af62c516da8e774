// Support for the box tests: the boxes belong to the worker thread, so the
// tests run their box calls there, inside a routine that pumps between jobs.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "boxes/box_geometry.h"

// Starts a routine that runs jobs and pumps (QUB_PumpMessages) until Stop.
bool StartJobRoutine();
// Runs `job` on the worker thread inside that routine and waits for it.
bool OnWorker(const std::function<void()>& job);
// While set, the routine calls it on every pass between its pumps.
void SetWorkerPoll(const std::function<void()>& poll);
// Destroys both boxes on the worker and stops the routine.
bool StopJobRoutine();

std::wstring ClassOf(HWND window);
// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);
SIZE ClientSize(HWND window);
// Left, top, width and height, to compare a window with the box geometry.
std::vector<LONG> Rect4(RECT r);
std::vector<LONG> Rect4(BoxRect r);

// Every box test starts from the default sizes, with the job routine running.
class BoxTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { EXPECT_TRUE(StopJobRoutine()); }
};
