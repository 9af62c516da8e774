// Conversions between the library's narrow (ANSI code page) strings and the
// UTF-16 texts that Win32 takes. Texts that do not fit are cut at a character
// boundary: never half a double-byte character, never past the buffer.
#pragma once
#include <windows.h>

constexpr int kWideTextUnits = 256;

// Lead bytes of the ANSI code page.
bool QUB_IsAnsiLeadByte(unsigned char byte);

// Converts `text` into `out` of `units` units (terminator included). Returns
// the units written without the terminator.
int QUB_ToWide(const char* text, wchar_t* out, int units);

// Converts `text` into `out` of `bytes` bytes (terminator included). Returns
// the bytes written without the terminator.
int QUB_ToNarrow(const wchar_t* text, char* out, int bytes);

// Converts all of `text` into `out` of `bytes` bytes, or nothing: false (and
// `out` empty) when it does not fit or a character has no ANSI form, so that
// a name is never cut or changed into another one.
bool QUB_ToNarrowWhole(const wchar_t* text, char* out, int bytes);

// A narrow text converted for one Win32 call, in the library's 256-unit buffer.
struct WideText {
    wchar_t text[kWideTextUnits];
    explicit WideText(const char* narrow) { QUB_ToWide(narrow, text, kWideTextUnits); }
    operator const wchar_t*() const { return text; }
};
