// The runtime core's interface: process start-up, the message pumps and the
// small utilities that every library window uses.
#pragma once
#include <windows.h>

#include <cstdint>

#include "core/clock.h"

// The user routine; the program (or a test) defines it. Runs on the worker
// thread after Start and should return soon after stopRequested is set.
void QUB_Main();

// --- start-up (GUI thread) ---------------------------------------------------
// WinMain is QUB_StartUp, QUB_RunMessageLoop and QUB_ShutDown in turn; tests
// call them separately so that they can drive the library in between.
int QUB_StartUp(HINSTANCE instance);  // 0, or the exit code to return at once
int QUB_RunMessageLoop();             // until the main window is destroyed
void QUB_ShutDown();
int QUB_WinMain(HINSTANCE instance);

// --- message pumps -----------------------------------------------------------
// Dispatch what waits in the calling thread's queue and return when it is
// empty; never block. QUB_PumpMessages offers each message to the input box
// first (IsDialogMessageW); QUB_PumpMessagesPlain does not.
void QUB_PumpMessages();
void QUB_PumpMessagesPlain();

// --- utilities ---------------------------------------------------------------
uint32_t QUB_Milliseconds();
void QUB_SplitRgb(uint32_t colour, int* red, int* green, int* blue);
void QUB_ReadWindowText(HWND window, char* text, int size);
void QUB_WriteWindowText(HWND window, const char* text);
void QUB_SetStatusText(const char* text);
void QUB_InsertMenuString(HMENU menu, int position, int state, int id, const char* text);
void QUB_InsertMenuSeparator(HMENU menu, int position);
void QUB_InsertSubmenu(HMENU menu, HMENU submenu, int position, const char* text);
void QUB_Pause(const char* text);
// OpenClipboard, tried again for up to 100 ms: another program (a clipboard
// viewer, a paste in progress) holds it for moments at a time.
bool QUB_OpenClipboard(HWND owner);
// Brings `window` to the front (a rebuilt layout ends with the main window).
void QUB_SetForeground(HWND window);

// --- snapping while dragged with Ctrl ------------------------------------------
void QUB_CollectSnapRects();
void QUB_SnapMovingRect(HWND window, RECT* proposed);
