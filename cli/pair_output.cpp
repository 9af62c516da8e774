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

// Keeps the w x h part of `p` at (x, y), moved to the start of its own
// buffer: each row moves to an address at or before its own.
void CutInPlace(CliPicture* p, int x, int y, int w, int h) {
    for (int row = 0; row < h; ++row)
        std::memmove(p->pixels.data() + static_cast<size_t>(row) * w,
                     p->pixels.data() + static_cast<size_t>(row + y) * p->width + x,
                     static_cast<size_t>(w) * 4);
    p->pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    p->width = w;
    p->height = h;
}

// Views of one size, the right one replaced by its resampling into the left
// one's frame when aligning automatically; (a, i) to compose them with.
bool Prepare(PairViews* views, const CliOptions& o, int* a, int* i, PairEstimate* estimate,
             std::string* error) {
    const CliPicture& l = views->left;
    CliPicture& r = views->right;
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
        CliPicture resampled = Blank(l.width, l.height);
        ResampleRightView(e, r.pixels.data(), r.width, r.height, offsets.i,
                          resampled.pixels.data());
        r = std::move(resampled);
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
    if (o.haveOffset) {
        *a = o.offsetA;
        *i = o.offsetI;
    }
    return true;
}

// A JPEG of w x h whose row y `row` writes into the buffer it is given.
template <class RowMaker>
bool EncodeRows(int w, int h, const CliOptions& o, std::vector<uint8_t>* out, std::string* error,
                RowMaker row) {
    CliJpegWriter* writer = CliBeginJpeg(w, h, o.quality, FullChroma(o));
    bool ok = writer != nullptr;
    std::vector<uint32_t> buffer(ok ? static_cast<size_t>(w) : 0);
    for (int y = 0; y < h && ok; ++y) ok = CliJpegRow(writer, row(y, buffer.data()));
    if (writer && !CliEndJpeg(writer, out)) ok = false;
    if (!ok) *error = "JPEG encoder failed";
    return ok;
}

bool Encode(const CliPicture& p, const CliOptions& o, std::vector<uint8_t>* out, std::string* error) {
    return EncodeRows(p.width, p.height, o, out, error, [&p](int y, uint32_t*) {
        return p.pixels.data() + static_cast<size_t>(y) * p.width;
    });
}

// Two views of one size side by side (`across`) or one above the other.
bool EncodeJoined(const CliPicture& first, const CliPicture& second, bool across,
                  const CliOptions& o, std::vector<uint8_t>* out, std::string* error) {
    const int w = first.width, h = first.height;
    return EncodeRows(across ? 2 * w : w, across ? h : 2 * h, o, out, error,
                      [&](int y, uint32_t* row) -> const uint32_t* {
                          if (!across)
                              return (y < h ? first : second).pixels.data() +
                                     static_cast<size_t>(y % h) * w;
                          const uint32_t* a = first.pixels.data() + static_cast<size_t>(y) * w;
                          const uint32_t* b = second.pixels.data() + static_cast<size_t>(y) * w;
                          std::copy(a, a + w, row);
                          std::copy(b, b + w, row + w);
                          return row;
                      });
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

bool AlignPair(PairViews* views, const CliOptions& options, AlignedPair* out,
               PairEstimate* estimate, std::string* error) {
    if (!Prepare(views, options, &out->a, &out->i, estimate, error)) return false;
    const int half = views->left.width, height = views->left.height;
    const int a = out->a, i = out->i;
    const StereoOverlap overlap = AlignedOverlap(half, height, a, i);
    if (overlap.width == 0 || overlap.height == 0) {
        *error = "the offset leaves no overlap of the views";
        return false;
    }
    // As MakeWiggleFrames aligns them (compose.h), cut to the overlap.
    CutInPlace(&views->left, a > 0 ? a : 0, i > 0 ? i : 0, overlap.width, overlap.height);
    CutInPlace(&views->right, a < 0 ? -a : 0, i < 0 ? -i : 0, overlap.width, overlap.height);
    out->left = std::move(views->left);
    out->right = std::move(views->right);
    views->left = CliPicture();
    views->right = CliPicture();
    return true;
}

bool AnaglyphFile(PairViews* views, const CliOptions& options, std::vector<uint8_t>* file,
                  std::string* error) {
    int a = 0, i = 0;
    if (!Prepare(views, options, &a, &i, nullptr, error)) return false;
    const int half = views->left.width, height = views->left.height;
    const StereoOverlap overlap = AlignedOverlap(half, height, a, i);
    if (overlap.width == 0 || overlap.height == 0) {
        *error = "the offset leaves no overlap of the views";
        return false;
    }
    // Each output row is the anaglyph of a one-row pair of views: the rows
    // the vertical offset brings together, composed with the horizontal one.
    const uint32_t* l = views->left.pixels.data() + static_cast<size_t>(i > 0 ? i : 0) * half;
    const uint32_t* r = views->right.pixels.data() + static_cast<size_t>(i < 0 ? -i : 0) * half;
    std::vector<uint32_t> composed(static_cast<size_t>(half));
    return EncodeRows(overlap.width, overlap.height, options, file, error,
                      [&](int y, uint32_t*) {
                          MakeAnaglyphMode(options.mode, half, 1, l + static_cast<size_t>(y) * half,
                                           r + static_cast<size_t>(y) * half, composed.data(), a,
                                           0, false);
                          return composed.data();
                      });
}

bool LayoutFile(const AlignedPair& pair, const CliOptions& options, std::vector<uint8_t>* file,
                std::string* error) {
    const CliPicture& l = pair.left;
    const CliPicture& r = pair.right;
    switch (options.layout) {
        case PairLayout::Parallel: return EncodeJoined(l, r, true, options, file, error);
        case PairLayout::Cross: return EncodeJoined(r, l, true, options, file, error);
        case PairLayout::OverUnder: return EncodeJoined(l, r, false, options, file, error);
        case PairLayout::Mpo: {
            std::vector<uint8_t> a, b;
            if (!Encode(l, options, &a, error) || !Encode(r, options, &b, error))
                return false;
            if (QUB_WriteMpo(a.data(), a.size(), b.data(), b.size(), file)) return true;
            *error = "views too large for an MPO";
            return false;
        }
        case PairLayout::Jps: {
            std::vector<uint8_t> jpeg;
            if (!EncodeJoined(r, l, true, options, &jpeg, error)) return false;
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
