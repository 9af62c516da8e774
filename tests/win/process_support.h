// Helpers for tests that start the real program and drive it from outside,
// as a person (or the shell) would.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A Linux path handed over by the build ("/work/...") as Wine sees it.
std::wstring WindowsPath(const char* path);

// Starts `exe` with `args` in `folder` (empty: this process's); null on failure.
HANDLE StartProgram(const std::wstring& exe, const std::wstring& args = L"",
                    const std::wstring& folder = L"");

// Polls `done` every 20 ms for up to `ms`; whether it held.
bool Poll(const std::function<bool()>& done, DWORD ms);

// Waits up to `ms` for a top-level window of `className` that belongs to `process`.
HWND WaitForProcessWindow(HANDLE process, const wchar_t* className, DWORD ms);

// The push buttons of a button box, row by row, left to right.
std::vector<HWND> GridButtons(HWND box);

// Waits up to `ms` for a direct child of `window` showing `text`.
bool WaitForChildText(HWND window, const std::wstring& text, DWORD ms);

// Waits up to `ms` for the process to end: its exit code, or STILL_ACTIVE.
DWORD WaitExitCode(HANDLE process, DWORD ms);

// The paths on the command line (after gtest's flags) as Wine sees them;
// ReadProgramPaths prints the usage and fails when fewer than `paths` are given.
extern std::vector<std::wstring> g_programPaths;
bool ReadProgramPaths(int argc, char** argv, int paths, const char* usage);

// A fresh, empty folder under the temporary folder; the files in a folder
// that match `pattern`.
std::wstring FreshFolder(const wchar_t* name);
std::vector<std::wstring> ListFiles(const std::wstring& folder, const wchar_t* pattern);
