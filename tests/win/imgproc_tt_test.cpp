// TrueType text on real image windows: where the glyphs land and in which
// colour, the Draw rectangle as one cell, style codes, double-byte text in the
// ANSI code page, and the font surviving absurd sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "image/image_window.h"
#include "imgproc/truetype_text.h"
#include "imgproc/truetype_text_win.h"
#include "imgproc/tt_layout.h"
#include "tests/win/image_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

constexpr int kW = 121, kH = 67;
constexpr uint32_t kBack = 0x00102030u;
constexpr uint32_t kText = 0x00F0C050u;  // distinct channels: an R/B swap shows
constexpr uint8_t kBack8 = 0x11;

class TTText : public testing::Test {
protected:
    void SetUp() override { CloseAllImages(); }
    void TearDown() override {
        OnWorker([] {
            QUB_DrawTTString("\x02\x04\x06");
            QUB_SetTTFontSize(16, 16);
        });
        CloseAllImages();
    }
};

void Fill(int n) {
    const ImageWindowRecord& r = qubState.images[n];
    if (r.depth == 32)
        for (int i = 0; i < r.width * r.height; ++i) qubState.imageBits32[n][i] = kBack;
    else
        std::memset(qubState.imageBits8[n], kBack8, Copy::BytesOf(n));
}

struct Bounds {
    int changed = 0;
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
};

Bounds ChangedSince(const Copy& before, int n) {
    Bounds b;
    const ImageWindowRecord& r = qubState.images[n];
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            const size_t i = r.depth == 32 ? (static_cast<size_t>(y) * r.width + x) * 4
                                           : static_cast<size_t>(y) * before.stride + x;
            const size_t len = r.depth == 32 ? 4 : 1;
            if (std::memcmp(before.bytes.data() + i, qubState.imageBits8[n] + i, len) == 0)
                continue;
            ++b.changed;
            b.x0 = std::min(b.x0, x);
            b.y0 = std::min(b.y0, y);
            b.x1 = std::max(b.x1, x);
            b.y1 = std::max(b.y1, y);
        }
    return b;
}

bool Between(uint32_t v, uint32_t a, uint32_t b, int shift) {
    const uint32_t c = (v >> shift) & 255, lo = std::min((a >> shift) & 255, (b >> shift) & 255),
                   hi = std::max((a >> shift) & 255, (b >> shift) & 255);
    return c >= lo && c <= hi;
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
                {"\x06Hk", true, 400, 0},            {"", false, 400, 0}};
    ASSERT_TRUE(OnWorker([&] {
        ASSERT_EQ(QUB_CreateImage(0, "tt32", -1, -1, kW, kH, 100), 0);
        ASSERT_EQ(QUB_CreateImage8(1, "tt8", -1, -1, kW, kH, 100), 0);
        qubState.qub_tttc = kText;
        for (int n : {0, 1}) {
            SCOPED_TRACE(n);
            QUB_SelectImage(n);
            Fill(n);
            const Copy before = Copy::Of(n);
            ASSERT_EQ(QUB_SetTTFontSize(40, 40), 0);
            qubState.textX = qubState.textLeft = 7;
            qubState.textY = 50;
            EXPECT_EQ(QUB_DrawTTChar('H'), 0);
            const Bounds b = ChangedSince(before, n);
            EXPECT_GT(qubState.textX, 7);
            EXPECT_EQ(qubState.textY, 50);
            EXPECT_GT(b.changed, 0);
            EXPECT_TRUE(b.y0 >= 11 && b.y1 <= 50 && b.x0 >= 7 && b.x1 < qubState.textX)
                << "H in rows 11-50: " << b.x0 << "," << b.y0 << " - " << b.x1 << "," << b.y1;
        }
        // Edges may be smoothed: each channel lies between background and
        // text colour, and the stems are the text colour itself.
        int exact = 0, foreign = -1;
        for (int i = 0; i < kW * kH; ++i) {
            const uint32_t v = qubState.imageBits32[0][i] & 0xFFFFFFu;
            exact += v == kText;
            if (foreign < 0 && !(Between(v, kBack, kText, 0) && Between(v, kBack, kText, 8) &&
                                 Between(v, kBack, kText, 16)))
                foreign = i;
        }
        EXPECT_EQ(foreign, -1) << "a pixel not of the text colour";
        EXPECT_GT(exact, 0) << "no pixel in exactly qub_tttc";

        // In a 32 x 24 rectangle (a 16 x 24 font) a newline goes back to
        // textLeft, one ttFontHeight lower.
        QUB_SelectImage(0);
        ASSERT_EQ(QUB_SetTTFontSize(32, 24), 0);
        qubState.textX = 60;
        QUB_DrawTTString("cd");
        const int cdWidth = qubState.textX - 60;
        Fill(0);
        const Copy before = Copy::Of(0);
        QUB_DrawTTInRect(60, 10, 91, 33, "ab\ncd");
        const Bounds b = ChangedSince(before, 0);
        EXPECT_EQ(qubState.textY, 33 + 24);
        EXPECT_EQ(qubState.textX, 60 + cdWidth);
        EXPECT_TRUE(b.y1 > 33 && b.y1 <= 57 && b.y0 >= 10) << "second line one pitch lower";

        // Each string drawn after the one before, the styles carrying over: its
        // glyphs equal the plain ones or not, and the font's weight and slant.
        const std::vector<uint8_t> plain = Render(rows[0].text);
        std::vector<uint8_t> bold;
        for (const auto& r : rows) {
            SCOPED_TRACE(testing::PrintToString(r.text));
            const std::vector<uint8_t> got = Render(r.text);
            EXPECT_EQ(got == plain, r.plain);
            EXPECT_EQ(FontNow().lfWeight, r.weight);
            EXPECT_EQ(FontNow().lfItalic, r.italic);
            if (r.weight == 700 && !bold.empty()) {
                EXPECT_EQ(got, bold) << "bold carried to the next string";
            }
            if (r.weight == 700) bold = got;
        }
    }));
}

// The pairs must reach the platform as whole characters of the ANSI code page
// (in code page 932: hiragana a and i): drawn together or pair by pair they
// give the same picture, unlike their bytes one by one; and their ink spans
// from where one call of the platform draws the converted string, as tall.
TEST_F(TTText, DoubleByteStringDrawsItsCharacters) {
    const UINT acp = GetACP();
    RecordProperty("ansi_code_page", static_cast<int>(acp));
    ASSERT_TRUE(OnWorker([&] {
        ASSERT_EQ(QUB_CreateImage(0, "dbcs", -1, -1, kW, kH, 100), 0);
        ASSERT_EQ(QUB_CreateImage(1, "reference", -1, -1, kW, kH, 100), 0);
        QUB_SelectImage(0);
        qubState.qub_tttc = kText;
        ASSERT_EQ(QUB_SetTTFontSize(36, 36), 0);
        const char* text = "\x82\xA0\x82\xA2";
        wchar_t wide[4] = {};
        const int units = MultiByteToWideChar(CP_ACP, 0, text, 4, wide, 4);
        if (acp == 932) {
            EXPECT_EQ(std::wstring(wide, 2), L"\u3042\u3044");
        }
        Fill(0);
        const Copy blank = Copy::Of(0);
        const std::vector<uint8_t> drawn = Render(text);
        const Bounds ink = ChangedSince(blank, 0);
        const int drawnX = qubState.textX;
        Render("\x82\xA0");
        QUB_DrawTTString("\x82\xA2");
        EXPECT_EQ(Copy::Of(0).bytes, drawn) << "pair by pair";
        EXPECT_EQ(qubState.textX, drawnX);
        Render("");
        for (int i = 0; i < 4; ++i) QUB_DrawTTChar(static_cast<uint8_t>(text[i]));
        if (acp == 932) {
            EXPECT_NE(Copy::Of(0).bytes, drawn) << "byte by byte";
        }

        // One ExtTextOutW of the converted string, from the same left edge.
        QUB_SelectImage(1);
        Fill(1);
        HDC dc = qubState.images[1].memoryDC;
        HGDIOBJ previous = SelectObject(dc, qubState.ttFont);
        SetTextColor(dc, RGB(0xF0, 0xC0, 0x50));
        SetBkMode(dc, TRANSPARENT);
        ExtTextOutW(dc, 5, 5, 0, nullptr, wide, static_cast<UINT>(units), nullptr);
        SelectObject(dc, previous);
        GdiFlush();
        const Bounds want = ChangedSince(blank, 1);
        EXPECT_EQ(ink.changed > 0, want.changed > 0);
        if (want.changed) {
            EXPECT_LE(std::abs(ink.x0 - want.x0), 1);
            EXPECT_LE(std::abs((ink.y1 - ink.y0) - (want.y1 - want.y0)), 1);
        }

        // A lead byte the terminator follows is dropped.
        QUB_SelectImage(0);
        const std::vector<uint8_t> a = Render("A");
        const int aX = qubState.textX;
        EXPECT_EQ(Render("A\x82"), a) << "lone lead byte";
        EXPECT_EQ(qubState.textX, aX);
    }));
    if (acp != 932)
        std::printf("note: ANSI code page %u, not 932: the pairs were read in it\n", acp);
}

TEST_F(TTText, AbsurdSizesKeepALiveFont) {
    ASSERT_TRUE(OnWorker([&] {
        ASSERT_EQ(QUB_CreateImage(0, "sizes", -1, -1, 40, 30, 100), 0);
        const std::wstring face = FontNow().lfFaceName;
        const int sizes[][2] = {{0, 0}, {-10, -10}, {100000, 100000}, {INT_MIN, INT_MIN},
                                {INT_MAX, 1}, {1, 16}, {32, 24}};
        for (const auto& size : sizes) {
            SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]));
            HFONT old = qubState.ttFont;
            EXPECT_EQ(QUB_SetTTFontSize(size[0], size[1]), 0);
            const LOGFONTW f = FontNow();
            EXPECT_EQ(GetObjectType(qubState.ttFont), static_cast<DWORD>(OBJ_FONT));
            EXPECT_TRUE(qubState.ttFont == old || GetObjectType(old) == 0) << "old font kept";
            EXPECT_TRUE(f.lfHeight == qubState.ttFontHeight && f.lfHeight >= 1 &&
                        f.lfHeight <= kTTMaxHeight && f.lfWidth == qubState.ttFontWidth &&
                        f.lfWidth >= 0)
                << "LOGFONT " << f.lfWidth << " x " << f.lfHeight;
            EXPECT_EQ(face, f.lfFaceName);
            Fill(0);
            qubState.textX = 2;
            qubState.textY = 25;
            EXPECT_EQ(QUB_DrawTTChar('W'), 0);
        }
        EXPECT_EQ(qubState.ttFontWidth, 16) << "32 x 24";
        EXPECT_EQ(qubState.ttFontHeight, 24);
        QUB_SetTTFontSize(1, 16);
        EXPECT_EQ(FontNow().lfWidth, 0) << "width 1";
    }));
}

// A rectangle far taller than the screen gets a font as tall as itself; and a
// style whose font cannot be made (every GDI handle in use) leaves the rest of
// the string drawn in the font before it.
TEST_F(TTText, TallRectanglesAndUnmadeFontsStillDraw) {
    int tallHeight = 0, inkRows = 0, refused = -1;
    bool exhausted = false;
    std::vector<uint8_t> plain, unmade;
    ASSERT_TRUE(OnWorker([&] {
        // Wide enough to be shown.
        ASSERT_EQ(QUB_CreateImage(0, "tall", -1, -1, 1000, 8000, 100), 0);
        qubState.qub_tttc = kText;
        Fill(0);
        const Copy before = Copy::Of(0);
        QUB_DrawTTInRect(0, 0, 47, 7999, "I");
        tallHeight = qubState.ttFontHeight;
        const Bounds b = ChangedSince(before, 0);
        inkRows = b.changed ? b.y1 - b.y0 + 1 : 0;
        QUB_SetTTFontSize(32, 24);
        plain = Render("AB");
        std::vector<HBRUSH> hoard;
        HBRUSH h = nullptr;
        while (hoard.size() < 200000 && (h = CreateSolidBrush(0)) != nullptr) hoard.push_back(h);
        exhausted = h == nullptr;
        Fill(0);
        qubState.textX = qubState.textLeft = 5;
        qubState.textY = 45;
        refused = QUB_DrawTTString("A\x03" "B");
        for (HBRUSH held : hoard) DeleteObject(held);
        unmade = Copy::Of(0).bytes;
    }));
    EXPECT_EQ(tallHeight, 8000);
    EXPECT_GT(inkRows, 4096) << "the glyph spans most of the rectangle";
    ASSERT_TRUE(exhausted) << "GDI handles ran out";
    EXPECT_EQ(refused, 2) << "the bold font could not be made";
    EXPECT_TRUE(plain == unmade) << "B is drawn after the refused style, in the same font";
}

}  // namespace

int main(int argc, char** argv) { return RunWinTests(argc, argv); }
