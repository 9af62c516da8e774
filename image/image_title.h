// The caption of an image window: title, zoom, depth and stretch mode.
#pragma once
#include <cstddef>

#include "core/text_cut.h"

constexpr int kImageTitleBytes = 256;

// "%s(%d%%)" for 32 bits, "%s(%d%%)[8bit]" for 8, with "*" appended in
// halftone mode, into `out` of kImageTitleBytes. A title too long for the
// buffer is cut (never inside a double-byte character) so that the zoom and
// marks still show.
void QUB_FormatImageTitle(char (&out)[kImageTitleBytes], const char* title, int zoom, int depth,
                          bool halftone, QUB_LeadBytePredicate isLead);
