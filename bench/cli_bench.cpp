// The command-line companion end to end, each run a separate process timed
// with its peak memory, side by side in one run:
//   - the red/cyan anaglyph of a 24-megapixel side-by-side JPEG (two 4000 x
//     3000 views) written as JPEG at quality 95, against ImageMagick's
//     one-process crop / reverse / Stereo composite of the same file;
//   - a folder of 20 pairs of 2 megapixels, one job against two.
// Usage: bench_cli [--cli "command prefix"]   (default: the native companion;
// a prefix such as a Wine launcher runs the Windows one, with Windows paths
// given by QUB_BENCH_WINPATH=1)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

bool WriteScene(const std::string& path, int viewWidth, int height, unsigned seed) {
    const CliPicture p = Scene(viewWidth, height, seed);
    std::vector<uint8_t> jpeg;
    std::string error;
    return CliEncodeJpeg(p.pixels.data(), p.width, p.height, static_cast<size_t>(p.width), 95, &jpeg) &&
           CliPlaceFile(path, jpeg, true, &error) == PlaceResult::Placed;
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
    const std::string dir = "/tmp/qub_bench_cli" + std::to_string(getpid());
    RunChild("rm -rf '" + dir + "' && mkdir -p '" + dir + "/folder'");
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
