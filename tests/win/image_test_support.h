// Helpers for the image window tests: running code on the worker thread (which
// owns image windows), scratch folders and files.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Runs `work` as the user routine on the worker thread and waits until the
// routine has returned. False if it did not finish within `timeoutMs`.
bool OnWorker(const std::function<void()>& work, uint32_t timeoutMs = 20000);

// Destroys every open image window (on the worker) and makes slot 0 current.
void CloseAllImages();

// A fresh folder under the temporary folder, removed with its files on
// destruction.
struct ScratchFolder {
    std::wstring path;  // without a trailing backslash
    ScratchFolder();
    ~ScratchFolder();
    std::wstring File(const std::wstring& name) const { return path + L"\\" + name; }
    std::vector<std::wstring> Names() const;  // file names in it
};

bool WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> ReadBytes(const std::wstring& path);
std::string Narrow(const std::wstring& text);  // ANSI code page

// A drop handle as the shell makes it, holding `paths`; the receiver of the
// WM_DROPFILES it is posted with frees it.
HDROP MakeDrop(const std::vector<std::wstring>& paths);

// Caption of a window.
std::wstring WindowTitle(HWND window);

// Puts `block` on the clipboard as CF_DIB, as another program would.
void PutDibOnClipboard(const std::vector<uint8_t>& block);

// The status line without the spaces that centre it.
std::wstring StatusText();

// A dialog box (class #32770) owned by `owner`, or null.
HWND FindOwnedDialog(HWND owner);

// The largest difference of the red, green and blue channels of two 0x00RRGGBB
// pixels.
int MaxChannelDifference(uint32_t a, uint32_t b);
