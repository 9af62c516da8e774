// Picture files in-process: round trips through the five formats, 8-bit
// windows with their palettes, loading at an offset, refusals, and files that
// are not pictures or lie about their size.
#include <gtest/gtest.h>
#include <windows.h>
#include <dlgs.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "image/file_names.h"
#include "image/image_file.h"
#include "image/image_window.h"
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

// A smooth 48 x 32 picture for the lossy format.
uint32_t Smooth(int x, int y) {
    return static_cast<uint32_t>((x * 5) << 16 | (y * 7) << 8 | (120 + x - y));
}

void Fill(int n, int w, int h, uint32_t (*pattern)(int, int)) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) qubState.imageBits32[n][y * w + x] = pattern(x, y);
}

// Saves slot `from` (w x h) as `type`, loads the file into a fresh window of
// the same size in slot `into`; returns the save and load results.
struct RoundTrip {
    int saved = -1, loaded = -1;
};

TEST_F(ImageFiles, ThirtyTwoBitRoundTripThroughEachFormat) {
    RoundTrip trips[kImageFileTypes];
    int worst[kImageFileTypes] = {};
    bool topByteSet = false;
    const std::string base = Narrow(folder.File(L"rt"));
    ASSERT_TRUE(OnWorker([&] {
        for (int type = 0; type < kImageFileTypes; ++type) {
            const bool lossy = type == kFileJpeg;
            const int w = lossy ? 48 : 7, h = lossy ? 32 : 5;
            QUB_CreateImage(0, "source", -1, -1, w, h, 100);
            Fill(0, w, h, lossy ? Smooth : Known);
            qubState.imageBits32[0][0] |= 0xAB000000u;  // the top byte never reaches a file
            trips[type].saved = QUB_SaveImage(h, w, type, base.c_str());
            QUB_CreateImage(1, "back", -1, -1, w, h, 100);
            const std::string file = base + Narrow(kImageFileExtension[type]);
            trips[type].loaded = QUB_LoadImage(file.c_str(), 0, 0);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const uint32_t want = (lossy ? Smooth : Known)(x, y);
                    const uint32_t got = qubState.imageBits32[1][y * w + x];
                    worst[type] = std::max(worst[type], MaxChannelDifference(want, got));
                    if (got >> 24) topByteSet = true;
                }
            QUB_DestroyImage(0);
            QUB_DestroyImage(1);
        }
    }));
    EXPECT_FALSE(topByteSet) << "loaded pixels are 0x00RRGGBB";
    for (int type = 0; type < kImageFileTypes; ++type) {
        EXPECT_EQ(trips[type].saved, 0) << type;
        EXPECT_EQ(trips[type].loaded, 0) << type;
        if (type == kFileJpeg)
            EXPECT_LE(worst[type], 24) << "JPEG within 24 levels (Wine ignores the quality)";
        else
            EXPECT_EQ(worst[type], 0) << "lossless type " << type;
    }
    for (const std::wstring& name : folder.Names())
        EXPECT_EQ(name.find(L"~qub"), std::wstring::npos) << "temporary file left: " << Narrow(name);
    EXPECT_EQ(folder.Names().size(), 5u);
}

TEST_F(ImageFiles, GifOfManyColoursStillDecodes) {
    int saved = -1, loaded = -1, worst = 0;
    const std::string name = Narrow(folder.File(L"many.GIF"));
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "many", -1, -1, 64, 64, 100);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                qubState.imageBits32[0][y * 64 + x] =
                    static_cast<uint32_t>((x * 4) << 16 | (y * 4) << 8 | ((x ^ y) * 4));
        saved = QUB_SaveImage(64, 64, kFileGif, name.c_str());
        QUB_CreateImage(1, "back", -1, -1, 64, 64, 100);
        loaded = QUB_LoadImage(name.c_str(), 0, 0);
        for (int i = 0; i < 64 * 64; ++i)
            worst = std::max(worst, MaxChannelDifference(qubState.imageBits32[0][i],
                                                         qubState.imageBits32[1][i]));
    }));
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(loaded, 0);
    EXPECT_LE(worst, 26) << "nearest colour of the reduced palette";
    EXPECT_EQ(folder.Names().size(), 1u) << "no second extension for .GIF";
}

TEST_F(ImageFiles, EightBitWindowWithPaletteRoundTrip) {
    // Width 7 is not a multiple of 4: a sheared save would show.
    const int w = 7, h = 5;
    const int stride = 8;
    int saved[kImageFileTypes] = {}, loaded[kImageFileTypes] = {};
    bool same[kImageFileTypes] = {};
    const std::string base = Narrow(folder.File(L"idx"));
    ASSERT_TRUE(OnWorker([&] {
        for (int type = 0; type < kImageFileTypes; ++type) {
            if (type == kFileJpeg) continue;
            QUB_CreateImage8(0, "idx", -1, -1, w, h, 100);
            uint32_t palette[16];
            for (uint32_t i = 0; i < 16; ++i) palette[i] = (i * 16) << 16 | (255 - i * 15) << 8 | (i * 7);
            QUB_SetPalette(palette, 16);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) qubState.imageBits8[0][y * stride + x] = static_cast<uint8_t>((x + 3 * y) % 16);
            saved[type] = QUB_SaveImage(h, w, type, base.c_str());
            QUB_CreateImage8(1, "back", -1, -1, w, h, 100);
            const std::string file = base + Narrow(kImageFileExtension[type]);
            loaded[type] = QUB_LoadImage(file.c_str(), 0, 0);
            uint32_t back[256];
            QUB_GetPalette(back);
            same[type] = true;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const uint32_t want = palette[(x + 3 * y) % 16];
                    const uint32_t got = back[qubState.imageBits8[1][y * stride + x]];
                    if (want != got) same[type] = false;
                }
            QUB_DestroyImage(0);
            QUB_DestroyImage(1);
        }
    }));
    for (int type : {kFileBmp, kFileGif, kFilePng, kFileTiff}) {
        EXPECT_EQ(saved[type], 0) << type;
        EXPECT_EQ(loaded[type], 0) << type;
        EXPECT_TRUE(same[type]) << "colours through the palette, type " << type;
    }
    // The BMP is 8-bit with the window's palette.
    const std::vector<unsigned char> bmp = ReadBytes(folder.File(L"idx.bmp"));
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp[28], 8) << "bits per pixel";
}

TEST_F(ImageFiles, LoadAtAnOffsetClipsAndKeepsTheRest) {
    int saved = -1, loaded = -1;
    bool outsideKept = true, insideLoaded = true;
    const std::string name = Narrow(folder.File(L"piece.png"));
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "piece", -1, -1, 7, 5, 100);
        Fill(0, 7, 5, Known);
        saved = QUB_SaveImage(5, 7, kFilePng, name.c_str());
        QUB_CreateImage(1, "target", -1, -1, 10, 6, 100);
        for (int i = 0; i < 60; ++i) qubState.imageBits32[1][i] = 0x00123456u;
        loaded = QUB_LoadImage(name.c_str(), 5, 3);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 10; ++x) {
                const uint32_t got = qubState.imageBits32[1][y * 10 + x];
                if (x >= 5 && y >= 3)
                    insideLoaded = insideLoaded && got == Known(x - 5, y - 3);
                else
                    outsideKept = outsideKept && got == 0x00123456u;
            }
    }));
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(loaded, 0);
    EXPECT_TRUE(insideLoaded);
    EXPECT_TRUE(outsideKept);
}

TEST_F(ImageFiles, SaveRefusalsLeaveNoFile) {
    int codes[6] = {};
    const std::string missingFolder = Narrow(folder.File(L"no such folder\\x"));
    const std::string good = Narrow(folder.File(L"ok"));
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "s", -1, -1, 7, 5, 100);
        codes[0] = QUB_SaveImage(5, 7, kFilePng, missingFolder.c_str());
        codes[1] = QUB_SaveImage(0, 7, kFilePng, good.c_str());
        codes[2] = QUB_SaveImage(5, 7, 5, good.c_str());
        codes[3] = QUB_SaveImage(5, 7, kFilePng, std::string(300, 'a').c_str());
        codes[4] = QUB_SaveImage(100000, 100000, kFileBmp, good.c_str());
        QUB_DestroyImage(0);
        codes[5] = QUB_SaveImage(5, 7, kFilePng, good.c_str());
    }));
    EXPECT_EQ(codes[0], 1) << "unwritable";
    EXPECT_EQ(codes[1], 2);
    EXPECT_EQ(codes[2], 1) << "no such type";
    EXPECT_EQ(codes[3], 1) << "no room for the extension";
    EXPECT_EQ(codes[4], 1) << "a rectangle too large to hold";
    EXPECT_EQ(codes[5], 3);
    EXPECT_TRUE(folder.Names().empty());
}

TEST_F(ImageFiles, LargerRectanglePadsWithZeros) {
    int saved = -1;
    bool padded = true, kept = true;
    const std::string name = Narrow(folder.File(L"pad.bmp"));
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "p", -1, -1, 7, 5, 100);
        Fill(0, 7, 5, Known);
        saved = QUB_SaveImage(8, 9, kFileBmp, name.c_str());
        QUB_CreateImage(1, "b", -1, -1, 9, 8, 100);
        QUB_LoadImage(name.c_str(), 0, 0);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 9; ++x) {
                const uint32_t got = qubState.imageBits32[1][y * 9 + x];
                if (x < 7 && y < 5) kept = kept && got == Known(x, y);
                else padded = padded && got == 0;
            }
    }));
    EXPECT_EQ(saved, 0);
    EXPECT_TRUE(kept);
    EXPECT_TRUE(padded);
}

// A PNG and a BMP whose headers claim width x height over a few bytes.
Bytes LyingPng(int width, int height) {
    return MakePngAround({width, height, 2, 8, false}, ZlibOf(Bytes(8, 0), Deflate::kFixed));
}
Bytes LyingBmp(int32_t width, int32_t height) {
    Bytes f = MakeBmp(2, 2, 24);
    PutLe32(f, 18, static_cast<uint32_t>(width));
    PutLe32(f, 22, static_cast<uint32_t>(height));
    return f;
}

TEST_F(ImageFiles, BadFilesAreRefusedWithoutACrash) {
    // Good files first, to cut.
    const std::string jpg = Narrow(folder.File(L"good.jpg")), png = Narrow(folder.File(L"good.png"));
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "g", -1, -1, 64, 48, 100);
        Fill(0, 48, 32, Smooth);
        QUB_SaveImage(48, 64, kFileJpeg, jpg.c_str());
        QUB_SaveImage(48, 64, kFilePng, png.c_str());
        QUB_DestroyImage(0);
    }));
    std::vector<unsigned char> j = ReadBytes(folder.File(L"good.jpg"));
    std::vector<unsigned char> p = ReadBytes(folder.File(L"good.png"));
    ASSERT_GT(j.size(), 200u);
    ASSERT_GT(p.size(), 100u);
    j.resize(j.size() / 3);
    p.resize(p.size() / 2);
    const std::string text = "This is a text file and not a picture.\r\n";
    struct Bad {
        const wchar_t* name;
        std::vector<unsigned char> bytes;
        bool mustRefuse;  // truncated files may decode partly, as on Windows
    } bad[] = {
        {L"truncated.jpg", j, false},
        {L"truncated.png", p, false},
        {L"empty.jpg", {}, true},
        {L"text.jpg", std::vector<unsigned char>(text.begin(), text.end()), true},
        {L"huge.png", LyingPng(100000, 100000), true},
        {L"huge.bmp", LyingBmp(100000, 100000), true},
        {L"negative.bmp", LyingBmp(-5, 1 << 30), true},
    };
    const size_t count = sizeof bad / sizeof bad[0];
    for (const Bad& b : bad) ASSERT_TRUE(WriteBytes(folder.File(b.name), b.bytes));

    std::vector<int> results(count, -1);
    bool untouched = true;
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "victim", -1, -1, 64, 48, 100);
        for (size_t i = 0; i < count; ++i) {
            for (int k = 0; k < 64 * 48; ++k) qubState.imageBits32[0][k] = 0x00ABCDEFu;
            results[i] = QUB_LoadImage(Narrow(folder.File(bad[i].name)).c_str(), 0, 0);
            if (bad[i].mustRefuse)
                for (int k = 0; k < 64 * 48; ++k)
                    untouched = untouched && qubState.imageBits32[0][k] == 0x00ABCDEFu;
        }
    }, 60000));
    for (size_t i = 0; i < count; ++i) {
        const std::string name = Narrow(bad[i].name);
        if (bad[i].mustRefuse)
            EXPECT_EQ(results[i], 1) << name;
        else
            EXPECT_TRUE(results[i] == 0 || results[i] == 1) << name << " gave " << results[i];
        printf("  %s -> %d\n", name.c_str(), results[i]);
    }
    EXPECT_TRUE(untouched) << "a refused file leaves the buffer unchanged";
}

TEST_F(ImageFiles, EightBitWindowAsJpegAndBmpHeaders) {
    int savedJpeg = -1, loadedJpeg = -1, savedBmp8 = -1, savedBmp32 = -1, worst = 0;
    const std::string base = Narrow(folder.File(L"hdr"));
    const std::string rgb = Narrow(folder.File(L"rgb"));
    uint32_t palette[256];
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage8(0, "idx", -1, -1, 48, 32, 100);
        for (uint32_t i = 0; i < 256; ++i) palette[i] = (255 - i) << 16 | i << 8 | (i / 2);
        QUB_SetPalette(palette, 256);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 48; ++x) qubState.imageBits8[0][y * 48 + x] = static_cast<uint8_t>(x * 5);
        savedJpeg = QUB_SaveImage(32, 48, kFileJpeg, base.c_str());
        savedBmp8 = QUB_SaveImage(32, 48, kFileBmp, base.c_str());
        QUB_CreateImage(1, "back", -1, -1, 48, 32, 100);
        loadedJpeg = QUB_LoadImage((base + ".jpg").c_str(), 0, 0);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 48; ++x)
                worst = std::max(worst, MaxChannelDifference(palette[x * 5],
                                                             qubState.imageBits32[1][y * 48 + x]));
        Fill(1, 7, 5, Known);
        savedBmp32 = QUB_SaveImage(5, 7, kFileBmp, rgb.c_str());
    }));
    EXPECT_EQ(savedJpeg, 0) << "an 8-bit window saves as JPEG too";
    EXPECT_EQ(loadedJpeg, 0);
    EXPECT_LE(worst, 40) << "JPEG of an 8-bit window shows its palette colours";
    EXPECT_EQ(savedBmp8, 0);
    EXPECT_EQ(savedBmp32, 0);
    auto le32 = [](const std::vector<unsigned char>& f, size_t at) {
        return static_cast<uint32_t>(f[at] | f[at + 1] << 8 | f[at + 2] << 16 | f[at + 3] << 24);
    };
    const std::vector<unsigned char> bmp8 = ReadBytes(folder.File(L"hdr.bmp"));
    ASSERT_GE(bmp8.size(), 54u + 1024u);
    EXPECT_EQ(bmp8[28], 8);
    EXPECT_EQ(le32(bmp8, 38), 2834u) << "pixels per metre, horizontally";
    EXPECT_EQ(le32(bmp8, 42), 2834u) << "and vertically";
    const size_t colours = 14 + le32(bmp8, 14);
    for (uint32_t i : {0u, 1u, 77u, 255u})
        EXPECT_EQ(le32(bmp8, colours + 4 * i) & 0xFFFFFFu, palette[i]) << "palette entry " << i;
    const std::vector<unsigned char> bmp32 = ReadBytes(folder.File(L"rgb.bmp"));
    ASSERT_GE(bmp32.size(), 54u);
    EXPECT_EQ(bmp32[28], 24) << "a 32-bit window is written as a 24-bit BMP";
}

TEST_F(ImageFiles, JpegIntoAnEightBitWindowKeepsTheGreyRamp) {
    int loaded = -1;
    uint32_t ramp[256] = {};
    const std::string jpg = Narrow(folder.File(L"grey.jpg"));
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "src", -1, -1, 48, 32, 100);
        Fill(0, 48, 32, Smooth);
        QUB_SaveImage(32, 48, kFileJpeg, jpg.c_str());
        QUB_CreateImage8(1, "idx", -1, -1, 48, 32, 100);
        loaded = QUB_LoadImage(jpg.c_str(), 0, 0);
        QUB_GetPalette(ramp);
    }));
    EXPECT_EQ(loaded, 0);
    for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(ramp[i], i * 0x010101u) << i;
}

// A name that does not fit the 260-unit buffer must not be cut into another
// name: here the first 259 units end in ".bmp", a complete name of its own.
TEST_F(ImageFiles, OverlongNamesAreRefusedNotCut) {
    const std::wstring head = folder.File(L"");
    ASSERT_LT(head.size(), 200u);
    const std::wstring cut = head + std::wstring(259 - head.size() - 4, L'n') + L".bmp";
    ASSERT_EQ(cut.size(), 259u);
    const std::string overlong = Narrow(cut + L"tail");
    int saved = -1, loaded = -1, savedCut = -1;
    ASSERT_TRUE(OnWorker([&] {
        QUB_CreateImage(0, "s", -1, -1, 7, 5, 100);
        Fill(0, 7, 5, Known);
        saved = QUB_SaveImage(5, 7, kFileBmp, overlong.c_str());
        savedCut = QUB_SaveImage(5, 7, kFileBmp, Narrow(cut).c_str());
        loaded = QUB_LoadImage(overlong.c_str(), 0, 0);
    }));
    EXPECT_EQ(saved, 1) << "refused, not written under a shorter name";
    EXPECT_EQ(savedCut, 0) << "the same name within the limit is fine";
    EXPECT_EQ(loaded, 1) << "the cut name is an existing picture, but not the one asked for";
    EXPECT_EQ(folder.Names().size(), 1u);
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

TEST_F(ImageFiles, LoadIntoAClosedSlot) {
    int code = -1;
    ASSERT_TRUE(OnWorker([&] {
        qubState.currentImage = 7;
        code = QUB_LoadImage("whatever.png", 0, 0);
    }));
    EXPECT_EQ(code, 2);
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
    const bool ended = PumpUntil([&] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 10000);
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
