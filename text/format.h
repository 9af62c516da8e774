// Formatting into the fixed buffers of text output.
#pragma once
#include <cstdarg>
#include <cstddef>

#include "core/text_cut.h"

// Size of the buffer one formatted print is made in, terminator included.
constexpr size_t kFormatBytes = 4096;

// Formats printf-style into `out` of `size` bytes. A text that does not fit is
// cut at a character boundary of the code page that `isLead` describes, so
// that the buffer never ends in half a double-byte character. A formatting
// error leaves an empty text. Returns the length of what is in `out`.
size_t QUB_FormatCut(char* out, size_t size, QUB_LeadBytePredicate isLead, const char* format,
                     va_list args);
