// Start, Stop and Exit of the user routine, and the other main-window commands.
#pragma once

void QUB_CommandStart();
void QUB_CommandStop();
// The termination handshake: stops the worker (by force after 2 s) and
// destroys the main window.
void QUB_CommandExit();

// Dropped files on the main window; `drop` is the HDROP of WM_DROPFILES.
void QUB_HandleDroppedFiles(void* drop);
// Files named on the program's command line, opened as if dropped on the main
// window. Called once the main window and the worker run.
void QUB_OpenCommandLineFiles();

// Paste, interactive creation of windows and window information.
void QUB_RunMainWindowCommand(int id);
