#include "text/window_source.h"

#include <cstdio>

namespace {

constexpr const char* kCutLine = "\t// The layout goes on: its source passed the 30,000-byte buffer and was cut here.\n";
constexpr const char* kLastLine = "\tQUB_SetForeground(QUBMAINWINDOW);\n";

// Whole lines into a buffer of a fixed size, keeping room for the two lines
// that end every source.
class Source {
public:
    explicit Source(size_t bufferBytes) : limit_(bufferBytes > 0 ? bufferBytes - 1 : 0) {}

    void Line(const std::string& line) {
        if (cut_) return;
        const size_t reserve = std::char_traits<char>::length(kCutLine) + std::char_traits<char>::length(kLastLine);
        if (text_.size() + line.size() + reserve > limit_) {
            cut_ = true;
            text_ += kCutLine;
            return;
        }
        text_ += line;
    }
    std::string Finish(bool* cut) {
        text_ += kLastLine;
        if (cut) *cut = cut_;
        return text_;
    }

private:
    size_t limit_;
    bool cut_ = false;
    std::string text_;
};

std::string Format(const char* format, int a, int b = 0, int c = 0, int d = 0, int e = 0) {
    char line[128];
    std::snprintf(line, sizeof line, format, a, b, c, d, e);
    return line;
}

}  // namespace

std::string QUB_CStringLiteral(const std::string& text) {
    std::string out = "\"";
    for (const char ch : text) {
        const unsigned char byte = static_cast<unsigned char>(ch);
        switch (byte) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '?': out += "\\?"; break;  // no trigraph can form
            default:
                if (byte < 0x20 || byte >= 0x7F) {
                    char octal[5];
                    std::snprintf(octal, sizeof octal, "\\%03o", byte);
                    out += octal;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

std::string QUB_LayoutSource(const WindowLayout& layout, size_t bufferBytes, bool* cut) {
    Source s(bufferBytes);
    s.Line("\t// QUBLIB --- Automatic Source Generator\n");
    if (!layout.images.empty()) {
        s.Line("\t// [Image Window]\n");
        for (const LayoutImage& i : layout.images)
            s.Line(std::string(i.depth == 32 ? "\tQUB_CreateImage(" : "\tQUB_CreateImage8(") +
                   std::to_string(i.slot) + "," + QUB_CStringLiteral(i.title) +
                   Format(",%d,%d,%d,%d,%d);\n", i.x, i.y, i.width, i.height, i.zoom));
    }
    s.Line("\t// [Text Window]\n");
    for (const LayoutText& t : layout.texts)
        s.Line(Format("\tQUB_OpenTextWindow(%d,%d,%d,%d,%d);\n", t.slot, t.x, t.y, t.width, t.height));
    if (layout.hasInputBox) {
        const LayoutInputBox& b = layout.inputBox;
        s.Line("\t// [Input Box]\n");
        s.Line(Format("\tQUB_OpenInputBox(%d,%d,%d);\n", b.x, b.y, b.items));
        s.Line(Format("\tQUB_ResizeInputBox(%d,%d);\n", b.labelWidth, b.editWidth));
        for (size_t i = 0; i < b.labels.size(); ++i)
            s.Line("\tQUB_SetInputBoxTitle(" + std::to_string(i) + "," + QUB_CStringLiteral(b.labels[i]) + ");\n");
    }
    if (layout.hasButtonBox) {
        const LayoutButtonBox& b = layout.buttonBox;
        s.Line("\t// [Button Box]\n");
        s.Line(Format("\tQUB_OpenButtonBox(%d,%d,%d,%d);\n", b.x, b.y, b.columns, b.rows));
        s.Line(Format("\tQUB_ResizeButtonBox(%d,%d);\n", b.clientWidth, b.clientHeight));
        for (size_t k = 0; k < b.captions.size(); ++k)
            s.Line("\tQUB_SetButtonBoxTitle(" + std::to_string(k) + "," + QUB_CStringLiteral(b.captions[k]) +
                   ");\n");
    }
    return s.Finish(cut);
}
