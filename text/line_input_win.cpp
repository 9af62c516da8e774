// Line input: typed characters reach the input through the window procedure
// and the key ring; the input echoes them, blinks its cursor and ends on
// Enter or when lineInputActive is cleared from outside.
#include <cstdio>

#include "core/library_state.h"
#include "core/runtime.h"
#include "core/text_convert_win.h"
#include "text/input_cursor.h"
#include "text/key_ring.h"
#include "text/text_internal_win.h"
#include "text/text_window.h"

namespace {

constexpr uint32_t kBlinkMs = 200;
constexpr wchar_t kIdeographicSpace = 0x3000;

enum InputMode { kModeNone = 0, kModeRecall = 1, kModePaste = 2 };

bool PutKey(char16_t unit) {
    LibraryState& s = qubState;
    return QUB_KeyRingPut(s.keyRing, s.keyRead, s.keyWrite, unit);
}

char16_t TakeKey() {
    LibraryState& s = qubState;
    char16_t unit = 0;
    if (!QUB_KeyRingTake(s.keyRing, s.keyRead, s.keyWrite, &unit)) return 0;
    return unit;
}

// The first line of the clipboard's text into the ring. The block is read no
// further than its own size, whatever it holds (no terminator, no text).
void PasteFirstLine() {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !QUB_OpenClipboard(nullptr)) return;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (text) {
        const size_t units = GlobalSize(data) / sizeof(wchar_t);
        for (size_t i = 0; i < units; ++i) {
            const wchar_t unit = text[i];
            if (unit == 0 || unit == 10 || unit == 13) break;
            if (!PutKey(static_cast<char16_t>(unit))) break;
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
}

// The previous line goes through the window procedure like typed characters.
void RecallLastLine(HWND window) {
    const wchar_t* line = qubState.lastLine;
    for (int i = 0; i < kInputLineBytes && line[i] != 0; ++i)
        SendMessageW(window, WM_CHAR, line[i], 0);
}

void RestoreStatus() {
    char status[16];
    snprintf(status, sizeof status, "%d-bit color", qubState.colourDepth);
    QUB_SetStatusText(status);
}

// One input on one window; the window's record is looked up again after
// every pump, since the window may have been closed or resized meanwhile.
struct LineInput {
    int slot;
    HWND window;
    wchar_t typed[kInputMaxUnits + 1];
    int count;
    InputCursor cursor;
    bool blinkOn;
    bool cursorDue;
    uint32_t lastBlink;
};

TextWindowRecord* Record(const LineInput& in) {
    TextWindowRecord* r = QUB_OpenTextRecord(in.slot);
    return r && r->window == in.window ? r : nullptr;
}

// Runs the drawing that a cursor step listed, and moves the record's cursor.
void Perform(TextWindowRecord& r, InputCursor& c, const InputDraws& draws, wchar_t unit) {
    for (int i = 0; i < draws.count; ++i) {
        const InputDraw& d = draws.draw[i];
        switch (d.kind) {
            case InputDrawKind::kSpace: QUB_TextDrawUnit(r, d.x, d.y, L' ', 1); break;
            case InputDrawKind::kUnit: QUB_TextDrawUnit(r, d.x, d.y, unit, d.cells); break;
            case InputDrawKind::kWideSpace:
                QUB_TextDrawUnit(r, d.x, d.y, kIdeographicSpace, 2);
                break;
            case InputDrawKind::kScroll:
                QUB_TextScrollBuffer(r, d.y);
                InvalidateRect(r.window, nullptr, FALSE);
                break;
        }
    }
    r.cursorX = c.x;
    r.cursorY = c.y;
}

// The cursor model follows the window: a resize clears the window and puts
// its cursor at the top left.
void SyncCursor(const TextWindowRecord& r, InputCursor& c) {
    QUB_InputFollow(&c, r.cursorX, r.cursorY, r.width, r.height);
}

void Backspace(TextWindowRecord& r, LineInput& in) {
    InputDraws draws;
    const wchar_t removed = in.typed[--in.count];
    QUB_InputBackspace(&in.cursor, removed, &draws);
    Perform(r, in.cursor, draws, removed);
}

void Type(TextWindowRecord& r, LineInput& in, wchar_t unit) {
    InputDraws draws;
    QUB_InputType(&in.cursor, unit, &draws);
    Perform(r, in.cursor, draws, unit);
    in.typed[in.count++] = unit;
    QUB_TextDrawCursor(r, in.blinkOn);
}

void Finish(TextWindowRecord& r, LineInput& in, char* buffer) {
    qubState.lineInputActive.store(0);
    InputDraws draws;
    QUB_InputEnd(&in.cursor, &draws);
    Perform(r, in.cursor, draws, L' ');
    in.typed[in.count] = 0;
    for (int i = 0; i <= in.count; ++i) qubState.lastLine[i] = in.typed[i];
    QUB_ToNarrow(in.typed, buffer, kInputLineBytes);
    if (r.logState == 1) QUB_TextLogWrite(r, buffer, true);
    RestoreStatus();
}

}  // namespace

namespace {

// AltGr, which German and French keyboards need for backslash, @, braces and
// brackets, reaches programs as Ctrl and Alt held together; only Ctrl on its
// own makes the control characters and commands that input leaves alone.
bool CtrlWithoutAlt() { return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0; }

}  // namespace

void QUB_TextOnInputChar(wchar_t unit) {
    if (qubState.lineInputActive.load() == 0) return;
    if (CtrlWithoutAlt()) return;
    PutKey(static_cast<char16_t>(unit));
}

void QUB_TextOnInputKey(UINT virtualKey) {
    LibraryState& s = qubState;
    if (s.inputMode.load() != kModeNone) return;
    if (virtualKey == VK_UP)
        s.inputMode.store(kModeRecall);
    else if (virtualKey == 'V' && CtrlWithoutAlt())
        s.inputMode.store(kModePaste);
}

void QUB_InputLine(char* buffer) {
    LibraryState& s = qubState;
    const int slot = s.currentTextWindow;
    TextWindowRecord* r = QUB_OpenTextRecord(slot);
    if (r == nullptr) return;
    SetForegroundWindow(r->window);
    buffer[0] = '\0';
    QUB_SetStatusText("Input text");

    LineInput in;
    in.slot = slot;
    in.window = r->window;
    in.count = 0;
    QUB_InputBegin(&in.cursor, r->cursorX, r->cursorY, r->width, r->height, r->cellWidth,
                   r->lineHeight);
    in.blinkOn = true;
    in.cursorDue = true;
    in.lastBlink = QUB_Milliseconds();
    s.lineInputActive.store(slot + 1);

    for (;;) {
        QUB_PumpMessages();
        r = Record(in);
        if (r == nullptr) break;  // closed: cancelled
        SyncCursor(*r, in.cursor);
        wchar_t unit = TakeKey();
        if (unit == 9) unit = 32;
        if (unit == 13) {
            Finish(*r, in, buffer);
            return;
        }
        const int mode = s.inputMode.load();
        if (mode == kModeRecall) RecallLastLine(r->window);
        if (mode == kModePaste) PasteFirstLine();
        if (mode != kModeNone) s.inputMode.store(kModeNone);
        if (s.lineInputActive.load() == 0) break;

        bool added = false;
        if (unit == 8) {
            if (in.count > 0) Backspace(*r, in);
        } else if (unit != 0 && in.count < kInputMaxUnits) {
            Type(*r, in, unit);
            added = true;
        }
        if (!added && in.cursorDue) {
            QUB_TextDrawCursor(*r, in.blinkOn);
            in.cursorDue = false;
        }
        const uint32_t now = QUB_Milliseconds();
        if (QUB_ElapsedMs(now, in.lastBlink) > kBlinkMs) {
            in.blinkOn = !in.blinkOn;
            in.cursorDue = true;
            in.lastBlink = now;
        }
    }
    // Cancelled: what was typed stays on the screen, the buffer stays empty.
    int waiting = slot + 1;
    s.lineInputActive.compare_exchange_strong(waiting, 0);
    RestoreStatus();
}
