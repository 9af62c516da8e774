#include "cli/input_list.h"

#include <algorithm>
#include <map>

#include "formats/stereo_plan.h"

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

size_t NamePart(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? 0 : slash + 1;
}

std::string Extension(const std::string& path) {
    const size_t start = NamePart(path);
    const size_t dot = path.find_last_of('.');
    return dot == std::string::npos || dot < start ? "" : Lower(path.substr(dot));
}

constexpr const char* kOutputMarks[] = {"-anaglyph", "-aligned", "-wiggle", "-parallel",
                                        "-cross", "-overunder"};

}  // namespace

bool IsPictureName(const std::string& name) {
    static const char* const kExtensions[] = {".jpg", ".jpeg", ".jpe", ".png", ".bmp", ".gif",
                                              ".tif", ".tiff", ".mpo", ".jps"};
    const std::string e = Extension(name);
    for (const char* k : kExtensions)
        if (e == k) return true;
    return false;
}

bool IsOutputName(const std::string& name) {
    std::string stem = Lower(StemOf(name));
    // A counter the collision naming added.
    const size_t under = stem.find_last_of('_');
    if (under != std::string::npos && under + 1 < stem.size() &&
        stem.find_first_not_of("0123456789", under + 1) == std::string::npos)
        stem.resize(under);
    for (const char* mark : kOutputMarks)
        if (stem.find(mark) != std::string::npos &&
            (EndsWith(stem, mark) || stem.find(std::string(mark) + "-") != std::string::npos))
            return true;
    return false;
}

std::string FolderOf(const std::string& path) { return path.substr(0, NamePart(path)); }

std::string StemOf(const std::string& path) {
    const std::string name = path.substr(NamePart(path));
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool SplitEyeMark(const std::string& stem, std::string* base, bool* isLeft) {
    const std::string lower = Lower(stem);
    static const struct {
        const char* mark;
        bool left;
    } kMarks[] = {{"left", true}, {"right", false}, {"l", true}, {"r", false}};
    for (const auto& m : kMarks) {
        const std::string mark = m.mark;
        if (lower.size() < mark.size() + 2 || !EndsWith(lower, mark)) continue;
        const char separator = lower[lower.size() - mark.size() - 1];
        if (separator != '_' && separator != '-' && separator != '.' && separator != ' ') continue;
        *base = stem.substr(0, stem.size() - mark.size() - 1);
        *isLeft = m.left;
        return true;
    }
    return false;
}

std::vector<PairInput> ListPairs(const std::vector<std::string>& inputs, bool twoAtATime,
                                 std::vector<std::string>* problems) {
    std::vector<std::string> files;
    for (const std::string& in : inputs) {
        if (!CliIsFolder(in)) {
            files.push_back(in);
            continue;
        }
        std::vector<std::string> names;
        std::vector<CliBrokenEntry> broken;
        std::string error;
        if (!CliListFolder(in, &names, &broken, &error)) {
            problems->push_back(in + ": folder cannot be read (" + error + ")");
            continue;
        }
        std::sort(names.begin(), names.end());
        std::string folder = in;
        if (folder.back() != '/' && folder.back() != '\\') folder += '/';
        size_t taken = 0;
        for (const std::string& n : names)
            if (IsPictureName(n) && !IsOutputName(n)) {
                files.push_back(folder + n);
                ++taken;
            }
        // A picture's name on a link that leads nowhere, or on a FIFO: the
        // user meant a picture, so it is reported rather than passed over.
        for (const CliBrokenEntry& b : broken)
            if (IsPictureName(b.name) && !IsOutputName(b.name)) {
                problems->push_back(folder + b.name + ": cannot be read (" + b.reason + ")");
                ++taken;
            }
        if (taken == 0) problems->push_back(in + ": no pictures in this folder");
    }
    std::vector<PairInput> pairs;
    if (twoAtATime) {
        for (size_t k = 0; k + 1 < files.size(); k += 2) pairs.push_back({files[k], files[k + 1]});
        if (files.size() % 2) problems->push_back(files.back() + ": has no right view to go with");
        return pairs;
    }
    // Left and right files found by their marks; the pair goes where its
    // first file was.
    std::map<std::string, size_t> waiting;  // folder + base + extension -> index in files
    std::vector<PairInput> at(files.size());
    std::vector<bool> taken(files.size(), false);
    for (size_t k = 0; k < files.size(); ++k) {
        at[k].left = files[k];
        std::string base;
        bool left = false;
        if (!SplitEyeMark(StemOf(files[k]), &base, &left)) continue;
        const std::string key = Lower(FolderOf(files[k]) + base + Extension(files[k]));
        const auto found = waiting.find(key);
        if (found == waiting.end()) {
            waiting[key] = k;
            continue;
        }
        const size_t other = found->second;
        std::string otherBase;
        bool otherLeft = false;
        SplitEyeMark(StemOf(files[other]), &otherBase, &otherLeft);
        if (otherLeft == left) continue;  // two left files: each stays alone
        at[other] = {left ? files[k] : files[other], left ? files[other] : files[k]};
        taken[k] = true;
        waiting.erase(found);
    }
    for (size_t k = 0; k < files.size(); ++k) {
        if (taken[k]) continue;
        // A marked file left without its partner is half a pair, not a
        // side-by-side picture; MPO and JPS files hold both views whatever
        // their names say.
        std::string base;
        bool left = false;
        if (at[k].right.empty() && QUB_PairKindFromName(files[k].c_str()) == kPairNone &&
            SplitEyeMark(StemOf(files[k]), &base, &left)) {
            problems->push_back(std::string(left ? "no right view for " : "no left view for ") + files[k]);
            continue;
        }
        pairs.push_back(at[k]);
    }
    return pairs;
}

std::string OutputName(const PairInput& pair, const std::string& outDir, const std::string& suffix,
                       const std::string& extension) {
    std::string stem = StemOf(pair.left), base;
    bool left = false;
    if (!pair.right.empty() && SplitEyeMark(stem, &base, &left)) stem = base;
    std::string folder = outDir.empty() ? FolderOf(pair.left) : outDir;
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') folder += '/';
    return folder + stem + suffix + extension;
}

std::string CountedName(const std::string& name, int n) {
    const size_t start = NamePart(name);
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot < start) dot = name.size();
    return name.substr(0, dot) + "_" + std::to_string(n) + name.substr(dot);
}
