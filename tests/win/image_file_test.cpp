// Picture files in-process: round trips through the five formats, 8-bit
// windows with their palettes, loading at an offset, refusals, and files that
// are not pictures or lie about their size.
#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "image/file_names.h"
#include "image/image_file.h"
#include "image/image_window.h"
#include "imgproc/transforms.h"
#include "tests/host/formats_builders.h"
#include "tests/win/image_test_support.h"
#include "tests/win/win_test_support.h"

namespace {

class ImageFiles : public ImageTest {
protected:
    ScratchFolder folder;
};

// An asymmetric 7 x 5 picture with distinct channels, so that flips, shears
// and red/blue swaps all show.
uint32_t Known(int x, int y) {
    return static_cast<uint32_t>((x * 37 + 11) << 16 | (y * 53 + 7) << 8 | (x * y * 9 + x + 3));
}

// Smooth pictures for the lossy and palette-reducing formats: 32-bit colours,
// and 8-bit indices into a smooth palette.
uint32_t Smooth(int x, int y) {
    return static_cast<uint32_t>((x * 5) << 16 | (y * 7) << 8 | (120 + x - y));
}
uint32_t Many(int x, int y) {
    return static_cast<uint32_t>((x * 4) << 16 | (y * 4) << 8 | ((x ^ y) * 4));
}
// 8-bit pictures: 16 colours of their own over the grey ramp, or a smooth
// palette of 256 for the lossy format.
uint32_t Entry(uint32_t i, bool smooth) {
    return smooth ? (255 - i) << 16 | i << 8 | (i / 2)
                  : i < 16 ? (i * 16) << 16 | (255 - i * 15) << 8 | (i * 7) : i * 0x010101u;
}
uint32_t Index(int x, int y, bool smooth) {
    return static_cast<uint32_t>(smooth ? x * 5 : (x + 3 * y) % 16);
}

// Fills slot n (w x h) with `pattern` in 32 bits, or in 8 bits with Index
// through Entry.
void Fill(int n, int w, int h, uint32_t (*pattern)(int, int)) {
    const bool smooth = pattern == Smooth;
    if (qubState.images[n].depth == 8) {
        uint32_t palette[256];
        for (uint32_t i = 0; i < 256; ++i) palette[i] = Entry(i, smooth);
        QUB_SetPalette(palette, 256);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (qubState.images[n].depth == 8)
                qubState.imageBits8[n][y * QUB_Stride8(w) + x] =
                    static_cast<uint8_t>(Index(x, y, smooth));
            else
                qubState.imageBits32[n][y * w + x] = pattern(x, y);
}

// The colour of pixel (x, y) of slot n, through the palette in 8 bits.
uint32_t ColourAt(int n, int x, int y) {
    uint32_t palette[256];
    if (qubState.images[n].depth == 32)
        return qubState.imageBits32[n][y * qubState.images[n].width + x];
    QUB_GetPalette(palette);
    return palette[PixelAt(n, x, y)];
}

// Each depth through each format, back into a window of `backDepth`; `worst` is
// the largest channel error allowed (0: exact).
TEST_F(ImageFiles, RoundTripsOfEachDepthThroughEachFormat) {
    struct Row {
        int depth, type, w, h, backDepth, worst;
        uint32_t (*pattern)(int, int);
    } rows[] = {
        {32, kFileBmp, 7, 5, 32, 0, Known},    {32, kFileGif, 7, 5, 32, 0, Known},
        {32, kFilePng, 7, 5, 32, 0, Known},    {32, kFileTiff, 7, 5, 32, 0, Known},
        {32, kFileJpeg, 48, 32, 32, 24, Smooth},  // Wine ignores the quality
        {32, kFileGif, 64, 64, 32, 26, Many},  // nearest colour of the reduced palette
        {8, kFileBmp, 7, 5, 8, 0, Known},      {8, kFileGif, 7, 5, 8, 0, Known},
        {8, kFilePng, 7, 5, 8, 0, Known},      {8, kFileTiff, 7, 5, 8, 0, Known},
        {8, kFileJpeg, 48, 32, 32, 40, Smooth},
        {32, kFileJpeg, 48, 32, 8, 255, Smooth},  // into the grey ramp
    };
    uint32_t ramp[256] = {};
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& r = rows[i];
        SCOPED_TRACE(i);
        // The many-colour GIF is named with its extension in capitals: no second one.
        const std::string base = Narrow(folder.File(L"rt" + std::to_wstring(i))) +
                                 (r.pattern == Many ? ".GIF" : "");
        const std::string file =
            r.pattern == Many ? base : base + Narrow(kImageFileExtension[r.type]);
        int saved = -1, loaded = -1, worst = 0;
        bool topByte = false;
        ASSERT_TRUE(OnWorker([&] {
            r.depth == 8 ? QUB_CreateImage8(0, "s", -1, -1, r.w, r.h, 100)
                         : QUB_CreateImage(0, "s", -1, -1, r.w, r.h, 100);
            Fill(0, r.w, r.h, r.pattern);
            if (r.depth == 32) qubState.imageBits32[0][0] |= 0xAB000000u;  // never reaches a file
            saved = QUB_SaveImage(r.h, r.w, r.type, base.c_str());
            r.backDepth == 8 ? QUB_CreateImage8(1, "b", -1, -1, r.w, r.h, 100)
                             : QUB_CreateImage(1, "b", -1, -1, r.w, r.h, 100);
            loaded = QUB_LoadImage(file.c_str(), 0, 0);
            for (int y = 0; y < r.h; ++y)
                for (int x = 0; x < r.w; ++x) {
                    const uint32_t got = ColourAt(1, x, y);
                    const bool smooth = r.pattern == Smooth;
                    const uint32_t want =
                        r.depth == 8 ? Entry(Index(x, y, smooth), smooth) : r.pattern(x, y);
                    worst = std::max(worst, MaxChannelDifference(want, got));
                    topByte = topByte || got >> 24;
                }
            if (r.backDepth == 8) QUB_GetPalette(ramp);
            QUB_DestroyImage(0);
            QUB_DestroyImage(1);
        }));
        EXPECT_EQ(saved, 0);
        EXPECT_EQ(loaded, 0);
        EXPECT_LE(worst, r.worst);
        EXPECT_FALSE(topByte) << "loaded pixels are 0x00RRGGBB";
    }
    for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(ramp[i], i * 0x010101u) << i;
    EXPECT_EQ(folder.Names().size(), std::size(rows)) << "no temporary file left";
    // BMP headers: 8 bits with the palette and 2834 pixels per metre; 24 bits
    // for a 32-bit window.
    auto le32 = [](const std::vector<unsigned char>& f, size_t at) {
        return static_cast<uint32_t>(f[at] | f[at + 1] << 8 | f[at + 2] << 16 | f[at + 3] << 24);
    };
    const std::vector<unsigned char> bmp8 = ReadBytes(folder.File(L"rt6.bmp"));
    ASSERT_GE(bmp8.size(), 54u + 1024u);
    EXPECT_EQ(bmp8[28], 8);
    EXPECT_EQ(le32(bmp8, 38), 2834u);
    EXPECT_EQ(le32(bmp8, 42), 2834u);
    for (uint32_t i : {0u, 1u, 77u, 255u})
        EXPECT_EQ(le32(bmp8, 14 + le32(bmp8, 14) + 4 * i) & 0xFFFFFFu, Entry(i, false)) << i;
    EXPECT_EQ(ReadBytes(folder.File(L"rt0.bmp")).at(28), 24);
}

// A 7 x 5 picture saved as 9 x 8 is padded with zeros; loaded at (2, 1) into
// a 10 x 7 window it is clipped and the rest of the window is kept.
TEST_F(ImageFiles, LargerRectanglePadsAndLoadAtAnOffsetClips) {
    int saved = -1, loaded = -1;
    std::vector<uint32_t> got;
    const std::string name = Narrow(folder.File(L"pad.bmp"));
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "p", -1, -1, 7, 5, 100);
        Fill(0, 7, 5, Known);
        saved = QUB_SaveImage(8, 9, kFileBmp, name.c_str());
        QUB_CreateImage(1, "b", -1, -1, 10, 7, 100);
        for (int i = 0; i < 70; ++i) qubState.imageBits32[1][i] = 0x00123456u;
        loaded = QUB_LoadImage(name.c_str(), 2, 1);
        got.assign(qubState.imageBits32[1], qubState.imageBits32[1] + 70);
    }));
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(loaded, 0);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 10; ++x) {
            const int sx = x - 2, sy = y - 1;
            const uint32_t want = sx < 0 || sy < 0   ? 0x00123456u
                                  : sx < 7 && sy < 5 ? Known(sx, sy)
                                                     : 0u;
            EXPECT_EQ(got[static_cast<size_t>(y * 10 + x)], want) << x << "," << y;
        }
}

// A name that does not fit the 260-unit buffer must not be cut into another
// name: `cut`, the first 259 units of `overlong`, ends in ".bmp".
TEST_F(ImageFiles, RefusalsLeaveNoFile) {
    const std::wstring head = folder.File(L"");
    ASSERT_LT(head.size(), 200u);
    const std::wstring cut = head + std::wstring(259 - head.size() - 4, L'n') + L".bmp";
    const std::string overlong = Narrow(cut + L"tail"), good = Narrow(folder.File(L"ok"));
    const std::string missingFolder = Narrow(folder.File(L"no such folder\\x"));
    struct Row {
        int got, want;
        const char* why;
    } rows[] = {{0, 1, "unwritable"},
                {0, 2, "empty rectangle"},
                {0, 1, "no such type"},
                {0, 1, "no room for the extension"},
                {0, 1, "a rectangle too large to hold"},
                {0, 1, "overlong name saved"},
                {0, 0, "the cut name saved"},
                {0, 1, "overlong name loaded (the cut name exists)"},
                {0, 3, "save of a closed slot"},
                {0, 2, "load into a closed slot"}};
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "s", -1, -1, 7, 5, 100);
        rows[0].got = QUB_SaveImage(5, 7, kFilePng, missingFolder.c_str());
        rows[1].got = QUB_SaveImage(0, 7, kFilePng, good.c_str());
        rows[2].got = QUB_SaveImage(5, 7, 5, good.c_str());
        rows[3].got = QUB_SaveImage(5, 7, kFilePng, std::string(300, 'a').c_str());
        rows[4].got = QUB_SaveImage(100000, 100000, kFileBmp, good.c_str());
        rows[5].got = QUB_SaveImage(5, 7, kFileBmp, overlong.c_str());
        rows[6].got = QUB_SaveImage(5, 7, kFileBmp, Narrow(cut).c_str());
        rows[7].got = QUB_LoadImage(overlong.c_str(), 0, 0);
        QUB_DestroyImage(0);
        rows[8].got = QUB_SaveImage(5, 7, kFilePng, good.c_str());
        qubState.currentImage = 7;
        rows[9].got = QUB_LoadImage(Narrow(cut).c_str(), 0, 0);
    }));
    for (const Row& r : rows) EXPECT_EQ(r.got, r.want) << r.why;
    EXPECT_EQ(folder.Names().size(), 1u) << "only the cut name";
}

// A BMP whose header claims width x height over a few bytes.
Bytes LyingBmp(int32_t width, int32_t height) {
    Bytes f = MakeBmp(2, 2, 24);
    PutLe32(f, 18, static_cast<uint32_t>(width));
    PutLe32(f, 22, static_cast<uint32_t>(height));
    return f;
}

// Truncated files may decode partly, as on Windows; the others are refused
// and leave the window as it was.
TEST_F(ImageFiles, BadFilesAreRefusedWithoutACrash) {
    const std::string jpg = Narrow(folder.File(L"good.jpg")),
                      png = Narrow(folder.File(L"good.png"));
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "g", -1, -1, 48, 32, 100);
        Fill(0, 48, 32, Smooth);
        QUB_SaveImage(32, 48, kFileJpeg, jpg.c_str());
        QUB_SaveImage(32, 48, kFilePng, png.c_str());
    }));
    std::vector<unsigned char> j = ReadBytes(folder.File(L"good.jpg"));
    std::vector<unsigned char> p = ReadBytes(folder.File(L"good.png"));
    ASSERT_GT(j.size(), 200u);
    ASSERT_GT(p.size(), 100u);
    j.resize(j.size() / 3);
    p.resize(p.size() / 2);
    const std::string text = "This is a text file and not a picture.\r\n";
    const struct {
        const wchar_t* name;
        std::vector<unsigned char> bytes;
        bool mustRefuse;
    } bad[] = {
        {L"truncated.jpg", j, false},
        {L"truncated.png", p, false},
        {L"empty.jpg", {}, true},
        {L"text.jpg", std::vector<unsigned char>(text.begin(), text.end()), true},
        {L"huge.png",
         MakePngAround({100000, 100000, 2, 8, false}, ZlibOf(Bytes(8, 0), Deflate::kFixed)), true},
        {L"huge.bmp", LyingBmp(100000, 100000), true},
        {L"negative.bmp", LyingBmp(-5, 1 << 30), true},
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(Narrow(b.name));
        ASSERT_TRUE(WriteBytes(folder.File(b.name), b.bytes));
        int result = -1;
        bool untouched = true;
        ASSERT_TRUE(OnWorker([&] {
            for (int k = 0; k < 48 * 32; ++k) qubState.imageBits32[0][k] = 0x00ABCDEFu;
            result = QUB_LoadImage(Narrow(folder.File(b.name)).c_str(), 0, 0);
            for (int k = 0; k < 48 * 32; ++k)
                untouched = untouched && qubState.imageBits32[0][k] == 0x00ABCDEFu;
        }, 60000));
        if (b.mustRefuse) {
            EXPECT_EQ(result, 1);
            EXPECT_TRUE(untouched);
        } else {
            EXPECT_TRUE(result == 0 || result == 1) << result;
        }
    }
}

TEST_F(ImageFiles, SaveReplacesOrKeepsAnExistingFileWhole) {
    const std::wstring target = folder.File(L"keep.png");
    const std::string name = Narrow(target);
    int replaced = -1, refused = -1;
    std::vector<unsigned char> afterReplace, afterRefusal;
    ASSERT_TRUE(WriteBytes(target, {'o', 'l', 'd'}));
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "s", -1, -1, 7, 5, 100);
        Fill(0, 7, 5, Known);
        replaced = QUB_SaveImage(5, 7, kFilePng, name.c_str());
    }));
    afterReplace = ReadBytes(target);
    // Held open without delete sharing, as a viewer showing it would: the
    // finished picture cannot be put in its place.
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(1, "t", -1, -1, 9, 9, 100);
        refused = QUB_SaveImage(9, 9, kFilePng, name.c_str());
    }));
    CloseHandle(held);
    afterRefusal = ReadBytes(target);
    EXPECT_EQ(replaced, 0);
    ASSERT_GT(afterReplace.size(), 8u);
    EXPECT_EQ(afterReplace[1], 'P') << "the old file was replaced by the picture";
    EXPECT_EQ(refused, 1) << "a target held open cannot be replaced";
    EXPECT_EQ(afterRefusal, afterReplace) << "the earlier picture is kept whole";
    EXPECT_EQ(folder.Names().size(), 1u) << "no temporary file left";
}

// Shows a file dialog on a thread of its own, types `path` as a person would
// and presses OK; returns the dialog call's result, -1 if no dialog came.
int ChooseInDialog(int (*dialog)(char*), const wchar_t* caption, const std::wstring& path,
                   char* chosen) {
    struct Call {
        int (*dialog)(char*);
        char* chosen;
        int result;
    } call{dialog, chosen, -1};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            Call* c = static_cast<Call*>(p);
            c->result = c->dialog(c->chosen);
            return 0;
        },
        &call, 0, nullptr);
    if (thread == nullptr) return -1;
    HWND box = nullptr;
    if (PumpUntil([&] { return (box = FindWindowW(L"#32770", caption)) != nullptr; }, 10000)) {
        PumpFor(300);
        SetDlgItemTextW(box, cmb13, path.c_str());
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    const bool ended =
        PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 10000);
    if (!ended) {
        if (box) PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        WaitForSingleObject(thread, 5000);
    }
    CloseHandle(thread);
    return box ? call.result : -1;
}

TEST_F(ImageFiles, DialogsRememberADriveRootWithItsBackslashAndRefuseLossyNames) {
    const std::wstring rootFile = L"C:\\qubroot.bmp";
    ASSERT_TRUE(WriteBytes(rootFile, {'B', 'M'}));
    char chosen[kFileNameUnits] = "";
    EXPECT_EQ(ChooseInDialog(QUB_OpenImageDialog, L"Load image file", rootFile, chosen), 0);
    EXPECT_STREQ(chosen, "C:\\qubroot.bmp");
    EXPECT_STREQ(qubState.loadFolder, L"C:\\") << "\"C:\" would be the drive's current folder";
    EXPECT_STREQ(qubState.loadFolderA, "C:\\");
    DeleteFileW(rootFile.c_str());

    EXPECT_EQ(ChooseInDialog(QUB_SaveImageDialog, L"Save as", folder.File(L"kept.png"), chosen), 0);
    const std::string kept = Narrow(folder.path);
    EXPECT_STREQ(qubState.saveFolderA, kept.c_str());

    // A name with a character the ANSI code page lacks would come back with
    // '?' in it: refused like a cancel, the remembered folder unchanged.
    if (GetACP() != CP_UTF8) {
        const std::wstring lossy = folder.File(L"qub-\u03bb\u4e2d.png");
        strcpy(chosen, "before");
        EXPECT_EQ(ChooseInDialog(QUB_SaveImageDialog, L"Save as", lossy, chosen), 1);
        EXPECT_STREQ(chosen, "");
        EXPECT_STREQ(qubState.saveFolderA, kept.c_str());
    }
}

}  // namespace
