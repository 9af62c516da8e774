#include "core/status_line.h"

#include <cstring>

void QUB_FormatStatusLine(const char* text, char (&line)[kStatusLineBytes],
                          QUB_LeadBytePredicate isLead) {
    if (text == nullptr) text = "";
    std::memset(line, ' ', kStatusLineBytes - 1);
    line[kStatusLineBytes - 1] = '\0';
    int n = static_cast<int>(std::strlen(text));
    int pos = 18 - n / 2;
    if (pos < 0) pos = 0;
    QUB_CopyNarrow(line + pos, static_cast<size_t>(kStatusLineBytes - pos), text, isLead);
}
