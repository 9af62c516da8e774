// TrueType text on real image windows: where the glyphs land and in which colour, the Draw
// rectangle as one cell, style codes, and double-byte text in the ANSI code page. The
// layout and size arithmetic is tested natively.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "image/image_window.h"
#include "imgproc/truetype_text.h"
#include "tests/win/image_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr int kW = 121, kH = 67;
constexpr uint32_t kBack = 0x00102030u;
constexpr uint32_t kText = 0x00F0C050u;  // distinct channels: an R/B swap shows

class TTText : public ImageTest {
protected:
    void TearDown() override {
        OnWorker([] {
            QUB_DrawTTString("\x02\x04\x06");
            QUB_SetTTFontSize(16, 16);
        });
        ImageTest::TearDown();
    }
};

void Fill(int n) {
    const ImageWindowRecord& r = qubState.images[n];
    if (r.depth == 32)
        std::fill(qubState.imageBits32[n], qubState.imageBits32[n] + r.width * r.height, kBack);
    else
        std::memset(qubState.imageBits8[n], 0x11, Copy::BytesOf(n));
}

// The box of the pixels changed since `before` (x0 > x1 when none).
RECT ChangedSince(const Copy& before, int n) {
    RECT b = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < before.height; ++y)
        for (int x = 0; x < before.width; ++x)
            if (PixelAt(n, x, y) != before.At(x, y)) {
                b = {std::min<LONG>(b.left, x), std::min<LONG>(b.top, y),
                     std::max<LONG>(b.right, x), std::max<LONG>(b.bottom, y)};
            }
    return b;
}

LOGFONTW FontNow() {
    LOGFONTW f = {};
    GetObjectW(qubState.ttFont, sizeof f, &f);
    return f;
}

// The buffer of slot 0 after `text` is drawn at (5, 45) on a fresh fill.
std::vector<uint8_t> Render(const char* text) {
    Fill(0);
    qubState.textX = qubState.textLeft = 5;
    qubState.textY = 45;
    QUB_DrawTTString(text);
    return Copy::Of(0).bytes;
}

TEST_F(TTText, GlyphsStayInTheirCellAndStyleCodesSwitch) {
    const struct {
        const char* text;
        bool plain;
        LONG weight;
        BYTE italic;
    } rows[] = {{"\x02\x04\x06Hk", true, 400, 0}, {"\x07\x1FHk\x0D", true, 400, 0},  // ignored
                {"\x03Hk", false, 700, 0},           {"Hk", false, 700, 0},  // bold carries
                {"\x04Hk", true, 400, 0},            {"\x01Hk", false, 400, 1},
                {"\x02Hk", true, 400, 0},            {"\x05Hk", false, 400, 0},
                {"\x06Hk", true, 400, 0}};
    ASSERT_TRUE(OnWorker([&] {
        ASSERT_EQ(QUB_CreateImage(0, "tt32", -1, -1, kW, kH, 100), 0);
        ASSERT_EQ(QUB_CreateImage8(1, "tt8", -1, -1, kW, kH, 100), 0);
        qubState.qub_tttc = kText;
        for (int n : {1, 0}) {
            QUB_SelectImage(n);
            Fill(n);
            const Copy before = Copy::Of(n);
            ASSERT_EQ(QUB_SetTTFontSize(40, 40), 0);
            qubState.textX = qubState.textLeft = 7;
            qubState.textY = 50;
            EXPECT_EQ(QUB_DrawTTChar('H'), 0);
            const RECT b = ChangedSince(before, n);
            EXPECT_TRUE(b.top >= 11 && b.bottom <= 50 && b.left >= 7 && b.left <= b.right &&
                        b.right < qubState.textX && qubState.textY == 50)
                << n << ": H in rows 11-50: " << b.left << "," << b.top << " - " << b.right << ","
                << b.bottom;
        }
        // Edges may be smoothed: each channel lies between background and text colour (the
        // background's are all lower), and the stems are the text colour itself.
        int exact = 0, foreign = 0;
        for (int i = 0; i < kW * kH; ++i) {
            const uint32_t v = qubState.imageBits32[0][i];
            exact += v == kText;
            for (int shift : {0, 8, 16})
                foreign += (v >> shift & 255u) < (kBack >> shift & 255u) ||
                           (v >> shift & 255u) > (kText >> shift & 255u);
        }
        EXPECT_EQ(std::vector<bool>({foreign == 0, exact > 0}), std::vector<bool>({true, true}));
        // In a 32 x 24 rectangle (a 16 x 24 font) a newline goes back one line lower.
        ASSERT_EQ(QUB_SetTTFontSize(32, 24), 0);
        qubState.textX = 60;
        QUB_DrawTTString("cd");
        const int cdWidth = qubState.textX - 60;
        Fill(0);
        const Copy before = Copy::Of(0);
        QUB_DrawTTInRect(60, 10, 91, 33, "ab\ncd");
        const RECT b = ChangedSince(before, 0);
        EXPECT_EQ(std::vector<int>({qubState.textX, qubState.textY}),
                  std::vector<int>({60 + cdWidth, 33 + 24}));
        EXPECT_TRUE(b.bottom > 33 && b.bottom <= 57 && b.top >= 10) << "second line lower";
        // Strings in turn, styles carrying over: glyphs plain or not, weight and slant.
        const std::vector<uint8_t> plain = Render(rows[0].text);
        for (const auto& r : rows) {
            SCOPED_TRACE(testing::PrintToString(r.text));
            EXPECT_EQ(Render(r.text) == plain, r.plain);
            EXPECT_EQ(FontNow().lfWeight, r.weight);
            EXPECT_EQ(FontNow().lfItalic, r.italic);
        }
    }));
}

// The pairs must reach the platform as whole characters of the ANSI code page (in code
// page 932: hiragana a and i): drawn together or pair by pair they give the same picture,
// unlike their bytes one by one; and their ink spans from where one ExtTextOutW of the
// converted string draws, as tall. Splitting a string into characters is tested natively.
TEST_F(TTText, DoubleByteStringDrawsItsCharacters) {
    const UINT acp = GetACP();
    ASSERT_TRUE(OnWorker([&] {
        ASSERT_EQ(QUB_CreateImage(0, "dbcs", -1, -1, kW, kH, 100), 0);
        ASSERT_EQ(QUB_CreateImage(1, "reference", -1, -1, kW, kH, 100), 0);
        QUB_SelectImage(0);
        qubState.qub_tttc = kText;
        ASSERT_EQ(QUB_SetTTFontSize(36, 36), 0);
        const char* text = "\x82\xA0\x82\xA2";
        wchar_t wide[4] = {};
        const int units = MultiByteToWideChar(CP_ACP, 0, text, 4, wide, 4);
        EXPECT_TRUE(acp != 932 || std::wstring(wide, 2) == L"\u3042\u3044");
        Fill(0);
        const Copy blank = Copy::Of(0);
        const std::vector<uint8_t> drawn = Render(text);
        const RECT ink = ChangedSince(blank, 0);
        const int drawnX = qubState.textX;
        Render("\x82\xA0");
        QUB_DrawTTString("\x82\xA2");
        EXPECT_EQ(Copy::Of(0).bytes, drawn) << "pair by pair";
        EXPECT_EQ(qubState.textX, drawnX);
        Render("");
        for (int i = 0; i < 4; ++i) QUB_DrawTTChar(static_cast<uint8_t>(text[i]));
        EXPECT_TRUE(acp != 932 || Copy::Of(0).bytes != drawn) << "byte by byte";
        QUB_SelectImage(1);
        Fill(1);
        HDC dc = qubState.images[1].memoryDC;
        HGDIOBJ previous = SelectObject(dc, qubState.ttFont);
        SetTextColor(dc, RGB(0xF0, 0xC0, 0x50));
        SetBkMode(dc, TRANSPARENT);
        ExtTextOutW(dc, 5, 5, 0, nullptr, wide, static_cast<UINT>(units), nullptr);
        SelectObject(dc, previous);
        GdiFlush();
        const RECT want = ChangedSince(blank, 1);
        EXPECT_EQ(ink.left <= ink.right, want.left <= want.right);
        if (want.left <= want.right) {
            EXPECT_LE(std::abs(ink.left - want.left), 1);
            EXPECT_LE(std::abs((ink.bottom - ink.top) - (want.bottom - want.top)), 1);
        }
    }));
    if (acp != 932) std::printf("note: ANSI code page %u, not 932: pairs read in it\n", acp);
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
