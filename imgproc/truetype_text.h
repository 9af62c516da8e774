// Text in a scalable system font, drawn by the platform into the current
// image's memory context (and so straight into its buffer) at the text cursor
// shared with the bitmap font. Here textY is the bottom row of the character
// cell: the cell spans rows textY - ttFontHeight + 1 ... textY.
//
// Texts are ANSI multi-byte strings whose bytes 0x81-0x9F and 0xE0-0xFC lead a
// double-byte character. Codes below 32 are controls: 1/2 italic on/off, 3/4
// bold/normal weight, 5/6 underline on/off, 10 newline; the rest are ignored.
// A style stays switched after the string ends.
//
// ttFont always holds a live font: every change creates the new font first
// and deletes the old one only once the new one exists, so a failed change
// leaves the previous font in place.
//
// Results: 0 done; 1 the current slot is out of range or closed (characters
// and newlines only: style codes need no picture), nothing drawn and the
// cursor unmoved; 2 a style code whose font cannot be created.
#pragma once

int QUB_DrawTTChar(int code);  // control code, byte 32-255, or lead * 256 + trail
// Draws every character: 0; 1 (and drawing stops) when the slot is gone; else
// 2 when a style's font could not be made, the rest drawn in the font before.
int QUB_DrawTTString(const char* text);

// ttFontWidth = width / 2 and ttFontHeight = height, brought into the range of
// QUB_TTSizeFor (tt_layout.h), and the font recreated with them as its LOGFONT
// width and height. 0; 1 when the font cannot be created (font and sizes stay).
int QUB_SetTTFontSize(int width, int height);

// The "Draw" command once its rectangle is known (xmin <= xmax, ymin <= ymax,
// as QUB_PickRect gives it) and its line has been read: the rectangle is one
// double-width cell whose bottom-left corner starts the text, its height the
// font height. Invalidates the current window. 0, or 1 for a closed slot.
int QUB_DrawTTInRect(int xmin, int ymin, int xmax, int ymax, const char* line);
