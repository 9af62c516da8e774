#include "tests/win/text_test_support.h"

#include <algorithm>
#include <cstdio>
#include <atomic>

#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/runtime.h"
#include "tests/win/win_test_support.h"

volatile LONG g_pasteKeySeen = 0;

namespace {

WNDPROC g_textProc = nullptr;
std::atomic<int> g_bodyEntered{0};

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
    g_bodyEntered.store(0);
    g_testRoutine = [body] {
        g_bodyEntered.store(1);
        body();
    };
    SendMainCommand(kCmdStart);
    // A short body may be over before the GUI thread looks at routineRunning.
    return PumpUntil([] { return g_bodyEntered.load() != 0; });
}

bool WaitRoutineEnd(uint32_t timeoutMs) {
    const bool ended = PumpUntil([] { return qubState.routineRunning.load() == 0; }, timeoutMs);
    if (ended) {
        g_testRoutine = nullptr;
        qubState.stopRequested.store(0);
    }
    return ended;
}

bool RunOnWorker(const std::function<void()>& body, uint32_t timeoutMs) {
    return StartOnWorker(body) && WaitRoutineEnd(timeoutMs);
}

int Pixels::Count(int x0, int y0, int x1, int y1, uint32_t colour) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) n += At(x, y) == colour;
    return n;
}

Pixels SnapshotTextWindow(int n) {
    const TextWindowRecord& r = qubState.textWindows[n];
    Pixels p;
    p.width = r.width;
    p.height = r.height;
    if (p.width <= 0 || p.height <= 0) return p;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = p.width;
    info.bmiHeader.biHeight = -p.height;  // negative: top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    BitBlt(dc, 0, 0, p.width, p.height, r.memoryDC, 0, 0, SRCCOPY);
    GdiFlush();
    const uint32_t* words = static_cast<const uint32_t*>(bits);
    p.rgb.assign(words, words + static_cast<size_t>(p.width) * p.height);
    for (uint32_t& v : p.rgb) v &= 0xFFFFFF;
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
    return p;
}

void AddCtrlControls(int n) {
    HWND window = qubState.textWindows[n].window;
    g_textProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CtrlProc)));
}

void PostChars(HWND window, const std::wstring& text) {
    for (wchar_t c : text) PostMessageW(window, WM_CHAR, c, 0);
}

void SendChars(HWND window, const std::wstring& text) {
    for (wchar_t c : text) SendMessageW(window, WM_CHAR, c, 0);
}

bool DismissMessageBox(const wchar_t* caption, std::wstring* text, uint32_t timeoutMs) {
    HWND box = nullptr;
    if (!PumpUntil([&] { return (box = FindWindowW(L"#32770", caption)) != nullptr; }, timeoutMs))
        return false;
    if (text) {
        wchar_t buffer[256] = L"";
        GetDlgItemTextW(box, 0xFFFF, buffer, 256);
        *text = buffer;
    }
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return PumpUntil([&] { return !IsWindow(box); }, timeoutMs);
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

bool PollUntil(const std::function<bool()>& done, uint32_t timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(1);
    }
    return true;
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
