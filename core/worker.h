// The worker thread that runs the user routine and creates every library
// window other than the main window, and the request hand-off by which the GUI
// thread has it create and fill windows.
#pragma once
#include <windows.h>

enum RequestCode {
    REQ_CREATE_IMAGE = 9001,
    REQ_DISPLAY_IMAGE = 9002,
    REQ_LOAD_IMAGE = 9003,
    REQ_PUT_BITMAP = 9004,
    REQ_OPEN_TEXT_WINDOW = 9005,
    REQ_OPEN_INPUT_BOX = 9006,
    REQ_OPEN_BUTTON_BOX = 9007,
};

// Returned by the requesters that give a result when the worker thread has
// ended (Exit, or a forced termination) and can serve no request any more.
constexpr int kRequestWorkerGone = -1;

void QUB_StartWorker();  // called by the main window's creation
DWORD WINAPI WorkerThreadProc(LPVOID);
void ServeRequest();

// Requesters: GUI thread only. They pump the GUI thread's queue while they wait.
int QUB_RequestCreateImage(int n, const char* title, int width, int height, int depth);
void QUB_RequestDisplayImage(int n);
int QUB_RequestLoadImage(int n, const char* file);
// As QUB_RequestLoadImage, also carrying the UTF-16 name for names that the
// ANSI code page cannot hold.
int QUB_RequestLoadImageWide(int n, const char* file, const wchar_t* fileWide);
// The bitmap goes to slot n, or to whichever window is current when the
// worker serves the request when n is negative. A caller that made the window
// names it: the current window can change while the request waits.
void QUB_RequestPutBitmap(HBITMAP bitmap, int n = -1);
void QUB_RequestTextWindow(int n);
// Request 9005 with a place and a size instead of the defaults.
void QUB_RequestTextWindowAt(int n, int x, int y, int w, int h);
void QUB_RequestInputBox(int count);
void QUB_RequestButtonBox(int nx, int ny);
