#include "core/text_cut.h"

#include <cstring>

bool QUB_IsLeadByte932(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool QUB_IsLeadByteNone(unsigned char) { return false; }

size_t QUB_CutNarrow(const char* text, size_t maxBytes, QUB_LeadBytePredicate isLead) {
    size_t i = 0;
    while (text[i] != '\0') {
        size_t step = 1;
        if (isLead(static_cast<unsigned char>(text[i]))) {
            if (text[i + 1] == '\0') break;  // a lead byte with no trail: drop it
            step = 2;
        }
        if (i + step > maxBytes) break;
        i += step;
    }
    return i;
}

size_t QUB_CopyNarrow(char* out, size_t outSize, const char* text, QUB_LeadBytePredicate isLead) {
    if (outSize == 0) return 0;
    size_t n = QUB_CutNarrow(text, outSize - 1, isLead);
    std::memmove(out, text, n);
    out[n] = '\0';
    return n;
}
