#include "cli/cli_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

struct LayoutName {
    const char* name;
    PairLayout layout;
    const char* extension;
    const char* suffix;
};
constexpr LayoutName kLayouts[] = {
    {"parallel", PairLayout::Parallel, ".jpg", "-parallel"},
    {"cross", PairLayout::Cross, ".jpg", "-cross"},
    {"overunder", PairLayout::OverUnder, ".jpg", "-overunder"},
    {"mpo", PairLayout::Mpo, ".mpo", ""},
    {"jps", PairLayout::Jps, ".jps", ""},
    {"gif", PairLayout::Gif, ".gif", "-wiggle"},
};

// A whole decimal integer in [low, high]; nothing else on the text.
bool ParseInt(const std::string& text, long low, long high, int* out) {
    if (text.empty() || text.size() > 12) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) return false;
    *out = static_cast<int>(v);
    return true;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// Which commands each option means something to; any other use is refused
// rather than ignored, so that a mistyped command line does not run quietly.
enum : unsigned { kAnaglyph = 1, kAlign = 2, kConvert = 4, kInfo = 8, kDepth = 16 };
constexpr unsigned kPairWriters = kAnaglyph | kAlign | kConvert;
constexpr unsigned kWriters = kPairWriters | kDepth;
constexpr struct {
    const char* name;
    unsigned commands;
} kOptionCommands[] = {
    {"--cross", kWriters | kInfo}, {"--swap", kWriters | kInfo}, {"--pairs", kWriters | kInfo},
    {"--jobs", kWriters | kInfo},  {"--align", kWriters},        {"--offset", kPairWriters},
    {"--quality", kWriters},       {"--out", kWriters},          {"--overwrite", kWriters},
    {"--chroma", kWriters},
    {"--mode", kAnaglyph},         {"--to", kAlign | kConvert},  {"--delay", kAlign | kConvert},
    {"--json", kInfo},             {"--screen", kInfo},
};
constexpr struct {
    const char* name;
    CliCommand command;
    unsigned bit;
} kCommands[] = {{"anaglyph", CliCommand::Anaglyph, kAnaglyph},
                 {"align", CliCommand::Align, kAlign},
                 {"convert", CliCommand::Convert, kConvert},
                 {"info", CliCommand::Info, kInfo},
                 {"depth", CliCommand::Depth, kDepth}};

// Empty when `option` (known or not) may be given to the command `bit`;
// else the reason, naming the commands that take it.
std::string NotForCommand(const std::string& option, const std::string& command, unsigned bit) {
    for (const auto& o : kOptionCommands) {
        if (option != o.name || (o.commands & bit)) continue;
        std::string takers;
        for (const auto& c : kCommands)
            if (o.commands & c.bit) takers += std::string(takers.empty() ? "" : ", ") + c.name;
        return option + " does not apply to " + command + " (only to " + takers + ")";
    }
    return "";
}

}  // namespace

const char* LayoutExtension(PairLayout layout) {
    for (const LayoutName& l : kLayouts)
        if (l.layout == layout) return l.extension;
    return ".jpg";
}

const char* LayoutSuffix(PairLayout layout) {
    for (const LayoutName& l : kLayouts)
        if (l.layout == layout) return l.suffix;
    return "";
}

std::string ParseCliOptions(const std::vector<std::string>& args, CliOptions* out) {
    *out = CliOptions();
    if (args.empty()) return "no command given (try --help)";
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") return "";
    unsigned commandBit = 0;
    for (const auto& c : kCommands)
        if (command == c.name) {
            out->command = c.command;
            commandBit = c.bit;
        }
    if (commandBit == 0) return "unknown command " + Quoted(command) + " (try --help)";

    bool layoutGiven = false, inputsOnly = false;
    for (size_t k = 1; k < args.size(); ++k) {
        const std::string& a = args[k];
        if (inputsOnly || a.empty() || a[0] != '-' || a == "-") {
            out->inputs.push_back(a);
            continue;
        }
        if (a == "--") {
            inputsOnly = true;
            continue;
        }
        // Options with a value take it from the next argument or after '='.
        std::string name = a, value;
        bool haveValue = false;
        const size_t eq = a.find('=');
        if (eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            haveValue = true;
        }
        auto take = [&](std::string* v) {
            if (haveValue) {
                *v = value;
                return true;
            }
            if (k + 1 >= args.size()) return false;
            *v = args[++k];
            return true;
        };
        const std::string misplaced = NotForCommand(name, command, commandBit);
        if (!misplaced.empty()) return misplaced;
        std::string v;
        if (name == "--help" || name == "-h") {
            out->command = CliCommand::Help;
            return "";
        } else if (name == "--cross") {
            out->cross = true;
        } else if (name == "--swap") {
            out->swap = true;
        } else if (name == "--pairs") {
            out->twoFiles = true;
        } else if (name == "--align") {
            out->autoAlign = true;
        } else if (name == "--overwrite") {
            out->overwrite = true;
        } else if (name == "--json") {
            out->json = true;
        } else if (name == "--mode") {
            if (!take(&v)) return "--mode needs a value";
            if (!ParseAnaglyphMode(v.c_str(), &out->mode))
                return "unknown anaglyph mode " + Quoted(v) +
                       " (redcyan, grey, colour, half, optimised, dubois)";
        } else if (name == "--to") {
            if (!take(&v)) return "--to needs a value";
            bool found = false;
            for (const LayoutName& l : kLayouts)
                if (v == l.name) {
                    out->layout = l.layout;
                    found = true;
                }
            if (!found)
                return "unknown layout " + Quoted(v) + " (parallel, cross, overunder, mpo, jps, gif)";
            layoutGiven = true;
        } else if (name == "--offset") {
            if (!take(&v)) return "--offset needs a value";
            const size_t comma = v.find(',');
            if (comma == std::string::npos ||
                !ParseInt(v.substr(0, comma), -100000, 100000, &out->offsetA) ||
                !ParseInt(v.substr(comma + 1), -100000, 100000, &out->offsetI))
                return "--offset wants two whole numbers a,i, e.g. --offset 12,-3";
            out->haveOffset = true;
        } else if (name == "--delay") {
            if (!take(&v) || !ParseInt(v, 20, 655350, &out->delayMs))
                return "--delay wants milliseconds from 20 to 655350";
        } else if (name == "--quality") {
            if (!take(&v) || !ParseInt(v, 1, 100, &out->quality))
                return "--quality wants a whole number from 1 to 100";
        } else if (name == "--chroma") {
            if (!take(&v)) return "--chroma needs a value";
            if (v == "444")
                out->chroma = JpegChroma::Full;
            else if (v == "420")
                out->chroma = JpegChroma::Half;
            else
                return "unknown chroma sampling " + Quoted(v) + " (444, 420)";
        } else if (name == "--jobs") {
            if (!take(&v) || !ParseInt(v, 1, 256, &out->jobs))
                return "--jobs wants a whole number from 1 to 256";
        } else if (name == "--max-megapixels") {
            if (!take(&v) || !ParseInt(v, 1, 100000, &out->maxMegapixels))
                return "--max-megapixels wants a whole number from 1 to 100000";
        } else if (name == "--screen") {
            int mm = 0;
            if (!take(&v) || !ParseInt(v, 1, 100000, &mm))
                return "--screen wants the screen width in whole millimetres";
            out->screenMm = mm;
        } else if (name == "--out") {
            if (!take(&v) || v.empty()) return "--out needs a folder";
            out->outDir = v;
        } else {
            return "unknown option " + Quoted(a) + " (try --help)";
        }
    }
    if (out->inputs.empty()) return "no input files or folders given";
    if (out->haveOffset && out->autoAlign) return "--offset and --align exclude each other";
    // align aligns automatically unless a manual offset is given.
    if (out->command == CliCommand::Align && !out->haveOffset) out->autoAlign = true;
    if (out->command == CliCommand::Convert && !layoutGiven)
        return "convert needs --to LAYOUT (parallel, cross, overunder, mpo, jps, gif)";
    return "";
}

bool FullChroma(const CliOptions& o) {
    return o.chroma == JpegChroma::Full ||
           (o.chroma == JpegChroma::Default && o.command == CliCommand::Anaglyph);
}

const char* CliHelpText() {
    return "qubstereo-cli: stereo pairs by the folder.\n"
           "\n"
           "Usage: qubstereo-cli COMMAND [options] FILE|FOLDER...\n"
           "\n"
           "Commands:\n"
           "  anaglyph   write a red/cyan anaglyph of each pair (-anaglyph.jpg)\n"
           "  align      remove the vertical offset, rotation and size difference (and\n"
           "             two cameras' keystone and lens difference in the rows), place\n"
           "             the stereo window, and write the aligned pair (-aligned...);\n"
           "             with --offset a,i the manual alignment instead\n"
           "  convert    write each pair in another layout (--to, required)\n"
           "  info       sizes, format, alignment estimate, parallax (over every pixel)\n"
           "             and depth budget\n"
           "  depth      the depth of each pair's left view: -disparity.png (16-bit grey,\n"
           "             disparity x 16, 0 where none; shifted by whole pixels when the\n"
           "             farthest would be below one sixteenth, as its line says),\n"
           "             -depth.png (8-bit, near white) and -rgbd.jpg (view | depth)\n"
           "\n"
           "Inputs: side-by-side pictures (left view on the left), .mpo, .jps, or two\n"
           "files per pair: NAME_L / NAME_R (also -L/-R, .L/.R, left/right) are paired\n"
           "by name, or --pairs takes the inputs two at a time. Folders are read whole.\n"
           "\n"
           "Options (before the colon: the commands that take it, any other refuses it;\n"
           "no colon: every command):\n"
           "  --mode M        anaglyph: redcyan (the program's own), grey, colour, half,\n"
           "                  optimised, dubois                         [redcyan]\n"
           "  --to L          align, convert: parallel, cross, overunder, mpo, jps, gif\n"
           "                                                            [parallel]\n"
           "  --align         anaglyph, align, convert, depth: align automatically first\n"
           "                  (align does unless --offset)\n"
           "  --offset a,i    anaglyph, align, convert: a manual alignment, as the\n"
           "                  program's arrows set it\n"
           "  --cross         side-by-side inputs are cross-eyed (right view on the left)\n"
           "  --swap          exchange the two views (a reversed pair)\n"
           "  --pairs         take the inputs two at a time: left file, right file\n"
           "  --delay MS      align, convert: wiggle frame time          [100]\n"
           "  --quality Q     anaglyph, align, convert, depth: JPEG quality 1-100 [95]\n"
           "  --chroma S      anaglyph, align, convert, depth: JPEG colour sampling, 444\n"
           "                  (full) or 420 (halved across and down, as cameras write);\n"
           "                  anaglyphs carry depth in colour     [anaglyph 444, else 420]\n"
           "  --screen MM     info: screen width for the 65 mm divergence test\n"
           "  --json          info: one JSON document; bytes of a name that are not\n"
           "                  UTF-8 are written as \\ufffd each\n"
           "  --out DIR       anaglyph, align, convert, depth: write into DIR (made, with\n"
           "                  its parents, if missing) instead of beside each input\n"
           "  --overwrite     anaglyph, align, convert, depth: replace files that existed\n"
           "                  before the run (otherwise NAME_2, NAME_3, ...); never an input,\n"
           "                  nor another output of the same run\n"
           "  --jobs N        files processed at once                    [cores]\n"
           "  --max-megapixels N\n"
           "                  the pixel budget, in millions: an input whose pictures\n"
           "                  hold more is refused before decoding, and jobs wait\n"
           "                  until the inputs in work fit in it together; each\n"
           "                  million takes about 4 MB (6 MB when aligning, 30 MB\n"
           "                  for depth)                                  [100]\n"
           "\n"
           "Examples:\n"
           "  qubstereo-cli anaglyph --align --mode dubois trip/\n"
           "  qubstereo-cli align --to mpo --out aligned/ IMG_0001.jpg IMG_0002.jpg\n"
           "  qubstereo-cli convert --to gif --delay 120 --pairs left.jpg right.jpg\n"
           "  qubstereo-cli info --json --screen 1200 DSCF0001.MPO\n"
           "  qubstereo-cli depth --align --out depth/ trip/\n"
           "\n"
           "Exit code: 0 all files done, 1 some files failed, 2 the command line is unusable.\n"
           "A picture whose data the decoder finds damaged counts as failed; what could be\n"
           "decoded is still written, and its line says so.\n";
}
