#include "imgproc/tt_layout.h"

#include <cstdint>

#include "core/text_cut.h"

namespace {

int Clamp64(int64_t v, int64_t low, int64_t high) {
    return static_cast<int>(v < low ? low : v > high ? high : v);
}

int ToInt(int64_t v) { return Clamp64(v, INT32_MIN, INT32_MAX); }

}  // namespace

bool QUB_IsTTLeadByte(unsigned char byte) { return QUB_IsLeadByte932(byte); }

const char* QUB_NextTTCode(const char* text, int* code) {
    const unsigned char first = static_cast<unsigned char>(text[0]);
    if (first == 0) return nullptr;
    if (!QUB_IsTTLeadByte(first)) {
        *code = first;
        return text + 1;
    }
    const unsigned char trail = static_cast<unsigned char>(text[1]);
    if (trail == 0) return nullptr;
    *code = first * 256 + trail;
    return text + 2;
}

int QUB_TTCodeBytes(int code, char out[3]) {
    int n = 0;
    if (code >= 256) out[n++] = static_cast<char>((code >> 8) & 255);
    out[n++] = static_cast<char>(code & 255);
    out[n] = 0;
    return n;
}

QUB_TTAction QUB_TTActionOf(int code) {
    if (code >= 32) return kTTDraw;
    switch (code) {
    case 1: return kTTItalicOn;
    case 2: return kTTItalicOff;
    case 3: return kTTBold;
    case 4: return kTTNormal;
    case 5: return kTTUnderlineOn;
    case 6: return kTTUnderlineOff;
    case 10: return kTTNewline;
    default: return kTTIgnore;
    }
}

bool QUB_ApplyTTStyle(QUB_TTAction action, QUB_TTStyle* style) {
    switch (action) {
    case kTTItalicOn: style->italic = 1; return true;
    case kTTItalicOff: style->italic = 0; return true;
    case kTTBold: style->weight = 700; return true;
    case kTTNormal: style->weight = 400; return true;
    case kTTUnderlineOn: style->underline = 1; return true;
    case kTTUnderlineOff: style->underline = 0; return true;
    default: return false;
    }
}

void QUB_TTNewline(QUB_TextCursor* cursor, int lineHeight) {
    cursor->textX = cursor->textLeft;
    cursor->textY = ToInt(static_cast<int64_t>(cursor->textY) + lineHeight);
}

int QUB_TTCellTop(int textY, int cellHeight) {
    return ToInt(static_cast<int64_t>(textY) - cellHeight + 1);
}

int QUB_TTAdvance(const QUB_TTMeasure& m) {
    if (m.abcKnown) return ToInt(static_cast<int64_t>(m.a) + m.b + m.c);
    if (m.widthKnown) return m.width;
    if (m.extentKnown) return m.extent;
    return 0;
}

int QUB_TTMoveX(int textX, int advance) { return ToInt(static_cast<int64_t>(textX) + advance); }

QUB_TTSize QUB_TTSizeFor(int width, int height) {
    return {Clamp64(width / 2, 0, kTTMaxWidth), Clamp64(height, 1, kTTMaxHeight)};
}

QUB_TTRequest QUB_TTRequestFromRect(int xmin, int ymin, int xmax, int ymax) {
    const int64_t w = static_cast<int64_t>(xmax) - xmin;
    const int64_t h = static_cast<int64_t>(ymax) - ymin;
    return {ToInt((w < 0 ? -w : w) + 1), ToInt((h < 0 ? -h : h) + 1)};
}
