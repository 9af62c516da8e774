// Clock, colour splitting, window texts, menu building and the Pause box.
#include <cstdio>

#include "core/clock.h"
#include "core/library_state.h"
#include "core/runtime.h"
#include "core/status_line.h"
#include "core/text_convert_win.h"

uint32_t QUB_Milliseconds() {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return QUB_CountsToMilliseconds(counter.QuadPart, qubState.msPerCount);
}

void QUB_SplitRgb(uint32_t colour, int* red, int* green, int* blue) {
    *red = static_cast<int>((colour >> 16) & 0xFF);
    *green = static_cast<int>((colour >> 8) & 0xFF);
    *blue = static_cast<int>(colour & 0xFF);
}

void QUB_ReadWindowText(HWND window, char* text, int size) {
    if (size <= 0) return;
    if (size > kWideTextUnits) size = kWideTextUnits;
    wchar_t wide[kWideTextUnits];
    wide[0] = L'\0';
    GetWindowTextW(window, wide, size);
    QUB_ToNarrow(wide, text, size);
}

void QUB_WriteWindowText(HWND window, const char* text) {
    SetWindowTextW(window, WideText(text));
}

void QUB_SetStatusText(const char* text) {
    char line[kStatusLineBytes];
    QUB_FormatStatusLine(text, line, QUB_IsAnsiLeadByte);
    SetWindowTextW(qubState.statusControl, WideText(line));
}

void QUB_InsertMenuString(HMENU menu, int position, int state, int id, const char* text) {
    WideText wide(text);
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.fState = static_cast<UINT>(state);
    item.wID = static_cast<UINT>(id);
    item.dwTypeData = wide.text;
    InsertMenuItemW(menu, static_cast<UINT>(position), TRUE, &item);
}

void QUB_InsertMenuSeparator(HMENU menu, int position) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_TYPE;
    item.fType = MFT_SEPARATOR;
    InsertMenuItemW(menu, static_cast<UINT>(position), TRUE, &item);
}

void QUB_InsertSubmenu(HMENU menu, HMENU submenu, int position, const char* text) {
    WideText wide(text);
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_TYPE | MIIM_SUBMENU;
    item.fType = MFT_STRING;
    item.hSubMenu = submenu;
    item.dwTypeData = wide.text;
    InsertMenuItemW(menu, static_cast<UINT>(position), TRUE, &item);
}

bool QUB_OpenClipboard(HWND owner) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(5);
    }
    return false;
}

void QUB_SetForeground(HWND window) {
    if (window) SetForegroundWindow(window);
}

void QUB_Pause(const char* text) {
    MessageBoxW(nullptr, WideText(text), L"Pause", MB_OK);
}
