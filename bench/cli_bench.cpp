// The command-line companion end to end, each run a separate process timed
// with its peak memory, side by side in one run:
//   - the red/cyan anaglyph of a 24-megapixel side-by-side JPEG (two 4000 x
//     3000 views) written as JPEG at quality 95, against ImageMagick's
//     one-process crop / reverse / Stereo composite of the same file;
//   - a folder of 20 pairs of 2 megapixels, one job against two.
// With --memory instead: the peak memory of each command on a 24-megapixel
// pair, a 90-megapixel one (two 45-megapixel views) and a 64 KB 1-bit PNG of
// 23000 x 23000, with --extra's options (e.g. "--max-megapixels 600").
// Usage: bench_cli [--cli "command prefix"] [--memory [--extra "options"]]
// (default: the native companion; a prefix such as a Wine launcher runs the
// Windows one, with Windows paths given by QUB_BENCH_WINPATH=1)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <png.h>

#include "cli/cli_platform.h"

namespace {

struct Measure {
    double seconds = 0;
    double peakMb = 0;
    int code = -1;
};

// Runs `command` through the shell as a child and measures it alone.
Measure RunChild(const std::string& command) {
    Measure m;
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage = {};
    wait4(pid, &status, 0, &usage);
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    m.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    m.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return m;
}

Measure BestOf(int runs, const std::string& command) {
    Measure best;
    best.seconds = 1e30;
    for (int k = 0; k < runs; ++k) {
        const Measure m = RunChild(command);
        if (m.seconds < best.seconds) best = m;
    }
    return best;
}

// A photograph-like pair: smooth gradients with fine texture, the right view
// shifted, so that the JPEG is of a realistic size.
CliPicture Scene(int viewWidth, int height, unsigned seed) {
    CliPicture p;
    p.width = 2 * viewWidth;
    p.height = height;
    p.pixels.resize(static_cast<size_t>(p.width) * height);
    uint32_t noise = seed;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < p.width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int u = x < viewWidth ? x : x - viewWidth + 9;
            const uint32_t n = (noise >> 27) & 15u;
            const uint32_t r = static_cast<uint32_t>(u * 255 / viewWidth) ^ n;
            const uint32_t g = static_cast<uint32_t>(y * 255 / height) ^ (n << 1);
            const uint32_t b = static_cast<uint32_t>((u + y) / 40 & 255) ^ n;
            p.pixels[static_cast<size_t>(y) * p.width + x] = (r & 255) << 16 | (g & 255) << 8 | (b & 255);
        }
    return p;
}

// The bench's own inputs, replaced on every run.
bool Save(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string temp, error;
    return CliWriteTemp(path, bytes, &temp, &error) &&
           CliNameTemp(temp, path, true, &error) == PlaceResult::Placed;
}

bool WriteScene(const std::string& path, int viewWidth, int height, unsigned seed) {
    const CliPicture p = Scene(viewWidth, height, seed);
    std::vector<uint8_t> jpeg;
    return CliEncodeJpeg(p.pixels.data(), p.width, p.height, static_cast<size_t>(p.width), 95, &jpeg) &&
           Save(path, jpeg);
}

// A side-by-side JPEG written row by row, so that no buffer of it exists.
bool WriteLargeScene(const std::string& path, int viewWidth, int height) {
    CliJpegWriter* w = CliBeginJpeg(2 * viewWidth, height, 90, false);
    if (!w) return false;
    std::vector<uint32_t> row(static_cast<size_t>(2 * viewWidth));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 2 * viewWidth; ++x) {
            const int u = x < viewWidth ? x : x - viewWidth + 9;
            row[static_cast<size_t>(x)] = static_cast<uint32_t>((u * 255 / viewWidth) << 16 |
                                                                (y * 255 / height) << 8 | ((u ^ y) & 255));
        }
        CliJpegRow(w, row.data());
    }
    std::vector<uint8_t> jpeg;
    return CliEndJpeg(w, &jpeg) && Save(path, jpeg);
}

// A 1-bit grey PNG of side x side, all black: about 64 KB at 23000.
bool WriteBlackPng(const std::string& path, int side) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(side), static_cast<png_uint_32>(side), 1,
                 PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<size_t>(side + 7) / 8, 0);
    for (int y = 0; y < side; ++y) png_write_row(png, row.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return fclose(f) == 0;
}

std::string Path(const std::string& unix) {
    if (!getenv("QUB_BENCH_WINPATH")) return unix;
    std::string w = "Z:" + unix;
    for (char& c : w)
        if (c == '/') c = '\\';
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    std::string cli = QUB_CLI_PROGRAM;
    for (int k = 1; k + 1 < argc; ++k)
        if (std::string(argv[k]) == "--cli") cli = argv[k + 1];
    bool memory = false;
    std::string extra;
    for (int k = 1; k < argc; ++k) {
        if (std::string(argv[k]) == "--memory") memory = true;
        if (std::string(argv[k]) == "--extra" && k + 1 < argc) extra = argv[k + 1];
    }
    const std::string dir = "/tmp/qub_bench_cli" + std::to_string(getpid());
    RunChild("rm -rf '" + dir + "' && mkdir -p '" + dir + "/folder'");
    if (memory) {
        const char* names[] = {"pair24.jpg", "pair90.jpg", "black23000.png"};
        if (!WriteLargeScene(dir + "/" + names[0], 4000, 3000) ||
            !WriteLargeScene(dir + "/" + names[1], 8192, 5464) ||
            !WriteBlackPng(dir + "/" + names[2], 23000)) {
            fprintf(stderr, "cannot write the test pictures\n");
            return 1;
        }
        const char* commands[] = {"info", "anaglyph", "anaglyph --align", "convert --to parallel",
                                  "convert --to gif", "align"};
        printf("peak memory, one job%s%s\n", extra.empty() ? "" : ", ", extra.c_str());
        for (const char* name : names)
            for (const char* command : commands) {
                const Measure m = RunChild(cli + " " + command + " " + extra + " --overwrite --jobs 1 --out '" +
                                           Path(dir) + "/out' '" + Path(dir + "/" + name) + "' >/dev/null 2>&1");
                printf("  %-15s %-22s %8.1f MB  %6.2f s  (exit %d)\n", name, command, m.peakMb, m.seconds,
                       m.code);
            }
        RunChild("rm -rf '" + dir + "'");
        return 0;
    }
    const std::string pair = dir + "/pair.jpg";
    if (!WriteScene(pair, 4000, 3000, 12345)) {
        fprintf(stderr, "cannot write the test pair\n");
        return 1;
    }
    for (int k = 0; k < 20; ++k) WriteScene(dir + "/folder/p" + std::to_string(k) + ".jpg", 1000, 1000, 77u + k);

    const Measure magick = BestOf(3, "convert '" + pair + "' -crop 50%x100% +repage -reverse -compose Stereo "
                                     "-composite -quality 95 '" + dir + "/magick.jpg'");
    const Measure ours = BestOf(3, cli + " anaglyph --overwrite --quality 95 --out '" + Path(dir) + "' '" +
                                       Path(pair) + "' >/dev/null");
    printf("24 MP pair, red/cyan anaglyph as JPEG q95\n");
    printf("  ImageMagick convert     %7.3f s  %7.1f MB peak  (exit %d)\n", magick.seconds, magick.peakMb, magick.code);
    printf("  qubstereo-cli anaglyph  %7.3f s  %7.1f MB peak  (exit %d)\n", ours.seconds, ours.peakMb, ours.code);
    printf("  speed-up %.2f x, memory %.2f x of ImageMagick's\n", magick.seconds / ours.seconds,
           ours.peakMb / magick.peakMb);

    const std::string folder = "'" + Path(dir + "/folder") + "'";
    const Measure one = BestOf(2, cli + " anaglyph --overwrite --jobs 1 --out '" + Path(dir) + "' " + folder +
                                      " >/dev/null 2>&1");
    const Measure two = BestOf(2, cli + " anaglyph --overwrite --jobs 2 --out '" + Path(dir) + "' " + folder +
                                      " >/dev/null 2>&1");
    printf("folder of 20 pairs of 2 MP\n");
    printf("  one job   %6.2f pairs/s\n", 20 / one.seconds);
    printf("  two jobs  %6.2f pairs/s  (speed-up from the second core %.2f x)\n", 20 / two.seconds,
           one.seconds / two.seconds);
    RunChild("rm -rf '" + dir + "'");
    return 0;
}
