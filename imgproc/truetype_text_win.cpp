// TrueType text through GDI: the font lives in LibraryState::ttFont, glyphs go
// through TextOutW into the current image's memoryDC, whose selected DIB
// section is the image buffer.
#include "imgproc/truetype_text.h"
#include "imgproc/truetype_text_win.h"

#include <commdlg.h>

#include "core/library_state.h"
#include "image/gdi_guards_win.h"
#include "image/image_window.h"
#include "imgproc/current_image_win.h"
#include "imgproc/tt_layout.h"
#include "text/text_window.h"

namespace {

constexpr int kClosed = 1;
constexpr int kNoFont = 2;

COLORREF ToColorref(uint32_t rgb) {
    return RGB((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255);
}

// What the start-up font is made from; only needed if ttFont was lost, which
// the replace-after-create rule below never lets happen.
LOGFONTW StartUpLogFont() {
    LOGFONTW f = {};
    f.lfHeight = qubState.ttFontHeight;
    f.lfWidth = qubState.ttFontWidth;
    f.lfCharSet = DEFAULT_CHARSET;
    f.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    lstrcpynW(f.lfFaceName, L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF", LF_FACESIZE);
    return f;
}

// Face, size and styles carry from one font to the next through its LOGFONT.
LOGFONTW CurrentLogFont() {
    LOGFONTW f = {};
    if (!qubState.ttFont || GetObjectW(qubState.ttFont, sizeof f, &f) != static_cast<int>(sizeof f))
        f = StartUpLogFont();
    return f;
}

// The old font is deleted only after the new one exists, so ttFont is never
// left dangling or null by a creation that fails. ttFont is selected into a
// context only for the length of one character, never while it is replaced.
bool ReplaceFont(const LOGFONTW& f) {
    HFONT made = CreateFontIndirectW(&f);
    if (!made) return false;
    HFONT old = qubState.ttFont;
    qubState.ttFont = made;
    if (old) DeleteObject(old);
    return true;
}

int ApplyStyle(QUB_TTAction action) {
    LOGFONTW f = CurrentLogFont();
    QUB_TTStyle style = {f.lfItalic, static_cast<int>(f.lfWeight), f.lfUnderline};
    QUB_ApplyTTStyle(action, &style);
    f.lfItalic = static_cast<BYTE>(style.italic);
    f.lfWeight = style.weight;
    f.lfUnderline = static_cast<BYTE>(style.underline);
    return ReplaceFont(f) ? 0 : kNoFont;
}

// ABC widths give the pen's true advance for TrueType faces; raster faces have
// none, hence the plain widths and, last, the extent.
int MeasureAdvance(HDC dc, wchar_t ch) {
    QUB_TTMeasure m = {};
    ABC abc;
    if (GetCharABCWidthsW(dc, ch, ch, &abc)) {
        m.abcKnown = true;
        m.a = abc.abcA;
        m.b = abc.abcB;
        m.c = abc.abcC;
    }
    INT width = 0;
    if (!m.abcKnown && GetCharWidthW(dc, ch, ch, &width)) {
        m.widthKnown = true;
        m.width = width;
    }
    SIZE extent;
    if (!m.abcKnown && !m.widthKnown && GetTextExtentPoint32W(dc, &ch, 1, &extent)) {
        m.extentKnown = true;
        m.extent = extent.cx;
    }
    return QUB_TTAdvance(m);
}

// Draws the character at the text cursor and moves textX by its advance.
void DrawGlyph(HDC dc, wchar_t ch) {
    LibraryState& s = qubState;
    const COLORREF oldColour = SetTextColor(dc, ToColorref(s.qub_tttc));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const UINT oldAlign = SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    {
        qub_gdi::ScopedSelectObject font(dc, s.ttFont);
        TextOutW(dc, s.textX, QUB_TTCellTop(s.textY, s.ttFontHeight), &ch, 1);
        s.textX = QUB_TTMoveX(s.textX, MeasureAdvance(dc, ch));
    }
    SetTextAlign(dc, oldAlign);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
    GdiFlush();  // callers read the buffer directly
}

// The toolbox has made the window's slot current before its pick; selecting
// it again would push a second copy into the history.
bool MakeCurrent(HWND window) {
    const int n = QUB_FindImageSlot(window);
    if (n < 0) return false;
    if (qubState.currentImage != n) QUB_SelectImage(n);
    return true;
}

}  // namespace

int QUB_DrawTTChar(int code) {
    LibraryState& s = qubState;
    const QUB_TTAction action = QUB_TTActionOf(code);
    if (action == kTTIgnore) return 0;
    if (action != kTTDraw && action != kTTNewline) return ApplyStyle(action);

    ImageTarget t;
    if (!QUB_CurrentTarget(&t)) return kClosed;
    if (action == kTTNewline) {
        QUB_TextCursor cursor = {s.textX, s.textY, s.textLeft};
        QUB_TTNewline(&cursor, s.ttFontHeight);
        s.textX = cursor.textX;
        s.textY = cursor.textY;
        return 0;
    }

    // The byte count is given rather than -1: in a single-byte code page a
    // pair gives two wide characters, which must still fit the two units.
    char bytes[3];
    const int count = QUB_TTCodeBytes(code, bytes);
    wchar_t wide[2];
    if (MultiByteToWideChar(CP_ACP, 0, bytes, count, wide, 2) < 1) return 0;
    DrawGlyph(s.images[t.slot].memoryDC, wide[0]);
    return 0;
}

int QUB_DrawTTString(const char* text) {
    if (!text) return 0;
    // A style whose font cannot be made leaves the previous font, which still
    // draws the rest; only a window that is gone ends the string.
    int code = 0, first = 0;
    for (const char* p = QUB_NextTTCode(text, &code); p; p = QUB_NextTTCode(p, &code)) {
        const int result = QUB_DrawTTChar(code);
        if (result == kClosed) return kClosed;
        if (first == 0) first = result;
    }
    return first;
}

int QUB_SetTTFontSize(int width, int height) {
    const QUB_TTSize size = QUB_TTSizeFor(width, height);
    LOGFONTW f = CurrentLogFont();
    f.lfWidth = size.width;
    f.lfHeight = size.height;
    if (!ReplaceFont(f)) return 1;
    qubState.ttFontWidth = size.width;
    qubState.ttFontHeight = size.height;
    return 0;
}

int QUB_DrawTTInRect(int xmin, int ymin, int xmax, int ymax, const char* line) {
    LibraryState& s = qubState;
    ImageTarget t;
    if (!QUB_CurrentTarget(&t)) return kClosed;
    s.textY = ymax;
    s.textX = s.textLeft = xmin;
    const QUB_TTRequest cell = QUB_TTRequestFromRect(xmin, ymin, xmax, ymax);
    // A size that cannot be had leaves the previous font, which still draws.
    QUB_SetTTFontSize(cell.width, cell.height);
    QUB_DrawTTString(line);
    InvalidateRect(s.images[t.slot].window, nullptr, FALSE);
    return 0;
}

int QUB_TTDrawCommand(HWND window, int xmin, int ymin, int xmax, int ymax) {
    if (!MakeCurrent(window)) return kClosed;
    QUB_ShowTextWindow();
    QUB_Printf("Text>");
    char line[kInputLineBytes] = "";
    QUB_InputLine(line);
    // The line input pumps messages: the window may have closed meanwhile, or
    // another command may have made a different slot current.
    if (!MakeCurrent(window)) return kClosed;
    return QUB_DrawTTInRect(xmin, ymin, xmax, ymax, line);
}

int QUB_TTFontChangeCommand(HWND window) {
    const LOGFONTW was = CurrentLogFont();
    LOGFONTW f = was;
    CHOOSEFONTW choice = {};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = window;
    choice.lpLogFont = &f;
    choice.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_SCRIPTSONLY;
    choice.rgbColors = ToColorref(qubState.qub_tttc);
    choice.nFontType = SCREEN_FONTTYPE;
    // Some font dialogs rewrite the LOGFONT while they initialise (a positive
    // cell height comes back as a negative character height), so a cancel
    // makes the font again from the copy taken before the dialog.
    if (!ChooseFontW(&choice)) f = was;
    return ReplaceFont(f) ? 0 : 1;
}
