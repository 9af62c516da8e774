#include "tests/win/text_test_support.h"

#include <algorithm>
#include <cstdio>

#include "core/library_state.h"
#include "core/runtime.h"
#include "tests/win/win_test_support.h"

volatile LONG g_pasteKeySeen = 0;

namespace {

WNDPROC g_textProc = nullptr;

LRESULT CALLBACK CtrlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMsgCtrlDown || message == kMsgCtrlUp || message == kMsgAltGrDown) {
        SetKeyState(VK_CONTROL, message != kMsgCtrlUp);
        SetKeyState(VK_MENU, message == kMsgAltGrDown);
        return 0;
    }
    const LRESULT result = CallWindowProcW(g_textProc, window, message, wParam, lParam);
    if (message == WM_KEYDOWN && wParam == 'V') InterlockedExchange(&g_pasteKeySeen, 1);
    return result;
}

}  // namespace

bool StartOnWorker(const std::function<void()>& body) {
    g_testRoutine = body;
    return StartRoutine();
}

bool WaitRoutineEnd(uint32_t timeoutMs) {
    if (!PumpUntil([] { return qubState.routineRunning.load() == 0; }, timeoutMs)) return false;
    g_testRoutine = nullptr;
    qubState.stopRequested.store(0);
    return true;
}

bool RunOnWorker(const std::function<void()>& body, uint32_t timeoutMs) {
    return StartOnWorker(body) && WaitRoutineEnd(timeoutMs);
}

int Pixels::Count(int x0, int y0, int x1, int y1, uint32_t colour) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += rgb[static_cast<size_t>(y) * width + x] == colour;
    return n;
}

Pixels SnapshotTextWindow(int n) {
    const TextWindowRecord& r = qubState.textWindows[n];
    Pixels p;
    p.width = r.width;
    p.height = r.height;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, p.width, -p.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    BitBlt(dc, 0, 0, p.width, p.height, r.memoryDC, 0, 0, SRCCOPY);
    GdiFlush();
    const uint32_t* words = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(p.width) * p.height; ++i)
        p.rgb.push_back(words[i] & 0xFFFFFF);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
    return p;
}

void AddCtrlControls(int n) {
    g_textProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        qubState.textWindows[n].window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CtrlProc)));
}

void PostChars(HWND window, const std::wstring& text) {
    for (wchar_t c : text) PostMessageW(window, WM_CHAR, c, 0);
}

void SendChars(HWND window, const std::wstring& text) {
    for (wchar_t c : text) SendMessageW(window, WM_CHAR, c, 0);
}

bool PollUntil(const std::function<bool()>& done, uint32_t timeoutMs) {
    for (const DWORD start = GetTickCount(); !done(); Sleep(1))
        if (GetTickCount() - start > timeoutMs) return false;
    return true;
}

std::string ReadFileBytes(const std::wstring& name) {
    std::string bytes;
    FILE* f = nullptr;
    if (_wfopen_s(&f, name.c_str(), L"rb") != 0) return "<missing>";
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    fclose(f);
    return bytes;
}

std::wstring LogFileName(int n) {
    wchar_t name[600];
    swprintf(name, 600, L"%lsQUBLIB%d%d.LOG", qubState.startFolder, qubState.instanceNumber, n);
    return name;
}

std::string LogText(int n) {
    std::string text = ReadFileBytes(LogFileName(n));
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

bool AnswerLine(const std::wstring& line) {
    DWORD guiThread = GetWindowThreadProcessId(qubState.mainWindow, nullptr);
    const auto wait = [guiThread](const std::function<bool()>& done) {
        return GetCurrentThreadId() == guiThread ? PumpUntil(done, 8000) : PollUntil(done, 8000);
    };
    if (!wait([] { return qubState.lineInputActive.load() != 0; })) return false;
    // The input records the line it took as the last line; the next prompt's
    // input may start at once after, so lineInputActive alone cannot tell.
    qubState.lastLine[0] = 0;
    SendChars(qubState.textWindows[qubState.lineInputActive.load() - 1].window, line + L"\r");
    return wait([&line] {
        return line == qubState.lastLine && (!line.empty() || qubState.lineInputActive.load() == 0);
    });
}
