// Text windows: the library's terminals. Formatted output, line input, the
// current-window selection and the log files.
#pragma once
#include <cstdint>

#if defined(__MINGW_PRINTF_FORMAT)
#define QUB_PRINTF_FORMAT(f, a) __attribute__((format(__MINGW_PRINTF_FORMAT, f, a)))
#elif defined(__GNUC__)
#define QUB_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define QUB_PRINTF_FORMAT(f, a)
#endif

// --- windows -------------------------------------------------------------------
// Results: 0 done; 1 the number is outside 0-255 or (open) the window was open
// already, (select, close) the window is not open; (open) 2 the system made no
// window or no back buffer for it: the slot stays closed, the current window
// stays as it was. An opened window's record holds the client size the system
// really gave, which its minimum and maximum sizes can make differ from the
// asked one.
constexpr int kTextNotCreated = 2;
int QUB_OpenTextWindow(int n, int x, int y, int w, int h);
void QUB_ShowTextWindow();
int QUB_SelectTextWindow(int n);
int QUB_CloseTextWindow(int n);

// --- output into the current text window ---------------------------------------
// Formats into 4096 bytes; a longer text is cut at a character boundary.
void QUB_Printf(const char* format, ...) QUB_PRINTF_FORMAT(1, 2);
void QUB_PushTextColor(uint32_t back, uint32_t text);
void QUB_PopTextColor();

// --- line input in the current text window -------------------------------------
// Waits, pumping messages, until Enter or until lineInputActive is cleared
// (Exit, closing the window). `buffer` (at least 256 bytes) receives the line
// in the ANSI code page, cut at a character boundary; empty when cancelled;
// untouched when the current text window is not open.
constexpr int kInputLineBytes = 256;
void QUB_InputLine(char* buffer);

// --- log files -------------------------------------------------------------------
int QUB_StartLog(int n);  // 0 logging, 1 already, 2 cannot create, 3 bad window
int QUB_StopLog(int n);   // 0 paused, 1 never started, 2 bad window
int QUB_CopyLog(int n);   // 0 copied, 1 no clipboard, 2 cannot open, 3 no memory, 4 bad window
void QUB_CloseAllLogs();

// --- commands a text window hands on ---------------------------------------------
// The window-information report of text window n, and the one-command
// console in the current text window. Both belong to their own modules.
void QUB_ShowWindowInfo(int n);
int QUB_RunCommandConsole();
