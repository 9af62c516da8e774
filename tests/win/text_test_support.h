// Helpers for the text window tests: code run as the user routine on the worker
// thread (which owns the text windows), back buffers, typing, logs.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Starts `body` as the user routine and returns once it runs; WaitRoutineEnd
// then waits for it to return; RunOnWorker does both.
bool StartOnWorker(const std::function<void()>& body);
bool WaitRoutineEnd(uint32_t timeoutMs = 10000);
bool RunOnWorker(const std::function<void()>& body, uint32_t timeoutMs = 10000);

// The back buffer of text window n as 0xRRGGBB rows, top-down.
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;
    // How many pixels of the rectangle are `colour`.
    int Count(int x0, int y0, int x1, int y1, uint32_t colour) const;
};
Pixels SnapshotTextWindow(int n);

// Subclasses text window n so that the messages below, posted to it, press
// and release Ctrl in the worker thread's key state and note WM_KEYDOWN 'V'.
void AddCtrlControls(int n);
constexpr UINT kMsgCtrlDown = WM_APP + 1;
constexpr UINT kMsgCtrlUp = WM_APP + 2;    // lets go of Ctrl and of Alt
constexpr UINT kMsgAltGrDown = WM_APP + 3;  // Ctrl and Alt held, as AltGr reports
extern volatile LONG g_pasteKeySeen;

// Posts or sends (each unit in the key ring, if an input waits, when the call
// returns) the characters of `text` as WM_CHAR to `window`.
void PostChars(HWND window, const std::wstring& text);
void SendChars(HWND window, const std::wstring& text);

// For helper threads, which have no queue to pump: polls `done` every
// millisecond until it holds or `timeoutMs` passes; whether it held.
bool PollUntil(const std::function<bool()>& done, uint32_t timeoutMs = 5000);

// A file's bytes ("<missing>" without it); the log file of text window n, and
// its text without the CR of its line ends.
std::string ReadFileBytes(const std::wstring& name);
std::wstring LogFileName(int n);
std::string LogText(int n);

// Waits for a line input, types `line` and Enter and waits until it is taken;
// pumps on the GUI thread, polls on another (while the GUI thread waits in it).
bool AnswerLine(const std::wstring& line);
