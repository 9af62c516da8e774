// Formatting into the 4096-byte print buffer, cut at character boundaries,
// and the decimal reading of typed answers.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "text/decimal.h"
#include "text/format.h"

namespace {

size_t Format(char* out, size_t size, QUB_LeadBytePredicate isLead, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const size_t n = QUB_FormatCut(out, size, isLead, format, args);
    va_end(args);
    return n;
}

// True when every lead byte of `text` (scanned from the start) has its trail.
bool WholeCharacters932(const char* text) {
    for (size_t i = 0; text[i] != '\0'; ++i) {
        if (QUB_IsLeadByte932(static_cast<unsigned char>(text[i]))) {
            if (text[i + 1] == '\0') return false;
            ++i;
        }
    }
    return true;
}

TEST(FormatCut, WholeOrFillsTheBufferIn1252) {
    char out[kFormatBytes];
    EXPECT_EQ(Format(out, sizeof out, QUB_IsLeadByteNone, "%s=%d\n", "x", 42), 5u);
    EXPECT_STREQ(out, "x=42\n");
    // In 1252 0x82 is an ordinary character (a low quotation mark), never
    // half of one: a text of them is cut at the byte count.
    for (char c : {'z', '\x82'}) {
        out[kFormatBytes - 1] = 'q';
        EXPECT_EQ(Format(out, sizeof out, QUB_IsLeadByteNone, "%s", std::string(10000, c).c_str()),
                  kFormatBytes - 1);
        EXPECT_EQ(std::strlen(out), kFormatBytes - 1);
    }
}

// "a" then "あ" (0x82 0xA0): byte 4095 would be a lead byte whose trail does
// not fit; shifted by one the characters end at the buffer's end. "\x81\x81"
// is a character whose trail is also a lead byte: a backward look at the last
// byte alone would cut wrongly.
TEST(FormatCut, DoubleByteCharactersAcrossTheEndAreDroppedWholeIn932) {
    std::string a = "a", b, c;
    while (a.size() < 6000) a += "\x82\xA0";
    b = a.substr(1);
    while (c.size() < 5000) c += "\x81\x81";
    const std::pair<const std::string*, size_t> cases[] = {
        {&a, kFormatBytes - 1}, {&b, kFormatBytes - 2}, {&c, kFormatBytes - 2}};
    for (const auto& k : cases) {
        char out[kFormatBytes];
        EXPECT_EQ(Format(out, sizeof out, QUB_IsLeadByte932, "%s", k.first->c_str()), k.second);
        EXPECT_TRUE(WholeCharacters932(out));
    }
}

TEST(FormatCut, TinyAndEmptyBuffers) {
    char out[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(Format(out, 0, QUB_IsLeadByteNone, "%s", "abc"), 0u);
    EXPECT_EQ(out[0], 'x') << "a zero-size buffer is not written";
    EXPECT_EQ(Format(out, 2, QUB_IsLeadByte932, "%s", "\x82\xA0"), 0u);
    EXPECT_STREQ(out, "");
}

TEST(Decimal, PromptAnswersClampedNotWrapped) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"42", 42},
        {"   -17xyz", -17},
        {"\t+8", 8},
        {"", 0},
        {"abc", 0},
        {"- 5", 0},  // the sign must touch the digits
        {"12 34", 12},
        {nullptr, 0},
        {"007", 7},
        {"2147483647", INT_MAX},
        {"-2147483647", INT_MIN + 1},
        {"-2147483648", INT_MIN},
        {"2147483648", INT_MAX},
        {"-2147483649", INT_MIN},
        {"99999999999999999999999", INT_MAX},
        {"-99999999999999999999999", INT_MIN},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QUB_ParseDecimal(c.text), c.value) << (c.text ? c.text : "null");
}

}  // namespace
