#include "image/image_title.h"

#include <cstdio>
#include <cstring>

void QUB_FormatImageTitle(char (&out)[kImageTitleBytes], const char* title, int zoom, int depth,
                          bool halftone, QUB_LeadBytePredicate isLead) {
    char suffix[40];
    snprintf(suffix, sizeof suffix, "(%d%%)%s%s", zoom, depth == 8 ? "[8bit]" : "",
             halftone ? "*" : "");
    const size_t suffixLength = std::strlen(suffix);
    const size_t kept = QUB_CopyNarrow(out, kImageTitleBytes - suffixLength, title ? title : "", isLead);
    std::memcpy(out + kept, suffix, suffixLength + 1);
}
