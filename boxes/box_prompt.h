// The prompt by which the boxes ask for a new caption or label: the current
// text window is brought forward (or text window 0 opened), "%d '%s' ->" is
// printed there with the number and the present text, and a line is read.
#pragma once

constexpr int kBoxPromptLineBytes = 256;

// Fills `line` (kBoxPromptLineBytes) with the typed line, empty when the input
// was cancelled. Returns false when no prompt could be shown; `line` is then
// empty too.
bool QUB_AskBoxLine(int number, const char* text, char* line);
