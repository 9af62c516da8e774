// The command-line companion end to end on a folder of pairs as a
// photographer has them. Natively the run is in-process; in the Windows build
// the real qubstereo-cli.exe is started, under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cli_platform.h"
#include "cli/pair_output.h"
#include "formats/jps.h"
#include "formats/mpo_reader.h"
#include "formats/mpo_writer.h"
#include "formats/picture_probe.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>

#include "cli/cli_run.h"

// Every operator new of the process counted, to know the most bytes held at
// once during a run: the pixel buffers are all vectors.
namespace {
std::atomic<size_t> g_heldBytes{0}, g_peakBytes{0};
constexpr size_t kCountHeader = 16;  // keeps the caller's memory aligned
}  // namespace

void* operator new(size_t n) {
    char* block = static_cast<char*>(std::malloc(n + kCountHeader));
    if (!block) std::abort();
    *reinterpret_cast<size_t*>(block) = n;
    const size_t held = g_heldBytes += n;
    for (size_t peak = g_peakBytes;
         held > peak && !g_peakBytes.compare_exchange_weak(peak, held);) {
    }
    return block + kCountHeader;
}
void* operator new[](size_t n) { return operator new(n); }
void operator delete(void* p) noexcept {
    if (!p) return;
    char* block = static_cast<char*>(p) - kCountHeader;
    g_heldBytes -= *reinterpret_cast<size_t*>(block);
    std::free(block);
}
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete[](void* p, size_t) noexcept { operator delete(p); }
#endif

namespace {

std::string g_cli;     // the program, in the Windows build
std::string g_sample;  // the project's sample pair

struct CliResult {
    int code = -1;
    std::string out, err;
};

#ifdef _WIN32
std::wstring Wide(const std::string& s) {
    std::wstring w(s.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.c_str(), -1, &w[0], static_cast<int>(w.size()));
    w.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
    return w;
}

// Runs the real program through cmd.exe, whose redirection captures its
// output in files.
CliResult RunCli(const std::vector<std::string>& args) {
    CliResult r;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static int runs = 0;
    const std::wstring tag =
        std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++runs);
    const std::wstring names[2] = {std::wstring(temp) + L"qubcli_out" + tag + L".txt",
                                   std::wstring(temp) + L"qubcli_err" + tag + L".txt"};
    std::wstring line = L"cmd.exe /c \"\"" + Wide(g_cli) + L"\"";
    for (const std::string& a : args) line += L" \"" + Wide(a) + L"\"";
    line += L" >\"" + names[0] + L"\" 2>\"" + names[1] + L"\"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 120000);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        r.code = static_cast<int>(code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    for (int k = 0; k < 2; ++k) {
        std::vector<uint8_t> bytes;
        std::string error;
        CliReadFile(std::string(names[k].begin(), names[k].end()), &bytes, &error);
        for (uint8_t c : bytes)  // without the text mode's carriage returns
            if (c != '\r') (k ? r.err : r.out).push_back(static_cast<char>(c));
        DeleteFileW(names[k].c_str());
    }
    return r;
}

std::string TempBase() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring w(temp);
    return std::string(w.begin(), w.end()) + std::to_string(GetCurrentProcessId());
}
#else
CliResult RunCli(const std::vector<std::string>& args) {
    CliResult r;
    FILE* files[2] = {tmpfile(), tmpfile()};
    r.code = QUB_CliRun(args, files[0], files[1]);
    for (int k = 0; k < 2; ++k) {
        rewind(files[k]);
        for (int c; (c = fgetc(files[k])) != EOF;)
            (k ? r.err : r.out).push_back(static_cast<char>(c));
        fclose(files[k]);
    }
    return r;
}

std::string TempBase() {
    const char* base = getenv("TMPDIR");
    return std::string(base ? base : "/tmp") + "/" + std::to_string(getpid());
}
#endif

// A folder of this run's own, emptied of what an earlier run left.
std::string TempFolder(const char* name) {
    const std::string folder = TempBase() + name;
    std::vector<std::string> old;
    std::vector<CliBrokenEntry> broken;
    std::string error;
    if (CliListFolder(folder, &old, &broken, &error))
        for (const std::string& n : old) CliRemoveFile(folder + "/" + n);
    CliMakeFolder(folder, &error);
    return folder;
}

// Two views whose channels and halves differ, smooth enough for JPEG.
CliPicture View(int w, int h, bool left) {
    CliPicture p;
    p.width = w;
    p.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.pixels.push_back(left ? static_cast<uint32_t>((x * 3) << 16 | (y * 2) << 8 | 60)
                                    : static_cast<uint32_t>(210 << 16 | (x * 2) << 8 | (200 - y)));
    return p;
}

std::vector<uint8_t> Jpeg(const CliPicture& p) {
    std::vector<uint8_t> b;
    EXPECT_TRUE(
        CliEncodeJpeg(p.pixels.data(), p.width, p.height, static_cast<size_t>(p.width), 95, &b));
    return b;
}

void Put(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string temp, error;
    ASSERT_TRUE(CliWriteTemp(path, bytes, &temp, &error)) << error;
    ASSERT_EQ(CliNameTemp(temp, path, true, &error), PlaceResult::Placed) << error;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    CliReadFile(path, &bytes, &error);
    return bytes;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

CliPicture Decoded(const std::string& path) {
    const std::vector<uint8_t> bytes = FileBytes(path);
    CliPicture p;
    std::string error;  // a file the probe refuses stays empty
    const PictureProbe size = QUB_ProbePicture(bytes.data(), bytes.size());
    if (size.verdict == kProbeSound)
        CliDecode(bytes.data(), bytes.size(), size.width, size.height, &p, &error);
    return p;
}

// The worst channel's mean difference of `got`'s part at (x0, 0) from `want`:
// about 2 for two JPEG generations of these views, over 60 for a swap or shift.
double Difference(const CliPicture& got, int x0, const CliPicture& want) {
    double sum[3] = {0, 0, 0};
    for (int y = 0; y < want.height; ++y)
        for (int x = 0; x < want.width; ++x) {
            const uint32_t a = got.pixels[static_cast<size_t>(y) * got.width + x0 + x];
            const uint32_t b = want.pixels[static_cast<size_t>(y) * want.width + x];
            for (int c = 0; c < 3; ++c)
                sum[c] += std::abs(static_cast<int>((a >> 8 * c & 255) - (b >> 8 * c & 255)));
        }
    return *std::max_element(sum, sum + 3) / (1.0 * want.width * want.height);
}

// One folder of every kind of pair and of bad files, then runs on it; each
// run's exit code and report lines, then each output's size and view order.
TEST(CliRun, FolderOfEveryKindOfPairWithBadFilesAmongThem) {
    const std::string dir = TempFolder("qubcli_folder");
    std::string error;
    for (const char* sub : {"/d1", "/d2", "/out", "/p"})
        ASSERT_TRUE(CliMakeFolder(dir + sub, &error));
    const CliPicture l = View(48, 32, true), r = View(48, 32, false);
    const std::vector<uint8_t> a = Jpeg(l), b = Jpeg(r), side = Jpeg(JoinViews(l, r, true));
    std::vector<uint8_t> mpo, jps, odd, padded = side, cut = side;
    const std::vector<uint8_t> crossed = Jpeg(JoinViews(r, l, true));
    const std::vector<uint8_t> narrow = Jpeg(View(40, 32, false)), head(a.begin(), a.begin() + 40);
    ASSERT_TRUE(QUB_WriteMpo(a.data(), a.size(), b.data(), b.size(), &mpo));
    ASSERT_TRUE(QUB_WriteJps(crossed.data(), crossed.size(), false, &jps));
    ASSERT_TRUE(QUB_WriteMpo(a.data(), a.size(), narrow.data(), narrow.size(), &odd));
    // As libraries write it: entries typed primary and undefined.
    const uint8_t entry[4] = {0x20, 0x02, 0x00, 0x02}, sos[2] = {0xFF, 0xDA};
    std::vector<uint8_t> untyped = mpo;
    const auto at = std::search(untyped.begin(), untyped.end(), entry, entry + 4);
    ASSERT_LT(at + 20, untyped.end());
    at[1] = 0x03, at[3] = 0x00;
    std::fill(at + 16, at + 20, 0);
    // Cut inside the coded data: a decoder warning. Stray bytes before the
    // scan's marker draw a warning that changes no pixel: a good pair.
    const auto scan = std::search(cut.begin(), cut.end(), sos, sos + 2);
    cut.resize(static_cast<size_t>(scan - cut.begin()) / 2 + cut.size() / 2);
    padded.insert(std::search(padded.begin(), padded.end(), sos, sos + 2), {0x00, 0x00});
    const std::string trip = "\xE6\x97\x85 \xE5\x86\x99\xE7\x9C\x9F";  // in no ANSI code page
    const std::vector<uint8_t> bomb = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13, 'I',
                                       'H', 'D', 'R', 0x7F, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF,
                                       0xFF, 8, 2, 0, 0, 0};
    const struct {
        std::string name;
        const std::vector<uint8_t>& bytes;
    } files[] = {{"side.jpg", side},       {trip + "_L.jpg", a},   {trip + "_R.jpg", b},
                 {"cam.mpo", mpo},         {"web.jps", jps},       {"cam-named.jpg", mpo},
                 {"library.jpg", untyped}, {"web-named.jpg", jps}, {"broken.jpg", head},
                 {"bomb.png", bomb},       {"notes.txt", {'h'}},   {"odd.mpo", odd},
                 {"short.jpg", cut},       {"lone_L.jpg", a},      {"padded.jpg", padded},
                 {"d1/a.jpg", side},       {"d2/a.jpg", crossed},  {"out/a-parallel.jpg", {1, 2}},
                 {"p/one.jpg", a},         {"p/two.jpg", b}};
    for (const auto& f : files) Put(dir + "/" + f.name, f.bytes);
    for (const char* old : {"/out/a-parallel_2.jpg", "/new/b/c/one-parallel.jpg"})
        CliRemoveFile(dir + old);  // an earlier run's, in folders TempFolder keeps
    const std::string s = dir + "/side.jpg";
    const struct {
        std::vector<std::string> args;
        int code;
        std::vector<std::string> lines;  // in the output or the errors
    } runs[] = {
        {{"convert", "--to", "parallel", dir}, 1,
         {"broken.jpg: JPEG refused", "bomb.png: PNG refused",
          "odd.mpo: not a stereo pair: MPO views differ in size\n",
          "no right view for " + dir + "/lone_L.jpg",
          "short-parallel.jpg (decoder warning: Corrupt JPEG data", "8 done, 5 failed"}},
        // Never overwritten: counted names; a folder's own outputs are not pairs.
        {{"convert", "--to", "cross", "--jobs", "2", s, s, dir + "/side-parallel.jpg"}, 0, {}},
        {{"convert", "--to", "overunder", s}, 0, {}},
        {{"convert", "--to", "mpo", s}, 0, {}},
        {{"convert", "--to", "jps", s}, 0, {}},
        {{"convert", "--to", "gif", s}, 0, {}},
        // The input's own kind never replaces the input, however spelled.
        {{"convert", "--to", "mpo", "--overwrite", dir + "/cam.mpo"}, 0, {"_2."}},
        {{"convert", "--to", "jps", "--overwrite", dir + "/./web.jps"}, 0, {"_2."}},
        {{"convert", "--to", "mpo", "--overwrite", dir + "//cam.mpo"}, 0, {"_2."}},
        {{"info", "--json", dir + "/cam.mpo", dir + "/" + trip + "_L.jpg",
          dir + "/" + trip + "_R.jpg"}, 0, {"[\n", "\"format\": \"MPO\"", "},\n  {"}},
        {{"convert", dir}, 2, {"--to"}},
        // --overwrite replaces what was there before the run, never its own
        // outputs; --pairs counts a folder's files, not the folder; --out
        // makes missing parents.
        {{"convert", "--to", "parallel", "--overwrite", "--jobs", "2", "--out", dir + "/out",
          dir + "/d1", dir + "/d2"}, 0, {}},
        {{"convert", "--to", "parallel", "--pairs", dir + "/p", "--out", dir + "/new/b/c"},
         0, {}},
    };
    for (const auto& run : runs) {
        const CliResult got = RunCli(run.args);
        EXPECT_EQ(got.code, run.code) << run.args.back() << got.err;
        for (const std::string& line : run.lines)
            EXPECT_TRUE(Has(got.out + got.err, line)) << line << "\n" << got.out << got.err;
    }
    const std::string p = "-parallel.jpg";
    const struct {
        std::string name;
        int width, height;
        const CliPicture *first, *second;  // at x 0 and 48
    } outputs[] = {
        {"side" + p, 96, 32, &l, &r},      {trip + p, 96, 32, &l, &r},
        {"cam" + p, 96, 32, &l, &r},       {"web" + p, 96, 32, &l, &r},
        {"cam-named" + p, 96, 32, &l, &r}, {"web-named" + p, 96, 32, &l, &r},
        {"padded" + p, 96, 32, &l, &r},    {"library" + p, 96, 32, &l, &r},
        {"new/b/c/one" + p, 96, 32, &l, &r},     {"side-cross_2.jpg", 96, 32, &r, &l},
        {"side-parallel-cross.jpg", 96, 32, &r, &l}, {"side-overunder.jpg", 48, 64, &l, nullptr},
    };
    for (const auto& o : outputs) {
        const CliPicture got = Decoded(dir + "/" + o.name);
        ASSERT_EQ(got.width, o.width) << o.name;
        ASSERT_EQ(got.height, o.height) << o.name;
        EXPECT_LT(Difference(got, 0, *o.first), 6) << o.name;
        if (o.second) {
            EXPECT_LT(Difference(got, 48, *o.second), 6) << o.name;
        }
    }
    const CliPicture first = Decoded(dir + "/out/a-parallel.jpg"),
                     second = Decoded(dir + "/out/a-parallel_2.jpg");
    ASSERT_EQ(first.width + second.width, 192);
    EXPECT_GT(Difference(first, 0, l) + Difference(second, 0, l), 60) << "one of each input";
    EXPECT_EQ(FileBytes(dir + "/cam.mpo"), mpo);
    EXPECT_EQ(FileBytes(dir + "/web.jps"), jps);
    std::vector<uint8_t> w = FileBytes(dir + "/side.mpo");
    EXPECT_EQ(QUB_ReadMpo(w.data(), w.size()).verdict, kMpoSound);
    w = FileBytes(dir + "/side.jps");
    EXPECT_TRUE(QUB_ReadJps(w.data(), w.size()).present);
    w = FileBytes(dir + "/side-wiggle.gif");
    EXPECT_EQ(QUB_ProbePicture(w.data(), w.size()).width, 48);
}

// Every mode's anaglyph of the sample against its exact composition: 4:4:4 (luma
// sampling 0x11) by default, each channel under 2 levels off on average; 4:2:0
// (0x22) blurs the colour fringes past that. The streamed side-by-side JPEG and
// the whole-picture path (its coded data as a JPS) give the same bytes.
TEST(CliRun, AnaglyphsKeepFullColourAndBothPathsAgree) {
    const std::string dir = TempFolder("qubcli_chroma"), s = dir + "/s.jpg";
    const std::vector<uint8_t> sample = FileBytes(g_sample);
    std::vector<uint8_t> jps;
    ASSERT_TRUE(QUB_WriteJps(sample.data(), sample.size(), false, &jps));
    Put(s, sample);
    Put(dir + "/j.jps", jps);
    const CliPicture whole = Decoded(g_sample);
    const int half = whole.width / 2;
    const uint8_t kFrame[2] = {0xFF, 0xC0};
    const struct {
        std::vector<std::string> args;
        std::string output;
        int sampling;
        int fine;  // 1: every channel's mean difference from the exact anaglyph is 2 or less
    } runs[] = {
        {{"anaglyph", "--mode", "redcyan"}, "s-anaglyph.jpg", 0x11, 1},
        {{"anaglyph", "--mode", "grey"}, "s-anaglyph-grey.jpg", 0x11, 1},
        {{"anaglyph", "--mode", "colour"}, "s-anaglyph-colour.jpg", 0x11, 1},
        {{"anaglyph", "--mode", "half"}, "s-anaglyph-half.jpg", 0x11, 1},
        {{"anaglyph", "--mode", "optimised"}, "s-anaglyph-optimised.jpg", 0x11, 1},
        {{"anaglyph", "--mode", "dubois"}, "s-anaglyph-dubois.jpg", 0x11, 1},
        {{"anaglyph", "--mode", "dubois", "--chroma", "420"}, "s-anaglyph-dubois.jpg", 0x22, 0},
        {{"convert", "--to", "parallel"}, "s-parallel.jpg", 0x22, -1},
        {{"convert", "--to", "cross", "--chroma", "444"}, "s-cross.jpg", 0x11, -1},
    };
    for (const auto& run : runs) {
        std::vector<std::string> args = run.args;
        args.insert(args.end(), {"--overwrite", "--cross", s});
        ASSERT_EQ(RunCli(args).code, 0) << run.output;
        const std::vector<uint8_t> bytes = FileBytes(dir + "/" + run.output);
        const auto frame = std::search(bytes.begin(), bytes.end(), kFrame, kFrame + 2);
        ASSERT_LT(frame + 11, bytes.end()) << run.output;
        EXPECT_EQ(frame[11], run.sampling) << run.output;
        if (run.fine < 0) continue;
        args.back() = dir + "/j.jps";
        args.erase(args.end() - 2);  // a JPS is cross-eyed already
        ASSERT_EQ(RunCli(args).code, 0);
        EXPECT_EQ(FileBytes(dir + "/j" + run.output.substr(1)), bytes) << run.output;
        AnaglyphMode mode = AnaglyphMode::RedCyan;
        ParseAnaglyphMode(run.args[2].c_str(), &mode);
        const CliPicture got = Decoded(dir + "/" + run.output);
        ASSERT_EQ(got.width, half);
        CliPicture want = got;
        for (size_t k = 0; k < got.pixels.size(); ++k) {
            const uint32_t* pair = &whole.pixels[k / half * whole.width + k % half];
            want.pixels[k] = AnaglyphModePixel(mode, pair[half], pair[0]);
        }
        EXPECT_EQ(Difference(got, 0, want) <= 2, run.fine == 1) << run.output;
    }
}

#ifndef _WIN32
// The most bytes held at once by one run, in 4-byte pixels of the input: the
// views are decoded in place, the rest works row by row, jobs wait for the
// pixel budget.
TEST(CliRun, HoldsAPictureOnceAndWithinThePixelBudget) {
    const std::string dir = TempFolder("qubcli_memory");
    std::vector<uint8_t> sample;
    std::string error;
    ASSERT_TRUE(CliReadFile(g_sample, &sample, &error)) << g_sample;
    CliPicture small, big;
    ASSERT_TRUE(CliDecode(sample.data(), sample.size(), 1280, 480, &small, &error)) << error;
    // Twice the sample's size, so that each view has more than the 1.2
    // megapixels above which the alignment works on a reduced copy.
    big.width = 2 * small.width;
    big.height = 2 * small.height;
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x)
            big.pixels.push_back(small.pixels[static_cast<size_t>(y / 2) * small.width + x / 2]);
    const std::string file = dir + "/big.jpg";
    Put(file, Jpeg(big));
    const double pictureBytes = 4.0 * big.width * big.height;
    big = small = CliPicture();
    sample.clear();
    sample.shrink_to_fit();
    // One copy, and half of one more for the resampled right view or the
    // GIF's frames; a refused input is never decoded. Info adds its parallax
    // over every pixel, measured on a quarter-megapixel copy whatever the
    // picture's size (25 MB); the depth map's matching takes about six
    // pictures more at this size (its scratch per thread is capped).
    constexpr double kOnce = 1.6, kNothing = 0.1, kDepth = 8;
    const double kInfo = kOnce + 25e6 / pictureBytes;
    const struct {
        std::vector<std::string> args;
        int code;
        double most;       // held bytes at most, in pictures
        std::string text;  // in the report
    } runs[] = {
        {{"info", file}, 0, kInfo, "views 1280 x 960"},
        {{"info", "--json", file}, 0, kInfo, "\"model\": \"similarity\", \"residualBefore\": "},
        {{"info", "--json", file}, 0, kInfo, "\"depth\": \"strong\", \"pixelNearParallax\": -7"},
        {{"convert", "--to", "gif", file}, 0, kOnce, "-wiggle.gif"},
        {{"convert", "--to", "parallel", file}, 0, kOnce, "-parallel.jpg"},
        {{"anaglyph", "--align", file}, 0, kOnce, "-anaglyph.jpg"},
        {{"align", "--to", "overunder", file}, 0, kOnce, "-aligned-overunder.jpg"},
        {{"depth", "--align", file}, 0, kDepth, "-disparity.png, " + dir + "/big-depth.png, "},
        {{"depth", file}, 1, kOnce, "px RMS apart; --align aligns them first"},
        {{"convert", "--to", "mpo", file}, 0, kOnce, "big.mpo"},
        {{"depth", "--align", dir + "/big.mpo"}, 0, kDepth, "MPO -> "},
        {{"convert", "--to", "jps", file}, 0, kOnce, "big.jps"},
        {{"depth", "--align", dir + "/big.jps"}, 0, kDepth, "JPS -> "},
        {{"info", "--max-megapixels", "2", file}, 1, kNothing,
         "picture of 2560 x 960 (2.5 megapixels) is over the budget of 2"},
        {{"info", "--jobs", "3", "--max-megapixels", "3", file, file, file}, 0, kInfo, "3 done"},
    };
    for (const auto& run : runs) {
        std::vector<std::string> args = run.args;
        if (args[0] != "info") args.insert(args.begin() + 1, "--overwrite");
        g_peakBytes = g_heldBytes.load();
        const size_t before = g_heldBytes;
        const CliResult r = RunCli(args);
        const double held = static_cast<double>(g_peakBytes - before) / pictureBytes;
        EXPECT_EQ(r.code, run.code) << run.text << ": " << r.err;
        EXPECT_LE(held, run.most) << run.text;
        EXPECT_TRUE(Has(r.out + r.err, run.text)) << r.out << r.err;
    }
    // Nearer is whiter in the depth picture and larger in the disparity one
    // (read to 8 bits): the ball's centre against the wall, doubled in size.
    for (const char* name : {"/big-depth.png", "/big-disparity.png"}) {
        std::vector<uint8_t> bytes;
        CliPicture p;
        ASSERT_TRUE(CliReadFile(dir + name, &bytes, &error) &&
                    CliDecode(bytes.data(), bytes.size(), 1280, 960, &p, &error)) << error;
        EXPECT_GT(p.pixels[680 * 1280 + 940] & 255, p.pixels[920 * 1280 + 1240] & 255) << name;
    }
}
#endif

// Files that cannot be read or written say why, each on its line; a name
// that is not UTF-8 keeps the JSON valid.
TEST(CliRun, RefusalsSayWhy) {
    const std::string dir = TempFolder("qubcli_why");
    const std::vector<uint8_t> side =
        Jpeg(JoinViews(View(48, 32, true), View(48, 32, false), true));
    Put(dir + "/side.jpg", side);
    std::string error;
    ASSERT_TRUE(CliMakeFolder(dir + "/side-cross.jpg", &error));  // in the output's way
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string out, err;
    };
    Put(dir + "/wide.jpg", Jpeg(View(32751, 8, true)));  // beside its depth: past JPEG's sides
    std::vector<Case> cases = {
        {{"info", dir + "/missing.jpg"}, 1, "", "missing.jpg: cannot be read (no such file)"},
        {{"depth", "--pairs", dir + "/wide.jpg", dir + "/wide.jpg"}, 1, "",
         "views wider than 32750 pixels: the view beside its depth cannot be a JPEG"},
        {{"convert", "--to", "cross", "--overwrite", dir + "/side.jpg"}, 1, "",
         "cannot write " + dir + "/side-cross.jpg ("},
    };
#ifndef _WIN32
    ASSERT_EQ(mkfifo((dir + "/pipe.jpg").c_str(), 0644), 0);
    ASSERT_EQ(symlink("loop.jpg", (dir + "/loop.jpg").c_str()), 0);
    ASSERT_EQ(symlink("nowhere.jpg", (dir + "/gone.jpg").c_str()), 0);
    Put(dir + "/odd\xff.jpg", side);
    // Characters of two, three and four bytes are written as they are.
    const std::string utf8 = "\xC3\xA9\xE6\x97\x85\xF0\x9F\x98\x80.jpg";
    Put(dir + "/" + utf8, side);
    Put(dir + "/thin.jpg", Jpeg(View(1, 32, true)));
    const std::vector<Case> more = {
        {{"info", dir + "/pipe.jpg"}, 1, "", "pipe.jpg: cannot be read (not a regular file)"},
        {{"info", dir}, 1, "", "pipe.jpg: cannot be read (not a regular file)"},
        {{"info", dir}, 1, "", "loop.jpg: cannot be read (symbolic link loop)"},
        {{"info", dir}, 1, "", "gone.jpg: cannot be read (dangling link)"},
        {{"info", "--json", dir + "/odd\xff.jpg"}, 0, "odd\\ufffd.jpg\"", ""},
        {{"info", "--json", dir + "/" + utf8}, 0, utf8 + "\"", ""},
        {{"info", dir + "/thin.jpg"}, 1, "", "picture too narrow to hold two views"}};
    cases.insert(cases.end(), more.begin(), more.end());
    CliPicture p;
    EXPECT_FALSE(CliDecode(side.data(), side.size(), 95, 32, &p, &error)) << "size of the header";
#endif
    for (const Case& c : cases) {
        const CliResult run = RunCli(c.args);
        EXPECT_EQ(run.code, c.code) << c.args.back() << run.err;
        EXPECT_TRUE(Has(run.out, c.out)) << run.out;
        EXPECT_TRUE(Has(run.err, c.err)) << run.err;
    }
}

TEST(CliOptions, NamesAndRefusals) {
    CliOptions o;
    EXPECT_EQ(ParseCliOptions({"anaglyph", "--mode=dubois", "--offset", "12,-3", "a.jpg"}, &o), "");
    EXPECT_EQ(o.mode, AnaglyphMode::Dubois);
    EXPECT_EQ(o.offsetA, 12);
    EXPECT_EQ(o.offsetI, -3);
    EXPECT_EQ(ParseCliOptions({"anaglyph", "--mode", "GRAY", "a.jpg"}, &o), "");
    EXPECT_EQ(o.mode, AnaglyphMode::Grey) << "other spellings and case";
    EXPECT_EQ(ParseCliOptions({"align", "--offset", "12,-6", "a.jpg"}, &o), "");
    EXPECT_FALSE(o.autoAlign) << "align takes a manual offset instead";
    // The README's examples, then refusals.
    const std::vector<std::vector<std::string>> args = {
        {"anaglyph", "--align", "--mode", "dubois", "--out", "anaglyphs/", "trip/"},
        {"convert", "--to", "gif", "--delay", "120", "--pairs", "left.jpg", "right.jpg"},
        {}, {"paint", "a"}, {"anaglyph"}, {"align", "--align", "--offset", "1,2", "a"},
        {"anaglyph", "--offset", "1", "a"}, {"info", "--bogus", "a"}, {"info", "--jobs"},
        {"anaglyph", "--chroma", "422", "a"}, {"info", "--chroma", "444", "a"},
        {"anaglyph", "--mode", "dubo", "a"}, {"anaglyph", "--mode", "grey ", "a"},
        {"anaglyph", "--to", "mpo", "a"}, {"convert", "--to", "gif", "--mode", "grey", "a"}};
    for (size_t k = 0; k < args.size(); ++k)
        EXPECT_EQ(ParseCliOptions(args[k], &o).empty(), k < 2) << k;
    EXPECT_EQ(ParseCliOptions({"info", "--overwrite", "a"}, &o),
              "--overwrite does not apply to info (only to anaglyph, align, convert, depth)");
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
    if (argc < 3) {
        fprintf(stderr, "usage: cli_run_tests <qubstereo-cli.exe> <sample pair>\n");
        return 2;
    }
    g_cli = argv[1];
    g_sample = argv[2];
#else
    if (argc < 2) {
        fprintf(stderr, "usage: cli_run_tests <sample pair>\n");
        return 2;
    }
    g_sample = argv[1];
#endif
    return RUN_ALL_TESTS();
}
