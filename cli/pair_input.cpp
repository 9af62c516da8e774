#include "cli/pair_input.h"

#include <algorithm>
#include <utility>

#include "formats/picture_probe.h"
#include "formats/stereo_plan.h"

namespace {

// The probe's verdict first, then the decoder; a JPEG cut before its end gets
// its end marker, as the program does.
bool DecodeChecked(std::vector<uint8_t>& bytes, size_t offset, size_t size, CliPicture* out,
                   std::string* error, PictureFormat* format) {
    const PictureProbe probe = QUB_ProbePicture(bytes.data() + offset, size);
    *format = probe.format;
    if (probe.verdict != kProbeSound) {
        *error = std::string(QUB_PictureFormatName(probe.format)) + " refused: " +
                 QUB_ProbeVerdictText(probe.verdict);
        return false;
    }
    if (probe.needsEndMarker) {
        if (offset + size != bytes.size()) {
            *error = "view cut short";
            return false;
        }
        bytes.push_back(0xFF);
        bytes.push_back(0xD9);
        size += 2;
    }
    return CliDecode(bytes.data() + offset, size, probe.width, probe.height, out, error);
}

// The part (x, y, w, h) of `from`.
CliPicture Crop(const CliPicture& from, int x, int y, int w, int h) {
    CliPicture p;
    p.width = w;
    p.height = h;
    p.pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    for (int row = 0; row < h; ++row) {
        const uint32_t* src = from.pixels.data() + static_cast<size_t>(row + y) * from.width + x;
        std::copy(src, src + w, p.pixels.data() + static_cast<size_t>(row) * w);
    }
    return p;
}

bool ReadStereoFile(PairKind kind, std::vector<uint8_t>& bytes, PairViews* out,
                    std::string* error) {
    const PairPlan plan = QUB_PlanPair(kind, bytes.data(), bytes.size());
    const char* name = kind == kPairMpo ? "MPO" : "JPS";
    if (plan.refused || !plan.pair) {
        *error = std::string(name) + (plan.refused ? " refused: " : " is not a pair: ") +
                 (plan.note ? plan.note : "");
        return false;
    }
    CliPicture decoded[2];
    CliPicture* views[2] = {&out->left, &out->right};
    for (int k = 0; k < 2; ++k) {
        const PairView& v = plan.views[k];
        // A JPS holds both views in its one stream: decoded once.
        const bool shared = k == 1 && v.offset == plan.views[0].offset;
        PictureFormat format = kPictureUnknown;
        if (!shared && !DecodeChecked(bytes, static_cast<size_t>(v.offset),
                                      static_cast<size_t>(v.size), &decoded[k], error, &format))
            return false;
        *views[k] = Crop(decoded[shared ? 0 : k], v.srcX, v.srcY, v.width, v.height);
    }
    out->format = name;
    return true;
}

bool ReadWhole(const std::string& path, CliPicture* out, std::string* error,
               PictureFormat* format) {
    std::vector<uint8_t> bytes;
    if (!CliReadFile(path, &bytes, error)) return false;
    return DecodeChecked(bytes, 0, bytes.size(), out, error, format);
}

}  // namespace

bool ReadPairViews(const PairInput& input, bool cross, bool swap, PairViews* out,
                   std::string* error) {
    *out = PairViews();
    PictureFormat format = kPictureUnknown;
    if (!input.right.empty()) {
        PictureFormat second = kPictureUnknown;
        if (!ReadWhole(input.left, &out->left, error, &format)) return false;
        if (!ReadWhole(input.right, &out->right, error, &second)) {
            *error = "right view: " + *error;
            return false;
        }
        out->format = std::string("two ") + QUB_PictureFormatName(format) + " files";
    } else {
        const PairKind kind = QUB_PairKindFromName(input.left.c_str());
        std::vector<uint8_t> bytes;
        if (!CliReadFile(input.left, &bytes, error)) return false;
        if (kind != kPairNone) {
            if (!ReadStereoFile(kind, bytes, out, error)) return false;
        } else {
            CliPicture pair;
            if (!DecodeChecked(bytes, 0, bytes.size(), &pair, error, &format)) return false;
            if (pair.width < 2) {
                *error = "picture too narrow to hold two views";
                return false;
            }
            const int half = pair.width / 2;
            out->left = Crop(pair, 0, 0, half, pair.height);
            // As the program splits: an odd width's last column is in neither view.
            out->right = Crop(pair, half, 0, half, pair.height);
            out->format = std::string("side-by-side ") + QUB_PictureFormatName(format);
            if (cross) std::swap(out->left, out->right);
        }
    }
    if (swap) std::swap(out->left, out->right);
    return true;
}
