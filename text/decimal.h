// Numbers typed in answer to a prompt.
#pragma once

// The decimal number at the start of `text`: leading blanks (space, tab and
// the other C white-space characters), an optional sign, then digits; 0 when
// there are no digits or `text` is null. Values beyond the int range are
// clamped to INT_MIN / INT_MAX instead of overflowing.
int QUB_ParseDecimal(const char* text);
