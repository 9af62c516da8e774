// Cutting narrow (ANSI code page) text at character boundaries.
//
// Narrow texts of a double-byte code page mix one-byte characters with
// two-byte ones whose first byte is a "lead byte". A buffer that is too small
// must never receive half of a two-byte character, so every cut goes through
// QUB_CutNarrow. Platform-free: the caller says which bytes are lead bytes.
#pragma once
#include <cstddef>

using QUB_LeadBytePredicate = bool (*)(unsigned char byte);

// Lead bytes of code page 932 (Shift_JIS): 0x81-0x9F and 0xE0-0xFC.
bool QUB_IsLeadByte932(unsigned char byte);
// Single-byte code pages such as 1252 have no lead bytes.
bool QUB_IsLeadByteNone(unsigned char byte);

// Number of bytes of `text` (terminated) that fit into `maxBytes` bytes without
// splitting a two-byte character. A lead byte followed by the terminator counts
// as a broken character and is dropped.
size_t QUB_CutNarrow(const char* text, size_t maxBytes, QUB_LeadBytePredicate isLead);

// Copies `text` into `out` (capacity `outSize` bytes, terminator included),
// cut with QUB_CutNarrow. Returns the number of bytes copied without the
// terminator. `outSize` 0 writes nothing.
size_t QUB_CopyNarrow(char* out, size_t outSize, const char* text, QUB_LeadBytePredicate isLead);
