// The source text that rebuilds a layout of library windows: the window
// information report's generated lines, from a description of the open
// windows. Platform-free so that it is tested natively.
//
// Every string the user gave (titles, labels, captions) becomes a C string
// literal that compiles to the same bytes: quotes and backslashes escaped,
// line feeds as \n, tabs as \t, question marks as \? (no trigraph can
// form), other control bytes and every byte from 0x80
// up as three-digit octal escapes (so double-byte characters survive any
// source character set). A source that would not fit the buffer is cut
// before the first whole line that does not fit, says so in a comment, and
// still ends with the line that brings the main window to the front.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

struct LayoutImage {
    int slot;
    std::string title;
    int x, y;           // outer top-left corner on the screen
    int width, height;  // of the image buffer
    int zoom;           // percent
    int depth;          // 32 or 8
};

struct LayoutText {
    int slot;
    int x, y;
    int width, height;  // client size
};

struct LayoutInputBox {
    int x, y;
    int items;
    int labelWidth, editWidth;
    std::vector<std::string> labels;
};

struct LayoutButtonBox {
    int x, y;
    int columns, rows;
    int clientWidth, clientHeight;
    std::vector<std::string> captions;
};

struct WindowLayout {
    std::vector<LayoutImage> images;  // in slot order
    std::vector<LayoutText> texts;
    bool hasInputBox = false;
    LayoutInputBox inputBox = {};
    bool hasButtonBox = false;
    LayoutButtonBox buttonBox = {};
};

constexpr size_t kLayoutSourceBytes = 30000;  // the buffer, its terminating zero included

// `text` as a C string literal, quotes included.
std::string QUB_CStringLiteral(const std::string& text);

// The generated lines; `cut` (may be null) tells whether some were left out.
std::string QUB_LayoutSource(const WindowLayout& layout, size_t bufferBytes = kLayoutSourceBytes,
                             bool* cut = nullptr);
