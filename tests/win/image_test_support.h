// Helpers for the image window tests: running code on the worker thread (which owns image
// windows), copies of a slot's buffer, answering picks, scratch folders and files.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "imgproc/transforms.h"

// Runs `work` as the user routine on the worker thread and waits until it has returned.
// False if it did not finish within `timeoutMs`.
bool OnWorker(const std::function<void()>& work, uint32_t timeoutMs = 20000);

// Destroys every open image window (on the worker) and makes slot 0 current.
void CloseAllImages();

class ImageTest : public testing::Test {  // no image window open before and after
protected:
    void SetUp() override { CloseAllImages(); }
    void TearDown() override { CloseAllImages(); }
};

// A fresh folder under the temporary folder, removed with its files on destruction.
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
// A drop handle as the shell makes it; the receiver of the WM_DROPFILES frees it.
HDROP MakeDrop(const std::vector<std::wstring>& paths);
SIZE ClientSize(HWND window);
std::wstring StatusText();  // without the spaces that centre it
HWND FindOwnedDialog(HWND owner);  // a dialog box (class #32770) owned by `owner`, or null
// The largest difference of the channels of two 0x00RRGGBB pixels.
int MaxChannelDifference(uint32_t a, uint32_t b);

// Posts a mouse message at the middle of image pixel (x, y) of slot n, at its zoom.
void PostAtPixel(int n, UINT message, WPARAM keys, int x, int y);
// Answers a pick waiting on slot n: before each click the status line must show the tool's
// prompt ("Click a point" for one click; first and second point for two). No clicks: a
// right press cancels. False when it timed out.
bool AnswerPick(int n, const std::vector<POINT>& clicks);
// Closes text window n and returns its log without carriage returns.
std::string ClosedLogText(int n);

constexpr uint32_t kInk = 0x00A0B0C0u;  // drawColour of the tests (index 0xC0 in 8 bits)

// A copy of an image slot's buffer for the pixel engine to work on (on the worker).
struct Copy {
    int depth = 32;
    int width = 0, height = 0;
    int stride = 0;  // bytes per 8-bit row
    std::vector<uint8_t> bytes;
    static size_t BytesOf(int n);
    static Copy Of(int n);
    bool Is32() const { return depth == 32; }
    uint32_t* P32() { return reinterpret_cast<uint32_t*>(bytes.data()); }
    uint8_t* P8() { return bytes.data(); }
    uint32_t At(int x, int y) const;  // as PixelAt gives it
    bool SameAs(int n) const;  // the whole buffer, padding included, and the same size
};

// Pixel (x, y) of image slot n: 0x00RRGGBB in 32 bits, the index in 8 bits.
uint32_t PixelAt(int n, int x, int y);
// The 256 palette entries of slot n, which it leaves selected.
std::vector<uint32_t> PaletteOf(int n);
// Deterministic noise with a zero top byte in 32 bits; padding stays 0.
void FillNoise(int n, uint32_t seed);
