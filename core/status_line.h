// The main window's status line: a 64-byte line in which the text is centred
// on column 18 by leading spaces.
#pragma once
#include "core/text_cut.h"

constexpr int kStatusLineBytes = 64;

// Fills `line` with pos spaces followed by `text`, where pos = 18 - n / 2
// (at least 0) for a text of n bytes. A text that does not fit after pos is cut
// at a character boundary.
void QUB_FormatStatusLine(const char* text, char (&line)[kStatusLineBytes],
                          QUB_LeadBytePredicate isLead);
