#include "cli/pair_output.h"

#include <algorithm>
#include <cstring>

#include "app/compose.h"
#include "cli/anaglyph_modes.h"
#include "formats/gif_writer.h"
#include "formats/jps.h"
#include "formats/mpo_writer.h"

namespace {

CliPicture Blank(int w, int h) {
    CliPicture p;
    p.width = w;
    p.height = h;
    p.pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
    return p;
}

// The top-left w x h of `from` (stride from.width).
CliPicture TopLeft(const CliPicture& from, int w, int h) {
    CliPicture p = Blank(w, h);
    for (int y = 0; y < h; ++y)
        std::memcpy(p.pixels.data() + static_cast<size_t>(y) * w,
                    from.pixels.data() + static_cast<size_t>(y) * from.width,
                    static_cast<size_t>(w) * 4);
    return p;
}

// Views of one size, the right one resampled into the left one's frame when
// aligning automatically; (a, i) to compose them with.
bool Prepare(const PairViews& views, const CliOptions& o, CliPicture* right, int* a, int* i,
             PairEstimate* estimate, std::string* error) {
    const CliPicture& l = views.left;
    const CliPicture& r = views.right;
    *a = *i = 0;
    if (o.autoAlign) {
        const PairEstimate e = EstimatePairAlignment(l.pixels.data(), l.width, l.height,
                                                     r.pixels.data(), r.width, r.height);
        if (estimate) *estimate = e;
        if (e.confidence < kAlignConfident) {
            *error = std::string("cannot align: ") + AlignReasonText(e.reason);
            return false;
        }
        const StereoOffsets offsets = OffsetsFor(e);
        *right = Blank(l.width, l.height);
        ResampleRightView(e, r.pixels.data(), r.width, r.height, offsets.i, right->pixels.data());
        *a = offsets.windowA;
        *i = offsets.i;
        return true;
    }
    if (l.width != r.width || l.height != r.height) {
        *error = "views differ in size (" + std::to_string(l.width) + " x " +
                 std::to_string(l.height) + " and " + std::to_string(r.width) + " x " +
                 std::to_string(r.height) + "); --align can match them";
        return false;
    }
    *right = r;
    if (o.haveOffset) {
        *a = o.offsetA;
        *i = o.offsetI;
    }
    return true;
}

bool Encode(const CliPicture& p, int quality, std::vector<uint8_t>* out, std::string* error) {
    if (CliEncodeJpeg(p.pixels.data(), p.width, p.height, static_cast<size_t>(p.width), quality,
                      out))
        return true;
    *error = "JPEG encoder failed";
    return false;
}

GifFrameView Frame(const CliPicture& p) {
    return {reinterpret_cast<const uint8_t*>(p.pixels.data()), p.width, p.height,
            static_cast<size_t>(p.width) * 4};
}

}  // namespace

CliPicture JoinViews(const CliPicture& first, const CliPicture& second, bool across) {
    const int w = first.width, h = first.height;
    CliPicture p = Blank(across ? 2 * w : w, across ? h : 2 * h);
    for (int y = 0; y < h; ++y) {
        const uint32_t* a = first.pixels.data() + static_cast<size_t>(y) * w;
        const uint32_t* b = second.pixels.data() + static_cast<size_t>(y) * w;
        if (across) {
            uint32_t* row = p.pixels.data() + static_cast<size_t>(y) * 2 * w;
            std::copy(a, a + w, row);
            std::copy(b, b + w, row + w);
        } else {
            std::copy(a, a + w, p.pixels.data() + static_cast<size_t>(y) * w);
            std::copy(b, b + w, p.pixels.data() + static_cast<size_t>(y + h) * w);
        }
    }
    return p;
}

bool AlignPair(const PairViews& views, const CliOptions& options, AlignedPair* out,
               PairEstimate* estimate, std::string* error) {
    CliPicture right;
    if (!Prepare(views, options, &right, &out->a, &out->i, estimate, error)) return false;
    const int half = views.left.width, height = views.left.height;
    const StereoOverlap overlap = AlignedOverlap(half, height, out->a, out->i);
    if (overlap.width == 0 || overlap.height == 0) {
        *error = "the offset leaves no overlap of the views";
        return false;
    }
    CliPicture l = Blank(half, height), r = Blank(half, height);
    MakeWiggleFrames(half, height, views.left.pixels.data(), right.pixels.data(), l.pixels.data(),
                     r.pixels.data(), out->a, out->i);
    out->left = TopLeft(l, overlap.width, overlap.height);
    out->right = TopLeft(r, overlap.width, overlap.height);
    return true;
}

bool AnaglyphFile(const PairViews& views, const CliOptions& options, std::vector<uint8_t>* file,
                  std::string* error) {
    CliPicture right;
    int a = 0, i = 0;
    if (!Prepare(views, options, &right, &a, &i, nullptr, error)) return false;
    const int half = views.left.width, height = views.left.height;
    const StereoOverlap overlap = AlignedOverlap(half, height, a, i);
    if (overlap.width == 0 || overlap.height == 0) {
        *error = "the offset leaves no overlap of the views";
        return false;
    }
    CliPicture composed = Blank(half, height);
    MakeAnaglyphMode(options.mode, half, height, views.left.pixels.data(), right.pixels.data(),
                     composed.pixels.data(), a, i, false);
    return Encode(TopLeft(composed, overlap.width, overlap.height), options.quality, file, error);
}

bool LayoutFile(const AlignedPair& pair, const CliOptions& options, std::vector<uint8_t>* file,
                std::string* error) {
    const CliPicture& l = pair.left;
    const CliPicture& r = pair.right;
    switch (options.layout) {
        case PairLayout::Parallel: return Encode(JoinViews(l, r, true), options.quality, file, error);
        case PairLayout::Cross: return Encode(JoinViews(r, l, true), options.quality, file, error);
        case PairLayout::OverUnder:
            return Encode(JoinViews(l, r, false), options.quality, file, error);
        case PairLayout::Mpo: {
            std::vector<uint8_t> a, b;
            if (!Encode(l, options.quality, &a, error) || !Encode(r, options.quality, &b, error))
                return false;
            if (QUB_WriteMpo(a.data(), a.size(), b.data(), b.size(), file)) return true;
            *error = "views too large for an MPO";
            return false;
        }
        case PairLayout::Jps: {
            std::vector<uint8_t> jpeg;
            if (!Encode(JoinViews(r, l, true), options.quality, &jpeg, error)) return false;
            if (QUB_WriteJps(jpeg.data(), jpeg.size(), false, file)) return true;
            *error = "JPS descriptor could not be added";
            return false;
        }
        case PairLayout::Gif: {
            const GifVerdict v =
                QUB_WriteWiggleGif(Frame(l), Frame(r), (options.delayMs + 5) / 10, file);
            if (v == kGifWritten) return true;
            *error = std::string("GIF not written: ") + QUB_GifVerdictText(v);
            return false;
        }
    }
    *error = "unknown layout";
    return false;
}
