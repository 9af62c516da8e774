// The real program opens the files named on its command line as if they had
// been dropped on its main window, names outside the ANSI code page included.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>

#include <string>
#include <vector>

#include "formats/mpo_writer.h"
#include "tests/host/formats_builders.h"
#include "tests/win/process_support.h"

namespace {

std::wstring g_program;
std::wstring g_sample;

// True when some pixel of the window's client area on the screen is not black.
bool ShowsSomething(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    HDC dc = GetDC(window);
    bool seen = false;
    for (int y = 5; y < r.bottom && !seen; y += 37)
        for (int x = 5; x < r.right && !seen; x += 41)
            seen = (GetPixel(dc, x, y) & 0xFFFFFF) != 0;
    ReleaseDC(window, dc);
    return seen;
}

// The process's image windows, by title.
std::vector<std::pair<std::wstring, HWND>> ImageWindows(HANDLE process) {
    struct Search {
        DWORD pid;
        std::vector<std::pair<std::wstring, HWND>> titles;
    } search{GetProcessId(process), {}};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            wchar_t cls[32] = L"", title[512] = L"";
            GetClassNameW(w, cls, 32);
            GetWindowTextW(w, title, 512);
            if (pid == s->pid && std::wstring(cls) == L"qub_iw") s->titles.push_back({title, w});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.titles;
}

bool WriteFileBytes(const std::wstring& path, const Bytes& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    CloseHandle(f);
    return ok;
}

// Files that crashed the platform decoders or made them allocate what the
// header claimed or far more, a multi-picture file with a view outside it, then a camera
// JPEG cut before its end marker and a good file named outside the ANSI code
// page: the program lives, stays small, and opens the last two, the good one
// through its UTF-16 name.
TEST(CommandLine, HostileFilesAreRefusedBeforeTheDecoderAndGoodOnesStillOpen) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring base =
        std::wstring(temp) + L"qubhostile" + std::to_wstring(GetCurrentProcessId());
    Bytes bomb = MakeJpeg(16, 16, 3, true, 4600);
    const size_t sof = FindJpegMarker(bomb, 0xC0);
    ASSERT_NE(sof, 0u);
    Bytes square = bomb, eightK = bomb;
    PutBe16(bomb, sof + 5, 65500);
    PutBe16(bomb, sof + 7, 65500);
    bomb.resize(bomb.size() + 100000, 0);  // refused from its head, the rest unread
    PutBe16(square, sof + 5, 23170);
    PutBe16(square, sof + 7, 23170);
    PutBe16(eightK, sof + 5, 8000);
    PutBe16(eightK, sof + 7, 8000);
    Bytes bmp = MakeBmp(1, 1, 4);  // 122 bytes claiming 23170 x 23170
    PutLe32(bmp, 18, 23170);
    PutLe32(bmp, 22, 23170);
    Bytes gif = MakeGif(4, 4, 1, true);
    ASSERT_EQ(gif[21], 0x2C);
    gif[30] = 0;  // no local table, and no global one
    gif.erase(gif.begin() + 31, gif.begin() + 37);
    // A 960 x 960 PNG whose stream inflates to sixteen times its rows.
    const PngShape shape{960, 960, 2, 8, false};
    const Bytes zlibBomb =
        MakePngAround(shape, ZlibOf(Bytes(16 * PngRows(shape).size(), 0), Deflate::kFixed));
    Bytes emf = MakeEmf();
    const size_t record = FindEmfRecord(emf, 43);  // EMR_RECTANGLE
    ASSERT_NE(record, 0u);
    PutLe32(emf, record + 4, 0);
    // A multi-picture file whose second view lies past its end.
    const Bytes view = MakeJpeg(16, 16, 3);
    Bytes mpo;
    ASSERT_TRUE(QUB_WriteMpo(view.data(), view.size(), view.data(), view.size(), &mpo));
    const uint8_t firstEntry[4] = {0x20, 0x02, 0x00, 0x02};
    const auto table = std::search(mpo.begin(), mpo.end(), firstEntry, firstEntry + 4);
    ASSERT_NE(table, mpo.end());
    PutBe32(mpo, static_cast<size_t>(table - mpo.begin()) + 24, static_cast<uint32_t>(mpo.size()));
    HANDLE sample = CreateFileW(g_sample.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(sample, INVALID_HANDLE_VALUE);
    Bytes cut(GetFileSize(sample, nullptr));
    DWORD got = 0;
    ReadFile(sample, cut.data(), static_cast<DWORD>(cut.size()), &got, nullptr);
    CloseHandle(sample);
    ASSERT_EQ(cut[cut.size() - 2], 0xFF);
    cut.resize(cut.size() - 2);

    const std::vector<std::pair<std::wstring, Bytes>> files = {
        {L"bomb.jpg", bomb},  {L"square.jpg", square}, {L"8000.jpg", eightK},
        {L"square.bmp", bmp}, {L"zlib.png", zlibBomb}, {L"table.gif", gif},
        {L"record.emf", emf}, {L"view.mpo", mpo},      {L"cut.jpg", cut}};
    std::wstring args;
    for (const auto& f : files) {
        ASSERT_TRUE(WriteFileBytes(base + f.first, f.second));
        args += L"\"" + base + f.first + L"\" ";
    }
    const std::wstring good = base + L"\u5199\u771f good.jpg";
    ASSERT_TRUE(CopyFileW(g_sample.c_str(), good.c_str(), FALSE));
    args += L"\"" + good + L"\"";
    const DWORD start = GetTickCount();
    HANDLE p = StartProgram(g_program, args);
    ASSERT_NE(p, nullptr);
    std::vector<std::pair<std::wstring, HWND>> titles;
    for (int i = 0; i < 300 && titles.size() < 2; ++i) {
        Sleep(100);
        titles = ImageWindows(p);
    }
    EXPECT_LT(GetTickCount() - start, 20000u);
    ASSERT_EQ(titles.size(), 2u) << "only the cut and the good file open";
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles[0].first.substr(0, 4), L"000 ");
    EXPECT_NE(titles[0].first.find(L"cut.jpg"), std::wstring::npos);
    EXPECT_EQ(titles[1].first.substr(0, 4), L"001 ");
    EXPECT_NE(titles[1].first.find(L" good.jpg(100%)"), std::wstring::npos) << "a narrow title";
    RECT client;
    GetClientRect(titles[1].second, &client);
    EXPECT_EQ(client.right, 1280);
    EXPECT_EQ(client.bottom, 480);
    bool shown = false;
    for (int i = 0; i < 50 && !shown; ++i, Sleep(100)) shown = ShowsSomething(titles[1].second);
    EXPECT_TRUE(shown) << "the picture was loaded through its UTF-16 name";
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    ASSERT_TRUE(GetProcessMemoryInfo(p, &memory, sizeof memory));
    // Two 1280 x 480 windows hold 5 MB; the decoders of the old code took
    // gigabytes for the claims above.
    EXPECT_LT(memory.PeakWorkingSetSize, 400u << 20) << memory.PeakWorkingSetSize;

    HWND main = WaitForProcessWindow(p, L"qublib_mw0", 1000);
    if (main) PostMessageW(main, WM_KEYDOWN, 'X', 0);
    EXPECT_EQ(WaitExitCode(p, 10000), 0u) << "the program lived through them";
    TerminateProcess(p, 99);
    CloseHandle(p);
    for (const auto& f : files) DeleteFileW((base + f.first).c_str());
    DeleteFileW(good.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        fprintf(stderr, "usage: image_cmdline_tests program.exe sample.jpg\n");
        return 2;
    }
    g_program = WindowsPath(argv[1]);
    g_sample = WindowsPath(argv[2]);
    return RUN_ALL_TESTS();
}
