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

TEST(FormatCut, ShortTextIsFormattedWhole) {
    char out[kFormatBytes];
    EXPECT_EQ(Format(out, sizeof out, QUB_IsLeadByteNone, "%s=%d\n", "x", 42), 5u);
    EXPECT_STREQ(out, "x=42\n");
}

TEST(FormatCut, LongNarrowTextFillsTheBufferIn1252) {
    const std::string longText(10000, 'z');
    char out[kFormatBytes];
    out[kFormatBytes - 1] = 'q';
    const size_t n = Format(out, sizeof out, QUB_IsLeadByteNone, "%s", longText.c_str());
    EXPECT_EQ(n, kFormatBytes - 1);
    EXPECT_EQ(out[kFormatBytes - 1], '\0');
    EXPECT_EQ(std::strlen(out), kFormatBytes - 1);
    // In 1252 0x82 is an ordinary character (a low quotation mark), never
    // half of one: a text of them is cut at the byte count.
    const std::string quotes(5000, '\x82');
    EXPECT_EQ(Format(out, sizeof out, QUB_IsLeadByteNone, "%s", quotes.c_str()), kFormatBytes - 1);
}

TEST(FormatCut, DoubleByteCharacterAcrossTheEndIsDroppedWholeIn932) {
    // One narrow 'a' then "あ" (0x82 0xA0) repeated: the characters end at odd
    // offsets, so byte 4095 would be the lead byte of a character whose trail
    // does not fit.
    std::string text = "a";
    while (text.size() < 6000) text += "\x82\xA0";
    char out[kFormatBytes];
    const size_t n = Format(out, sizeof out, QUB_IsLeadByte932, "%s", text.c_str());
    EXPECT_EQ(n, kFormatBytes - 1) << "'a' plus 2047 whole characters";
    EXPECT_TRUE(WholeCharacters932(out));

    // Shifted by one byte the characters end exactly at the buffer's end.
    text = text.substr(1);
    const size_t m = Format(out, sizeof out, QUB_IsLeadByte932, "%s", text.c_str());
    EXPECT_EQ(m, kFormatBytes - 2);
    EXPECT_TRUE(WholeCharacters932(out));
}

TEST(FormatCut, TrailBytesThatLookLikeLeadBytesAreNotMistaken) {
    // "\x81\x81" is one character whose trail byte is also a lead byte; a
    // backward look at the last byte alone would cut wrongly.
    std::string text;
    while (text.size() < 5000) text += "\x81\x81";
    char out[kFormatBytes];
    const size_t n = Format(out, sizeof out, QUB_IsLeadByte932, "%s", text.c_str());
    EXPECT_EQ(n, kFormatBytes - 2);
    EXPECT_TRUE(WholeCharacters932(out));
}

TEST(FormatCut, TinyAndEmptyBuffers) {
    char out[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(Format(out, 0, QUB_IsLeadByteNone, "%s", "abc"), 0u);
    EXPECT_EQ(out[0], 'x') << "a zero-size buffer is not written";
    EXPECT_EQ(Format(out, 2, QUB_IsLeadByte932, "%s", "\x82\xA0"), 0u);
    EXPECT_STREQ(out, "");
}

TEST(Decimal, PromptAnswers) {
    EXPECT_EQ(QUB_ParseDecimal("42"), 42);
    EXPECT_EQ(QUB_ParseDecimal("   -17xyz"), -17);
    EXPECT_EQ(QUB_ParseDecimal("\t+8"), 8);
    EXPECT_EQ(QUB_ParseDecimal(""), 0);
    EXPECT_EQ(QUB_ParseDecimal("abc"), 0);
    EXPECT_EQ(QUB_ParseDecimal("- 5"), 0) << "the sign must touch the digits";
    EXPECT_EQ(QUB_ParseDecimal("12 34"), 12);
    EXPECT_EQ(QUB_ParseDecimal(nullptr), 0);
    EXPECT_EQ(QUB_ParseDecimal("007"), 7);
}

TEST(Decimal, OutOfRangeIsClampedNotWrapped) {
    EXPECT_EQ(QUB_ParseDecimal("2147483647"), INT_MAX);
    EXPECT_EQ(QUB_ParseDecimal("-2147483648"), INT_MIN);
    EXPECT_EQ(QUB_ParseDecimal("2147483648"), INT_MAX);
    EXPECT_EQ(QUB_ParseDecimal("-2147483649"), INT_MIN);
    EXPECT_EQ(QUB_ParseDecimal("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(QUB_ParseDecimal("-99999999999999999999999"), INT_MIN);
}

}  // namespace
