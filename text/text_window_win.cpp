// Text window slots: opening, closing, selecting, and the back buffer that
// holds everything a window shows (the window keeps no text, only pixels).
#include <cstdio>

#include "core/library_state.h"
#include "core/runtime.h"
#include "core/window_place_win.h"
#include "core/worker.h"
#include "text/text_internal_win.h"
#include "text/text_window.h"
#include "text/wrap.h"

namespace {

constexpr DWORD kTextWindowStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr uint32_t kOpeningText = 0xFFFFFF;
constexpr uint32_t kOpeningBack = 0x000000;
constexpr int kTextLargestSide = 32767;

bool ValidSlot(int n) { return n >= 0 && n < kTextSlots; }

int LowestOpenSlot() {
    for (int i = 0; i < kTextSlots; ++i)
        if (qubState.textWindows[i].inUse) return i;
    return -1;
}

void SetOpeningColours(TextWindowRecord& r) {
    r.textColour = kOpeningText;
    r.backColour = kOpeningBack;
    for (int i = 0; i < kTextColourStackDepth; ++i) {
        r.textColourStack[i] = kOpeningText;
        r.backColourStack[i] = kOpeningBack;
    }
}

}  // namespace

int QUB_TextSlotOfWindow(HWND window) {
    if (window == nullptr) return -1;
    for (int i = 0; i < kTextSlots; ++i) {
        const TextWindowRecord& r = qubState.textWindows[i];
        if (r.inUse && r.window == window) return i;
    }
    return -1;
}

TextWindowRecord* QUB_OpenTextRecord(int n) {
    if (!ValidSlot(n) || !qubState.textWindows[n].inUse) return nullptr;
    return &qubState.textWindows[n];
}

void QUB_TextApplyColours(TextWindowRecord& r) {
    int red, green, blue;
    QUB_SplitRgb(r.textColour, &red, &green, &blue);
    SetTextColor(r.memoryDC, RGB(red, green, blue));
    QUB_SplitRgb(r.backColour, &red, &green, &blue);
    SetBkColor(r.memoryDC, RGB(red, green, blue));
}

void QUB_TextCreateBuffer(TextWindowRecord& r) {
    r.windowDC = GetDC(r.window);
    r.memoryDC = CreateCompatibleDC(r.windowDC);
    r.backBuffer = CreateCompatibleBitmap(r.windowDC, r.width, r.height);
    SelectObject(r.memoryDC, GetStockObject(BLACK_BRUSH));
    SelectObject(r.memoryDC, GetStockObject(OEM_FIXED_FONT));
    r.savedBitmap = static_cast<HBITMAP>(SelectObject(r.memoryDC, r.backBuffer));
    PatBlt(r.memoryDC, 0, 0, r.width, r.height, PATCOPY);
    r.cursorX = 0;
    r.cursorY = 0;
    QUB_TextApplyColours(r);
}

void QUB_TextReleaseBuffer(TextWindowRecord& r) {
    if (r.memoryDC) {
        SelectObject(r.memoryDC, r.savedBitmap);
        DeleteDC(r.memoryDC);
    }
    if (r.backBuffer) DeleteObject(r.backBuffer);
    if (r.windowDC) ReleaseDC(r.window, r.windowDC);
    r.memoryDC = nullptr;
    r.backBuffer = nullptr;
    r.windowDC = nullptr;
    r.savedBitmap = nullptr;
}

int QUB_OpenTextWindow(int n, int x, int y, int w, int h) {
    LibraryState& s = qubState;
    if (!ValidSlot(n)) return 1;
    TextWindowRecord& r = s.textWindows[n];
    if (r.inUse) {
        SetForegroundWindow(r.window);
        s.currentTextWindow = n;
        return 1;
    }
    w = QUB_TextDefaultSize(w, kTextDefaultWidth);
    h = QUB_TextDefaultSize(h, kTextDefaultHeight);
    // No screen holds a larger window, and the frame arithmetic must not
    // overflow; the system shrinks the window further to what it allows.
    w = w < kTextLargestSide ? w : kTextLargestSide;
    h = h < kTextLargestSide ? h : kTextLargestSide;
    SetOpeningColours(r);

    RECT frame = {0, 0, w, h};
    AdjustWindowRect(&frame, kTextWindowStyle, FALSE);
    wchar_t title[32];
    swprintf(title, 32, L"TextWindow %d", n);
    const bool xDefault = x < 0, yDefault = y < 0;
    r.window = CreateWindowExW(0, L"qub_twi", title, kTextWindowStyle,
                               QUB_CreationX(x, xDefault, yDefault),
                               QUB_CreationY(y, xDefault, yDefault), frame.right - frame.left,
                               frame.bottom - frame.top, s.mainWindow, nullptr, s.instance, nullptr);
    if (r.window == nullptr) return kTextNotCreated;
    QUB_SettleWindowPlace(r.window, x, y, xDefault, yDefault);

    // The system keeps a window within its minimum and maximum sizes, so the
    // client area it gave can differ from the one asked for; the record and
    // the back buffer describe the real one.
    RECT client;
    GetClientRect(r.window, &client);
    r.width = client.right;
    r.height = client.bottom;
    QUB_TextCreateBuffer(r);
    if (r.backBuffer == nullptr) {
        QUB_TextReleaseBuffer(r);
        DestroyWindow(r.window);
        r.window = nullptr;
        return kTextNotCreated;
    }
    TEXTMETRICW metrics = {};
    GetTextMetricsW(r.memoryDC, &metrics);
    r.cellWidth = metrics.tmAveCharWidth;
    r.lineHeight = metrics.tmHeight;

    r.logState = 0;
    r.logFile = nullptr;
    r.inUse = 1;
    s.currentTextWindow = n;
    QUB_CollectSnapRects();
    UpdateWindow(r.window);
    SetForegroundWindow(r.window);
    return 0;
}

void QUB_ShowTextWindow() {
    LibraryState& s = qubState;
    if (TextWindowRecord* r = QUB_OpenTextRecord(s.currentTextWindow)) {
        SetForegroundWindow(r->window);
        return;
    }
    const int x = GetSystemMetrics(SM_CXFULLSCREEN) / 2 - 200;
    const int y = GetSystemMetrics(SM_CYFULLSCREEN) / 2 - 150;
    // Windows belong to the worker thread; the GUI thread has it open one.
    if (GetCurrentThreadId() == s.guiThreadId) {
        QUB_RequestTextWindowAt(0, x, y, kTextDefaultWidth, kTextDefaultHeight);
        return;
    }
    QUB_OpenTextWindow(0, x, y, kTextDefaultWidth, kTextDefaultHeight);
}

int QUB_SelectTextWindow(int n) {
    if (QUB_OpenTextRecord(n) == nullptr) return 1;
    qubState.currentTextWindow = n;
    return 0;
}

int QUB_CloseTextWindow(int n) {
    LibraryState& s = qubState;
    TextWindowRecord* r = QUB_OpenTextRecord(n);
    if (r == nullptr) return 1;
    if (GetWindowThreadProcessId(r->window, nullptr) != GetCurrentThreadId())
        return static_cast<int>(SendMessageW(r->window, kTextMsgClose, static_cast<WPARAM>(n), 0));

    r->inUse = 0;
    if (s.currentTextWindow == n) {
        const int lowest = LowestOpenSlot();
        if (lowest >= 0) s.currentTextWindow = lowest;
    }
    int waiting = n + 1;
    s.lineInputActive.compare_exchange_strong(waiting, 0);
    QUB_TextCloseLog(*r);
    QUB_TextReleaseBuffer(*r);
    DestroyWindow(r->window);
    return 0;
}

void QUB_TextOnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const int n = QUB_TextSlotOfWindow(window);
    if (n >= 0) {
        const TextWindowRecord& r = qubState.textWindows[n];
        const RECT& u = paint.rcPaint;
        BitBlt(dc, u.left, u.top, u.right - u.left, u.bottom - u.top, r.memoryDC, u.left, u.top,
               SRCCOPY);
    }
    EndPaint(window, &paint);
}

void QUB_TextOnSize(HWND window, int width, int height) {
    const int n = QUB_TextSlotOfWindow(window);
    if (n < 0) return;  // still being created: the slot is filled after creation
    TextWindowRecord& r = qubState.textWindows[n];
    r.width = width;
    r.height = height;
    QUB_TextReleaseBuffer(r);
    QUB_TextCreateBuffer(r);
    QUB_CollectSnapRects();
    InvalidateRect(window, nullptr, FALSE);
}
