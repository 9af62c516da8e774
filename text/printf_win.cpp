// Formatted output into text windows: printing with wrapping and scrolling,
// the colour stack, and the drawing that line input shares.
#include <cstdarg>
#include <cstring>
#include <cwchar>

#include "core/library_state.h"
#include "core/runtime.h"
#include "core/text_convert_win.h"
#include "text/format.h"
#include "text/text_internal_win.h"
#include "text/text_window.h"
#include "text/wrap.h"

namespace {

TextWindowRecord* CurrentRecord() { return QUB_OpenTextRecord(qubState.currentTextWindow); }

void LineBreak(TextWindowRecord& r) {
    r.cursorY += r.lineHeight;
    r.cursorX = 0;
    QUB_TextScrollCheck(r);
}

// Lays the text out in runs, one TextOutW per run, at the cursor.
void DrawText(TextWindowRecord& r, const wchar_t* wide, int length) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");
    char16_t units[kFormatBytes];
    // The layout is platform-free and reads char16_t; copy rather than alias.
    std::memcpy(units, wide, static_cast<size_t>(length) * sizeof(char16_t));
    int pos = 0;
    bool wrapped = false;
    while (pos < length) {
        const TextRun run =
            QUB_NextRun(units, length, pos, r.cursorX, r.width, r.cellWidth, wrapped);
        if (run.length > 0) TextOutW(r.memoryDC, r.cursorX, r.cursorY, wide + run.start, run.length);
        if (run.lineBreak)
            LineBreak(r);
        else
            r.cursorX = run.endX;
        wrapped = run.wrapped;
        pos = run.next;
    }
}

// `text` is what the log records of the `length` units of `wide`.
void Show(TextWindowRecord& r, const char* text, const wchar_t* wide, int length) {
    if (r.logState == 1) QUB_TextLogWrite(r, text, false);
    DrawText(r, wide, length);
    InvalidateRect(r.window, nullptr, FALSE);
    QUB_PumpMessages();
}

void PrintInto(TextWindowRecord& r, const char* text) {
    wchar_t wide[kFormatBytes];
    const int length = QUB_ToWide(text, wide, static_cast<int>(kFormatBytes));
    Show(r, text, wide, length);
}

}  // namespace

void QUB_TextScrollBuffer(TextWindowRecord& r, int cursorY) {
    const int band = cursorY - r.lineHeight;
    if (band > 0) BitBlt(r.memoryDC, 0, 0, r.width, band, r.memoryDC, 0, r.lineHeight, SRCCOPY);
    const int top = cursorY - r.lineHeight;
    if (r.height > top) PatBlt(r.memoryDC, 0, top, r.width, r.height - top, PATCOPY);
}

bool QUB_TextScrollCheck(TextWindowRecord& r) {
    if (!QUB_ScrollNeeded(r.cursorY, r.lineHeight, r.height)) return false;
    QUB_TextScrollBuffer(r, r.cursorY);
    r.cursorY -= r.lineHeight;
    return true;
}

void QUB_TextDrawUnit(TextWindowRecord& r, int x, int y, wchar_t unit, int cells) {
    TextOutW(r.memoryDC, x, y, &unit, 1);
    const RECT cell = {x, y, x + cells * r.cellWidth, y + r.lineHeight};
    InvalidateRect(r.window, &cell, FALSE);
}

void QUB_TextDrawCursor(TextWindowRecord& r, bool on) {
    QUB_TextDrawUnit(r, r.cursorX, r.cursorY, on ? L'_' : L' ', 1);
}

void QUB_TextPrintIn(int n, const char* text) {
    if (TextWindowRecord* r = QUB_OpenTextRecord(n)) PrintInto(*r, text);
}

void QUB_TextPrintWideIn(int n, const wchar_t* text) {
    TextWindowRecord* r = QUB_OpenTextRecord(n);
    if (r == nullptr) return;
    // As much as the narrow path would take: the layout works on a buffer of
    // kFormatBytes units.
    const size_t units = wcsnlen(text, kFormatBytes - 1);
    char narrow[kFormatBytes * 2] = "";
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(units), narrow,
                                          static_cast<int>(sizeof narrow) - 1, nullptr, nullptr);
    narrow[bytes > 0 ? bytes : 0] = '\0';
    Show(*r, narrow, text, static_cast<int>(units));
}

void QUB_Printf(const char* format, ...) {
    TextWindowRecord* r = CurrentRecord();
    if (r == nullptr) return;
    char text[kFormatBytes];
    va_list args;
    va_start(args, format);
    QUB_FormatCut(text, sizeof text, QUB_IsAnsiLeadByte, format, args);
    va_end(args);
    PrintInto(*r, text);
}

void QUB_PushTextColor(uint32_t back, uint32_t text) {
    TextWindowRecord* r = CurrentRecord();
    if (r == nullptr) return;
    for (int i = kTextColourStackDepth - 1; i > 0; --i) {
        r->textColourStack[i] = r->textColourStack[i - 1];
        r->backColourStack[i] = r->backColourStack[i - 1];
    }
    r->textColourStack[0] = r->textColour;
    r->backColourStack[0] = r->backColour;
    r->textColour = text;
    r->backColour = back;
    QUB_TextApplyColours(*r);
}

void QUB_PopTextColor() {
    TextWindowRecord* r = CurrentRecord();
    if (r == nullptr) return;
    r->textColour = r->textColourStack[0];
    r->backColour = r->backColourStack[0];
    for (int i = 0; i < kTextColourStackDepth - 1; ++i) {
        r->textColourStack[i] = r->textColourStack[i + 1];
        r->backColourStack[i] = r->backColourStack[i + 1];
    }
    QUB_TextApplyColours(*r);
}
