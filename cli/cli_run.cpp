#include "cli/cli_run.h"

#include <atomic>
#include <condition_variable>
#include <cstdarg>
#include <mutex>
#include <thread>

#include "cli/anaglyph_stream.h"
#include "cli/cli_options.h"
#include "cli/depth_output.h"
#include "cli/input_list.h"
#include "cli/output_place.h"
#include "cli/pair_output.h"

namespace {

struct Outcome {
    bool ok = false;
    bool finished = false;
    bool warned = false;  // written, but from damaged data: counted as failed
    std::string line;     // the pair's line, without the newline
};

// The length of the well-formed UTF-8 sequence at s[k], or 0: no overlong
// forms, no surrogates, nothing above U+10FFFF.
size_t Utf8Length(const std::string& s, size_t k) {
    const unsigned char c = static_cast<unsigned char>(s[k]);
    if (c < 0x80) return 1;
    size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (k + n > s.size()) return 0;
    for (size_t i = 1; i < n; ++i) {
        const unsigned char t = static_cast<unsigned char>(s[k + i]);
        if (t < (i == 1 ? low : 0x80) || t > (i == 1 ? high : 0xBF)) return 0;
    }
    return n;
}

std::string Format(const char* pattern, ...) {
    char text[512];
    va_list list;
    va_start(list, pattern);
    vsnprintf(text, sizeof text, pattern, list);
    va_end(list);
    return text;
}

// Bytes that do not form UTF-8 (a file name from a system that does not
// enforce it) become one \ufffd each, so that the document stays valid JSON.
std::string JsonString(const std::string& s) {
    std::string j = "\"";
    for (size_t k = 0; k < s.size();) {
        const unsigned char u = static_cast<unsigned char>(s[k]);
        if (u == '"' || u == '\\') {
            j += '\\';
            j += s[k++];
            continue;
        }
        if (u < 0x20) {
            j += Format("\\u%04x", u);
            ++k;
            continue;
        }
        const size_t n = Utf8Length(s, k);
        if (n == 0) {
            j += "\\ufffd";
            ++k;
            continue;
        }
        j.append(s, k, n);
        k += n;
    }
    return j + "\"";
}

// The pixels the jobs may hold decoded at once. A job takes its input's share
// before decoding and waits while the others hold too much; an input never
// asks for more than the whole, so the job can always go ahead once the
// others are done.
class PixelBudget {
public:
    explicit PixelBudget(int64_t pixels) : free_(pixels) {}
    void Take(int64_t pixels) {
        std::unique_lock<std::mutex> hold(lock_);
        changed_.wait(hold, [&] { return free_ >= pixels; });
        free_ -= pixels;
    }
    void Give(int64_t pixels) {
        std::lock_guard<std::mutex> hold(lock_);
        free_ += pixels;
        changed_.notify_all();
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    int64_t free_;
};

struct BudgetShare {
    PixelBudget& budget;
    int64_t pixels;
    BudgetShare(PixelBudget& b, int64_t p) : budget(b), pixels(p) { budget.Take(pixels); }
    ~BudgetShare() { budget.Give(pixels); }
    BudgetShare(const BudgetShare&) = delete;
    BudgetShare& operator=(const BudgetShare&) = delete;
};

// The refusal of an input over the budget, before anything is decoded.
std::string OverBudget(const PairSource& s, int maxMegapixels) {
    const double megapixels = static_cast<double>(s.pixels) / 1e6;
    const std::string size =
        s.width > 0 ? Format("picture of %d x %d (%.1f megapixels)", s.width, s.height, megapixels)
                    : Format("views of %.1f megapixels together", megapixels);
    return size + Format(" is over the budget of %d; --max-megapixels raises it", maxMegapixels);
}

std::string InputText(const PairInput& p) { return p.right.empty() ? p.left : p.left + " + " + p.right; }

// The decoder's complaint, on the file's line. The output made from what
// could be decoded is kept for the user to judge, but the input counts as
// failed: a damaged picture is not a pair done.
void AddWarning(Outcome* r, const PairViews& views, bool json) {
    if (views.warning.empty()) return;
    r->warned = true;
    if (json)
        r->line.insert(r->line.size() - 1, ", \"warning\": " + JsonString(views.warning));
    else
        r->line += " (decoder warning: " + views.warning + ")";
}

Outcome Info(const PairInput& input, const PairViews& views, const CliOptions& o) {
    const PairEstimate e =
        EstimatePairAlignment(views.left.pixels.data(), views.left.width, views.left.height,
                              views.right.pixels.data(), views.right.width, views.right.height);
    const bool confident = e.confidence >= kAlignConfident;
    const StereoOffsets offsets = OffsetsFor(e);
    // Matched places miss the nearest and farthest parts with little
    // texture; the budget is judged over every pixel where that can be had.
    PairEstimate pixels = e;
    const bool dense = confident && DenseParallax(views.left, views.right, e, o.threadsPerJob,
                                                  &pixels.nearParallax, &pixels.farParallax);
    const DepthBudget depth = JudgeDepthBudget(pixels, offsets.windowA, o.screenMm);
    Outcome r;
    r.ok = true;
    if (o.json) {
        r.line = "{\"input\": " + JsonString(InputText(input)) +
                 ", \"format\": " + JsonString(views.format) +
                 Format(", \"width\": %d, \"height\": %d, \"confidence\": %.3f", views.left.width,
                        views.left.height, e.confidence);
        if (confident) {
            r.line += Format(", \"verticalOffset\": %.3f, \"rotationDegrees\": %.4f, "
                             "\"verticalScale\": %.5f, \"model\": \"%s\", "
                             "\"residualBefore\": %.3f, \"residualAfter\": %.3f, "
                             "\"nearParallax\": %.2f, "
                             "\"farParallax\": %.2f, \"nearParallaxPercent\": %.3f, "
                             "\"farParallaxPercent\": %.3f, \"matches\": %d, "
                             "\"offsetA\": %d, \"offsetI\": %d, \"depth\": ",
                             e.verticalOffset, e.rotationDegrees, e.verticalScale,
                             VerticalModelText(e.model), e.residualBefore, e.residualAfter,
                             e.nearParallax, e.farParallax, e.nearParallaxPercent,
                             e.farParallaxPercent, e.matches, offsets.windowA, offsets.i) +
                      JsonString(DepthVerdictText(depth.verdict));
            if (dense)
                r.line += Format(", \"pixelNearParallax\": %.2f, \"pixelFarParallax\": %.2f",
                                 pixels.nearParallax, pixels.farParallax);
        } else {
            r.line += ", \"reason\": " + JsonString(AlignReasonText(e.reason));
        }
        r.line += "}";
        AddWarning(&r, views, true);
        return r;
    }
    r.line = Format("%s: %s, views %d x %d", InputText(input).c_str(), views.format.c_str(),
                    views.left.width, views.left.height);
    if (!confident) {
        r.line += Format("; not aligned: %s (confidence %.2f)", AlignReasonText(e.reason),
                         e.confidence);
        AddWarning(&r, views, false);
        return r;
    }
    r.line += Format("; vertical %+.2f px, rotation %+.3f deg, scale %.4f; %s, rows %.2f px RMS "
                     "apart, %.2f once aligned; parallax near %+.1f px "
                     "(%+.2f %%), far %+.1f px (%+.2f %%); %d matches, confidence %.2f; "
                     "offset %d,%d; depth %s",
                     e.verticalOffset, e.rotationDegrees, e.verticalScale, VerticalModelText(e.model),
                     e.residualBefore, e.residualAfter, e.nearParallax,
                     e.nearParallaxPercent, e.farParallax, e.farParallaxPercent, e.matches,
                     e.confidence, offsets.windowA, offsets.i, DepthVerdictText(depth.verdict));
    if (dense)
        r.line += Format(" (every pixel: near %+.1f px, far %+.1f px)", pixels.nearParallax,
                         pixels.farParallax);
    AddWarning(&r, views, false);
    return r;
}

// The depth command's three files, each placed under its own name.
Outcome Depth(const PairInput& input, const CliOptions& o, OutputBook* book, PairViews* views) {
    Outcome r;
    DepthFiles files;
    std::string error, placedAll;
    if (!MakeDepthFiles(views, o, &files, &error)) {
        r.line = InputText(input) + ": " + error;
        return r;
    }
    const struct {
        const std::vector<uint8_t>* bytes;
        const char *suffix, *extension;
    } outputs[] = {{&files.disparity, "-disparity", ".png"},
                   {&files.depth, "-depth", ".png"},
                   {&files.rgbd, "-rgbd", ".jpg"}};
    for (const auto& f : outputs) {
        std::string placed;
        if (!PlaceOutput(book, OutputName(input, o.outDir, f.suffix, f.extension), *f.bytes,
                         &placed, &error)) {
            r.line = InputText(input) + ": " + error;
            return r;
        }
        placedAll += (placedAll.empty() ? "" : ", ") + placed;
    }
    r.ok = true;
    r.line = InputText(input) + ": " + views->format + " -> " + placedAll;
    if (files.shift > 0) r.line += Format(" (disparities shifted by +%d px)", files.shift);
    AddWarning(&r, *views, false);
    return r;
}

std::string AnaglyphSuffix(const CliOptions& o) {
    return std::string("-anaglyph") +
           (o.mode == AnaglyphMode::RedCyan ? "" : std::string("-") + AnaglyphModeName(o.mode));
}

// Writes the file under the pair's output name; the report line either way.
Outcome Finish(const PairInput& input, const CliOptions& o, OutputBook* book, const PairViews& views,
               const std::vector<uint8_t>& file, const std::string& suffix,
               const std::string& extension) {
    Outcome r;
    std::string placed, error;
    if (!PlaceOutput(book, OutputName(input, o.outDir, suffix, extension), file, &placed, &error)) {
        r.line = InputText(input) + ": " + error;
        return r;
    }
    r.ok = true;
    r.line = InputText(input) + ": " + views.format + " -> " + placed;
    AddWarning(&r, views, false);
    return r;
}

// The work on an opened input, while its share of the budget is held: every
// picture made here is gone before the share is given back.
Outcome Work(const PairInput& input, const CliOptions& o, OutputBook* book, PairSource& source) {
    Outcome r;
    PairViews views;
    std::string error;
    std::vector<uint8_t> file;
    if (o.command == CliCommand::Anaglyph) {
        const StreamResult streamed = StreamAnaglyph(source, o, &file, &views, &error);
        if (streamed == StreamResult::Done) return Finish(input, o, book, views, file, AnaglyphSuffix(o), ".jpg");
        if (streamed == StreamResult::Failed) {
            r.line = InputText(input) + ": " + error;
            return r;
        }
    }
    if (!DecodePair(&source, o.cross, o.swap, &views, &error)) {
        r.line = InputText(input) + ": " + error;
        return r;
    }
    if (o.command == CliCommand::Info) return Info(input, views, o);
    if (o.command == CliCommand::Depth) return Depth(input, o, book, &views);

    std::string suffix, extension = ".jpg";
    bool made = false;
    if (o.command == CliCommand::Anaglyph) {
        suffix = AnaglyphSuffix(o);
        made = AnaglyphFile(&views, o, &file, &error);
    } else {
        AlignedPair aligned;
        made = AlignPair(&views, o, &aligned, nullptr, &error) && LayoutFile(aligned, o, &file, &error);
        const bool alignedName = o.command == CliCommand::Align;
        suffix = alignedName ? std::string("-aligned") +
                                   (o.layout == PairLayout::Parallel ? "" : LayoutSuffix(o.layout))
                             : LayoutSuffix(o.layout);
        extension = LayoutExtension(o.layout);
    }
    if (!made) {
        r.line = InputText(input) + ": " + error;
        return r;
    }
    return Finish(input, o, book, views, file, suffix, extension);
}

Outcome RunOne(const PairInput& input, const CliOptions& o, OutputBook* book, PixelBudget& budget) {
    Outcome r;
    PairSource source;
    std::string error;
    if (!OpenPair(input, &source, &error)) {
        r.line = InputText(input) + ": " + error;
        return r;
    }
    if (source.pixels > static_cast<int64_t>(o.maxMegapixels) * 1000000) {
        r.line = InputText(input) + ": " + OverBudget(source, o.maxMegapixels);
        return r;
    }
    const BudgetShare share(budget, source.pixels);
    return Work(input, o, book, source);
}

}  // namespace

int QUB_CliRun(const std::vector<std::string>& args, FILE* out, FILE* err) {
    CliOptions o;
    const std::string usage = ParseCliOptions(args, &o);
    if (!usage.empty()) {
        fprintf(err, "qubstereo-cli: %s\n", usage.c_str());
        return 2;
    }
    if (o.command == CliCommand::Help) {
        fputs(CliHelpText(), out);
        return 0;
    }
    std::string reason;
    if (!o.outDir.empty() && !CliIsFolder(o.outDir) && !CliMakeFolder(o.outDir, &reason)) {
        fprintf(err, "qubstereo-cli: --out %s is not a folder and cannot be made (%s)\n",
                o.outDir.c_str(), reason.c_str());
        return 2;
    }
    std::vector<std::string> problems;
    const std::vector<PairInput> pairs = ListPairs(o.inputs, o.twoFiles, &problems);
    for (const std::string& p : problems) fprintf(err, "%s\n", p.c_str());
    OutputBook book;
    book.overwrite = o.overwrite;
    for (const PairInput& p : pairs) {
        AddInput(&book, p.left);
        if (!p.right.empty()) AddInput(&book, p.right);
    }

    std::vector<Outcome> outcomes(pairs.size());
    std::mutex lock;
    std::condition_variable done;
    std::atomic<size_t> next{0};
    PixelBudget budget(static_cast<int64_t>(o.maxMegapixels) * 1000000);
    const size_t workers = std::min<size_t>(
        pairs.size(), static_cast<size_t>(o.jobs > 0 ? o.jobs : std::max(1, CliCores())));
    // The depth map's matching shares its rows among threads: the cores the
    // jobs leave over, so that jobs and threads together do not crowd them.
    const int jobsAtOnce = static_cast<int>(std::max<size_t>(workers, 1));
    o.threadsPerJob = std::max(1, std::max(1, CliCores()) / jobsAtOnce);
    std::vector<std::thread> threads;
    for (size_t w = 0; w < workers; ++w)
        threads.emplace_back([&] {
            for (size_t k = next++; k < pairs.size(); k = next++) {
                Outcome r = RunOne(pairs[k], o, &book, budget);
                std::lock_guard<std::mutex> hold(lock);
                outcomes[k] = std::move(r);
                outcomes[k].finished = true;
                done.notify_all();
            }
        });

    // Lines in the order of the inputs, as each becomes ready.
    const bool progress = pairs.size() > 1 && CliIsTerminal(err);
    int failed = static_cast<int>(problems.size()), succeeded = 0, listed = 0;
    if (o.json && o.command == CliCommand::Info) fputs("[\n", out);
    for (size_t k = 0; k < pairs.size(); ++k) {
        std::unique_lock<std::mutex> hold(lock);
        done.wait(hold, [&] { return outcomes[k].finished; });
        const Outcome r = outcomes[k];
        hold.unlock();
        if (progress) fputs("\r\x1b[K", err);
        if (r.ok) {
            ++(r.warned ? failed : succeeded);
            ++listed;
            if (o.json && o.command == CliCommand::Info)
                fprintf(out, "%s  %s", listed > 1 ? ",\n" : "", r.line.c_str());
            else
                fprintf(out, "%s\n", r.line.c_str());
        } else {
            ++failed;
            fprintf(err, "%s\n", r.line.c_str());
        }
        fflush(out);
        if (progress) fprintf(err, "[%zu/%zu] ", k + 1, pairs.size());
    }
    for (std::thread& t : threads) t.join();
    if (progress) fputs("\r\x1b[K", err);
    if (o.json && o.command == CliCommand::Info) fputs(listed > 0 ? "\n]\n" : "]\n", out);
    if (pairs.size() + problems.size() > 1) fprintf(err, "%d done, %d failed\n", succeeded, failed);
    if (succeeded == 0 && failed == 0) {
        fprintf(err, "qubstereo-cli: no pictures to process\n");
        return 1;
    }
    return failed > 0 ? 1 : 0;
}
