#include "text/format.h"

#include <cstdio>
#include <cstring>

size_t QUB_FormatCut(char* out, size_t size, QUB_LeadBytePredicate isLead, const char* format,
                     va_list args) {
    if (size == 0) return 0;
    out[0] = '\0';
    if (format == nullptr) return 0;
    const int needed = vsnprintf(out, size, format, args);
    if (needed < 0) {
        out[0] = '\0';
        return 0;
    }
    if (static_cast<size_t>(needed) < size) return static_cast<size_t>(needed);
    // vsnprintf cut at a byte count, possibly between the two bytes of one
    // character; the scan from the start finds where characters really end.
    const size_t keep = QUB_CutNarrow(out, size - 1, isLead);
    out[keep] = '\0';
    return keep;
}
