#include "cli/pair_input.h"

#include <utility>

#include "formats/jps.h"
#include "formats/mpo_reader.h"

namespace {

// The probe's verdict on a whole file; a JPEG cut before its end gets its end
// marker, as the program does.
bool ProbeFile(std::vector<uint8_t>& bytes, PictureProbe* probe, std::string* error) {
    *probe = QUB_ProbePicture(bytes.data(), bytes.size());
    if (probe->verdict != kProbeSound) {
        *error = std::string(QUB_PictureFormatName(probe->format)) + " refused: " +
                 QUB_ProbeVerdictText(probe->verdict);
        return false;
    }
    if (probe->needsEndMarker) {
        bytes.push_back(0xFF);
        bytes.push_back(0xD9);
    }
    return true;
}

bool ReadProbed(const std::string& path, std::vector<uint8_t>* bytes, PictureProbe* probe,
                std::string* error) {
    return CliReadFile(path, bytes, error) && ProbeFile(*bytes, probe, error);
}

int64_t Pixels(int w, int h) { return static_cast<int64_t>(w) * h; }

// The plan's note says what the program opens instead of a pair ("MPO views
// differ in size: first view opened"); the companion opens nothing, so only
// what was found is told.
std::string NotAPair(const char* note) {
    const std::string found = note ? note : "";
    return "not a stereo pair: " + found.substr(0, found.find(':'));
}

bool OpenStereoFile(PairSource* s, std::string* error) {
    s->plan = QUB_PlanPair(s->kind, s->bytes.data(), s->bytes.size());
    const PairPlan& plan = s->plan;
    if (plan.refused) {
        *error = std::string(s->kind == kPairMpo ? "MPO" : "JPS") + " refused: " +
                 (plan.note ? plan.note : "");
        return false;
    }
    if (!plan.pair) {
        *error = NotAPair(plan.note);
        return false;
    }
    const PairView* v = plan.views;
    s->pixels = Pixels(v[0].streamWidth, v[0].streamHeight);
    // A JPS holds both views in its one stream, decoded once.
    if (v[1].offset != v[0].offset) {
        s->pixels += Pixels(v[1].streamWidth, v[1].streamHeight);
    } else {
        s->width = v[0].streamWidth;
        s->height = v[0].streamHeight;
    }
    return true;
}

bool DecodeStream(const std::vector<uint8_t>& bytes, uint64_t offset, uint64_t size, int width,
                  int height, const CliCut* cuts, int count, std::string* error,
                  std::string* warning) {
    std::string complaint;
    if (!CliDecodeCuts(bytes.data() + offset, static_cast<size_t>(size), width, height, cuts, count,
                       error, &complaint))
        return false;
    if (warning->empty()) *warning = complaint;
    return true;
}

CliPicture Sized(int w, int h) {
    CliPicture p;
    p.width = w;
    p.height = h;
    return p;
}

}  // namespace

PairKind PairKindOf(const std::string& name, const uint8_t* data, size_t size) {
    const MpoLayout mpo = QUB_ReadMpo(data, size);
    if (mpo.verdict == kMpoSound) {
        // A camera's single JPEG may carry an MP index too, for its preview.
        int views = 0;
        for (int k = 0; k < mpo.count; ++k)
            if (mpo.images[k].type == kMpoTypeDisparity || mpo.images[k].type == kMpoTypeMultiAngle)
                ++views;
        if (views >= 2) return kPairMpo;
        // Libraries type their entries primary or undefined: two pictures of
        // one size are a pair all the same, as the plan takes them.
        if (QUB_PlanPair(kPairMpo, data, size).pair) return kPairMpo;
    }
    if (QUB_ReadJps(data, size).present) return kPairJps;
    return QUB_PairKindFromName(name.c_str());
}

bool OpenPair(const PairInput& input, PairSource* out, std::string* error) {
    *out = PairSource();
    if (!input.right.empty()) {
        if (!ReadProbed(input.left, &out->bytes, &out->probe, error)) return false;
        if (!ReadProbed(input.right, &out->rightBytes, &out->rightProbe, error)) {
            *error = "right view: " + *error;
            return false;
        }
        out->pixels = Pixels(out->probe.width, out->probe.height) +
                      Pixels(out->rightProbe.width, out->rightProbe.height);
        return true;
    }
    if (!CliReadFile(input.left, &out->bytes, error)) return false;
    out->kind = PairKindOf(input.left, out->bytes.data(), out->bytes.size());
    if (out->kind != kPairNone) return OpenStereoFile(out, error);
    if (!ProbeFile(out->bytes, &out->probe, error)) return false;
    if (out->probe.width < 2) {
        *error = "picture too narrow to hold two views";
        return false;
    }
    out->width = out->probe.width;
    out->height = out->probe.height;
    out->pixels = Pixels(out->width, out->height);
    return true;
}

bool DecodePair(PairSource* s, bool cross, bool swap, PairViews* out, std::string* error) {
    *out = PairViews();
    bool ok = true;
    if (!s->rightBytes.empty()) {
        const PictureProbe& l = s->probe;
        const PictureProbe& r = s->rightProbe;
        out->left = Sized(l.width, l.height);
        out->right = Sized(r.width, r.height);
        const CliCut left = {0, 0, &out->left}, right = {0, 0, &out->right};
        ok = DecodeStream(s->bytes, 0, s->bytes.size(), l.width, l.height, &left, 1, error,
                          &out->warning);
        if (ok && !DecodeStream(s->rightBytes, 0, s->rightBytes.size(), r.width, r.height, &right,
                                1, error, &out->warning)) {
            *error = "right view: " + *error;
            ok = false;
        }
        out->format = std::string("two ") + QUB_PictureFormatName(l.format) + " files";
    } else if (s->kind != kPairNone) {
        const PairView* v = s->plan.views;
        out->left = Sized(v[0].width, v[0].height);
        out->right = Sized(v[1].width, v[1].height);
        const CliCut cuts[2] = {{v[0].srcX, v[0].srcY, &out->left},
                                {v[1].srcX, v[1].srcY, &out->right}};
        if (v[1].offset == v[0].offset) {
            ok = DecodeStream(s->bytes, v[0].offset, v[0].size, v[0].streamWidth,
                              v[0].streamHeight, cuts, 2, error, &out->warning);
        } else {
            for (int k = 0; k < 2 && ok; ++k)
                ok = DecodeStream(s->bytes, v[k].offset, v[k].size, v[k].streamWidth,
                                  v[k].streamHeight, &cuts[k], 1, error, &out->warning);
        }
        out->format = s->kind == kPairMpo ? "MPO" : "JPS";
    } else {
        // As the program splits: an odd width's last column is in neither view.
        const int half = s->width / 2;
        out->left = Sized(half, s->height);
        out->right = Sized(half, s->height);
        const CliCut cuts[2] = {{cross ? half : 0, 0, &out->left},
                                {cross ? 0 : half, 0, &out->right}};
        ok = DecodeStream(s->bytes, 0, s->bytes.size(), s->width, s->height, cuts, 2, error,
                          &out->warning);
        out->format = std::string("side-by-side ") + QUB_PictureFormatName(s->probe.format);
    }
    std::vector<uint8_t>().swap(s->bytes);
    std::vector<uint8_t>().swap(s->rightBytes);
    if (!ok) return false;
    if (swap) std::swap(out->left, out->right);
    return true;
}

bool ReadPairViews(const PairInput& input, bool cross, bool swap, PairViews* out,
                   std::string* error) {
    PairSource source;
    return OpenPair(input, &source, error) && DecodePair(&source, cross, swap, out, error);
}
