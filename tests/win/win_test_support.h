// Support for in-process tests under Wine: the test program starts the
// library as WinMain would, runs its test cases on the GUI thread, and lets
// each case decide what the worker's user routine does.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

// What QUB_Main runs after Start; null makes it return at once.
extern std::function<void()> g_testRoutine;

// Pumps the GUI thread's queue until `done` holds or `timeoutMs` passes.
// Returns whether `done` held.
bool PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs = 5000);

// Pumps the GUI thread's queue for `ms` milliseconds.
void PumpFor(uint32_t ms);

// Sends a main-window command as the menu would.
void SendMainCommand(int id);

// Presses Start and waits until the routine has started (it may have
// returned already); Stop and waits until it has returned. Both report success.
bool StartRoutine();
bool StopRoutine();

// Starts the library, runs the selected tests, then ends the library with
// Exit if a test has not done so already.
int RunWinTests(int argc, char** argv);
