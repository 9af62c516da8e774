// Image windows under Wine, measured side by side in one run:
//   - loading a 24-megapixel JPEG into an image window, against GDI+ decoding
//     the same file into a bitmap on its own;
//   - the whole open-as-dropped path (size probe, window, load) against the same;
//   - opening an MPO of the picture's two 12-megapixel halves as dropped,
//     against decoding its two JPEG streams alone;
//   - a full-window redisplay at the fitted zoom in HALFTONE and in COLORONCOLOR
//     mode, against the 100 ms frame of the stereo routine;
//   - the memory a 32-bit window takes, against its buffer's bytes.
// Usage: bench_image [--hold MS]  (--hold keeps the halftone view on screen).
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/library_state.h"
#include "core/main_menu.h"
#include "core/runtime.h"
#include "image/file_names.h"
#include "image/image_file.h"
#include "image/image_window.h"
#include "image/picture_read_win.h"
#include "image/stereo_file_win.h"

namespace {

namespace gp = Gdiplus::DllExports;

constexpr int kWidth = 6000, kHeight = 4000;  // 24 megapixels
constexpr int kRepeats = 3;
int g_holdMs = 0;

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class F>
double BestOf(int repeats, F work) {
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        const double t0 = Now();
        work();
        best = std::min(best, Now() - t0);
    }
    return best;
}

// Committed memory of the process, by walking its address space: a DIB
// section is a mapping, which Wine leaves out of the private-bytes counter.
size_t CommittedBytes() {
    size_t total = 0;
    MEMORY_BASIC_INFORMATION info;
    const char* at = nullptr;
    while (VirtualQuery(at, &info, sizeof info) == sizeof info) {
        if (info.State == MEM_COMMIT) total += info.RegionSize;
        at = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (at < static_cast<const char*>(info.BaseAddress)) break;
    }
    return total;
}

// A photograph-like scene: smooth gradients with fine texture, so that the
// JPEG is of a realistic size.
void PaintScene(uint32_t* p) {
    uint32_t noise = 12345;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            noise = noise * 1103515245u + 12345u;
            const uint32_t n = (noise >> 27) & 15u;
            const uint32_t r = static_cast<uint32_t>((x * 255) / kWidth) ^ n;
            const uint32_t g = static_cast<uint32_t>((y * 255) / kHeight) ^ (n << 1);
            const uint32_t b = static_cast<uint32_t>(((x + y) / 40) & 255) ^ n;
            p[static_cast<size_t>(y) * kWidth + x] = (r & 255u) << 16 | (g & 255u) << 8 | (b & 255u);
        }
}

double DecodeWithGdiplusAlone(const wchar_t* path) {
    return BestOf(kRepeats, [path] {
        Gdiplus::GpBitmap* bitmap = nullptr;
        gp::GdipCreateBitmapFromFile(path, &bitmap);
        Gdiplus::GpRect all(0, 0, kWidth, kHeight);
        Gdiplus::BitmapData data;
        // Reading the bits makes a lazy decoder (Windows) decode everything.
        if (gp::GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB,
                                   &data) == Gdiplus::Ok)
            gp::GdipBitmapUnlockBits(bitmap, &data);
        gp::GdipDisposeImage(bitmap);
    });
}

void Report(const char* what, double ms, double reference, const char* against) {
    printf("%-44s %9.1f ms   %6.2f x %s\n", what, ms, ms / reference, against);
}

void RunBenchmark() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring wide = std::wstring(temp) + L"qub_bench_24mp.jpg";
    char narrow[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, narrow, MAX_PATH, nullptr, nullptr);

    const size_t before = CommittedBytes();
    if (QUB_CreateImage(0, "24 MP", 0, 0, kWidth, kHeight, 100) != 0) {
        printf("cannot create a %d x %d window\n", kWidth, kHeight);
        return;
    }
    const size_t after = CommittedBytes();
    const double buffer = 4.0 * kWidth * kHeight;
    PaintScene(qubState.imageBits32[0]);
    const double save = BestOf(1, [&] { QUB_SaveImage(kHeight, kWidth, kFileJpeg, narrow); });

    printf("picture %d x %d, JPEG of %.1f MB, fitted zoom %d %%\n", kWidth, kHeight,
           static_cast<double>([&] {
               WIN32_FILE_ATTRIBUTE_DATA a;
               GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &a);
               return a.nFileSizeLow;
           }()) / 1e6,
           qubState.images[0].zoom);

    const double alone = DecodeWithGdiplusAlone(wide.c_str());
    Report("GDI+ decode alone (reference)", alone, alone, "reference");
    const double load = BestOf(kRepeats, [&] { QUB_LoadImage(narrow, 0, 0); });
    Report("QUB_LoadImage into the open window", load, alone, "GDI+ decode");
    const double dropped = BestOf(kRepeats, [&] {
        QUB_DestroyImage(1);
        UINT w = 0, h = 0;
        QUB_PictureSize(QUB_ReadPictureFile(wide.c_str()), &w, &h);
        QUB_CreateImage(1, "dropped", -1, -1, static_cast<int>(w), static_cast<int>(h), 100);
        QUB_LoadImage(narrow, 0, 0);
        QUB_DisplayImage(1);
        GdiFlush();
    });
    QUB_DestroyImage(1);
    Report("open as dropped (probe, create, load, show)", dropped, alone, "GDI+ decode");

    // The same JPEG's header claiming 65500 x 65500: refused from the header.
    {
        PictureFile head = QUB_ReadPictureFile(wide.c_str());
        std::vector<uint8_t>& b = head.bytes;
        for (size_t k = 2; k + 9 < b.size(); ++k)
            if (b[k] == 0xFF && (b[k + 1] == 0xC0 || b[k + 1] == 0xC2)) {
                b[k + 5] = b[k + 7] = 0xFF;
                b[k + 6] = b[k + 8] = 0xDC;
                break;
            }
        const std::wstring bombName = wide + L".bomb.jpg";
        HANDLE f = CreateFileW(bombName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(f, b.data(), static_cast<DWORD>(b.size()), &written, nullptr);
        CloseHandle(f);
        UINT w = 0, h = 0;
        bool refused = false;
        const double refuse = BestOf(kRepeats, [&] {
            refused = !QUB_PictureSize(QUB_ReadPictureFile(bombName.c_str()), &w, &h);
        });
        Report(refused ? "refuse a 65500 x 65500 header (2.6 MB file)"
                       : "65500 x 65500 header NOT refused",
               refuse, alone, "GDI+ decode");
        DeleteFileW(bombName.c_str());
    }
    Report("JPEG save (encode, check, rename)", save, alone, "GDI+ decode");

    // The picture's halves, 12 megapixels each, as a camera's MPO.
    {
        const std::wstring mpo = std::wstring(temp) + L"qub_bench_pair.mpo";
        QUB_SelectImage(0);
        const int saved = QUB_SavePair(mpo.c_str(), kPairMpo, qubState.imageBits32[0], kWidth,
                                       kHeight, kWidth, 90);
        const PictureFile file = QUB_ReadPictureFile(mpo.c_str());
        const PairPlan plan = QUB_PlanPair(kPairMpo, file.bytes.data(), file.bytes.size());
        if (saved != 0 || !plan.pair) {
            printf("MPO not written (%d)\n", saved);
        } else {
            const double streams = BestOf(kRepeats, [&] {
                for (const PairView& v : plan.views) {
                    Gdiplus::GpImage* view =
                        QUB_DecodeBytes(file.bytes.data() + v.offset, static_cast<size_t>(v.size));
                    Gdiplus::GpRect all(0, 0, v.width, v.height);
                    Gdiplus::BitmapData data;
                    auto* bitmap = static_cast<Gdiplus::GpBitmap*>(view);
                    if (gp::GdipBitmapLockBits(bitmap, &all, Gdiplus::ImageLockModeRead,
                                               PixelFormat32bppRGB, &data) == Gdiplus::Ok)
                        gp::GdipBitmapUnlockBits(bitmap, &data);
                    gp::GdipDisposeImage(view);
                }
            });
            const double opened = BestOf(kRepeats, [&] {
                QUB_DestroyImage(1);
                const PictureFile f = QUB_ReadPictureFile(mpo.c_str());
                const PairPlan p = QUB_PlanPair(kPairMpo, f.bytes.data(), f.bytes.size());
                QUB_CreateImage(1, "pair", -1, -1, p.width, p.height, 100);
                QUB_LoadImageWide(nullptr, mpo.c_str(), 0, 0);
                QUB_DisplayImage(1);
                GdiFlush();
            });
            QUB_DestroyImage(1);
            Report("two 12 MP JPEG streams decoded alone", streams, streams, "reference");
            Report("open their MPO as dropped", opened, streams, "two decodes");
        }
        DeleteFileW(mpo.c_str());
    }

    QUB_SelectImage(0);
    const int frames = 10;
    QUB_SetStretchMode(0, COLORONCOLOR);
    const double plain = BestOf(1, [] {
                             for (int i = 0; i < frames; ++i) QUB_DisplayImage(0);
                             GdiFlush();
                         }) / frames;
    QUB_SetStretchMode(0, HALFTONE);
    const double halftone = BestOf(1, [] {
                                for (int i = 0; i < frames; ++i) QUB_DisplayImage(0);
                                GdiFlush();
                            }) / frames;
    Report("redisplay at fitted zoom, COLORONCOLOR", plain, 100.0, "100 ms frame");
    Report("redisplay at fitted zoom, HALFTONE", halftone, 100.0, "100 ms frame");
    printf("%-44s %9.2f x COLORONCOLOR\n", "HALFTONE cost", halftone / plain);
    printf("%-44s %9.1f MB   %6.3f x buffer (%.1f MB)\n", "memory of a 32-bit window",
           static_cast<double>(after - before) / 1e6, static_cast<double>(after - before) / buffer,
           buffer / 1e6);

    DeleteFileW(wide.c_str());
    const uint32_t start = QUB_Milliseconds();
    while (QUB_Milliseconds() - start < static_cast<uint32_t>(g_holdMs)) {
        QUB_PumpMessages();
        Sleep(10);
    }
}

}  // namespace

void QUB_Main() {
    RunBenchmark();
    PostMessageW(qubState.mainWindow, WM_KEYDOWN, 'X', 0);
}

int main(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--hold") == 0) g_holdMs = std::atoi(argv[i + 1]);
    if (QUB_StartUp(GetModuleHandleW(nullptr)) != 0) return 1;
    SendMessageW(qubState.mainWindow, WM_COMMAND, kCmdStart, 0);
    QUB_RunMessageLoop();
    QUB_ShutDown();
    return 0;
}
