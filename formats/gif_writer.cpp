// GIF89a writer for the two-frame wiggle.
//
// Palette: median cut over a joint histogram of both views in 5-bit-per-
// channel cells, each cell standing for the mean of the colours that fell in
// it. Median cut rather than an octree because it puts entries where the
// pixels are: the box with the largest squared error is cut at the weighted
// median of its widest channel, so a sky of close blues gets many entries and
// a few saturated pixels few. Ordered dithering can only mix neighbouring
// entries, so evenly populated boxes matter more to it than to error
// diffusion. An octree's boxes are fixed by the colours' bit patterns and,
// pruned to 256 leaves, folds whole branches at once. The histogram has 32768
// cells whatever the picture size, so the cut costs the same for a thumbnail
// as for two megapixels.
//
// Dithering: an 8 x 8 Bayer threshold, the same for the three channels (it
// moves colours along the grey axis, which keeps edges where they are), added
// before the nearest-entry lookup. Its amplitude is the distance from the
// entry nearest the undithered colour to that entry's nearest neighbour:
// small in a dense part of the palette, large enough in a sparse one to mix
// two entries. Nothing depends on neighbouring pixels -- error diffusion
// would carry the views' differences into the parts they share.
//
// Nearest entries come from a 64 x 64 x 64 table of cell centres, filled on
// first use: a photograph visits a small part of it, so two megapixels cost
// far fewer than 2^18 searches of the palette.
//
// Disposal: "do not dispose". Every frame covers the whole screen and has no
// transparent pixel, so nothing of the previous frame could show through;
// "restore to background" lets a viewer that clears before drawing flash the
// background colour between the views.
#include "formats/gif_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "image/buffer_layout.h"

namespace {

constexpr int kMaxColours = 256;
constexpr uint32_t kMaxCodes = 4096;  // 12-bit LZW codes
constexpr int kMaxCodeBits = 12;
constexpr int kDisposalKeep = 1;
constexpr int kMaxAmplitude = 48;  // dither noise beyond this costs more than it mixes

inline uint32_t ColourAt(const uint8_t* p) {
    return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

// ---------------------------------------------------------------------------
// Exact colours

// The distinct colours of a pair with at most 256 of them, in order of first
// appearance, each with its index. Open addressing in four times the slots.
class ColourSet {
  public:
    ColourSet() { std::memset(keys_, 0, sizeof keys_); }

    // False once a 257th colour is offered; the set is then of no use.
    bool Add(uint32_t colour) {
        const uint32_t slot = Find(colour);
        if (keys_[slot] != 0) return true;
        if (count_ == kMaxColours) return false;
        keys_[slot] = colour | kUsed;
        index_[slot] = static_cast<uint8_t>(count_);
        colours_[count_++] = colour;
        return true;
    }
    // `colour` must have been added.
    uint8_t IndexOf(uint32_t colour) const { return index_[Find(colour)]; }
    int count() const { return count_; }
    uint32_t colour(int i) const { return colours_[i]; }

  private:
    static constexpr uint32_t kSlots = 1024;
    static constexpr uint32_t kUsed = 0x01000000;  // colours have 24 bits, so 0 means empty
    uint32_t Find(uint32_t colour) const {
        uint32_t slot = (colour * 2654435761u) >> 22;
        while (keys_[slot] != 0 && keys_[slot] != (colour | kUsed))
            slot = (slot + 1) & (kSlots - 1);
        return slot;
    }
    uint32_t keys_[kSlots];
    uint8_t index_[kSlots];
    uint32_t colours_[kMaxColours];
    int count_ = 0;
};

bool CollectColours(const GifFrameView* views, ColourSet* set) {
    for (int v = 0; v < 2; ++v) {
        const GifFrameView& f = views[v];
        for (int y = 0; y < f.height; ++y) {
            const uint8_t* row = f.pixels + f.stride * static_cast<size_t>(y);
            uint32_t last = ~0u;
            for (int x = 0; x < f.width; ++x) {
                const uint32_t c = ColourAt(row + 4 * x);
                if (c == last) continue;
                if (!set->Add(c)) return false;
                last = c;
            }
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Median cut

struct Cell {
    uint64_t count;
    uint64_t sum[3];  // R, G, B of the pixels in the cell
    float mean[3];
};

struct Box {
    size_t begin, end;  // cells[begin, end)
    double error;       // weighted squared distance of the cells from the box mean
    int channel;        // the one with the largest variance, cut next
};

void Measure(const std::vector<Cell>& cells, Box* box) {
    double n = 0, s[3] = {0, 0, 0}, s2[3] = {0, 0, 0};
    for (size_t i = box->begin; i < box->end; ++i) {
        const Cell& c = cells[i];
        n += static_cast<double>(c.count);
        for (int k = 0; k < 3; ++k) {
            const double sum = static_cast<double>(c.sum[k]);
            s[k] += sum;
            s2[k] += sum * c.mean[k];
        }
    }
    box->error = 0;
    box->channel = 0;
    double widest = -1;
    for (int k = 0; k < 3; ++k) {
        const double spread = s2[k] - s[k] * s[k] / n;
        box->error += spread;
        if (spread > widest) widest = spread, box->channel = k;
    }
}

uint32_t MeanColour(const std::vector<Cell>& cells, const Box& box) {
    uint64_t n = 0, s[3] = {0, 0, 0};
    for (size_t i = box.begin; i < box.end; ++i) {
        n += cells[i].count;
        for (int k = 0; k < 3; ++k) s[k] += cells[i].sum[k];
    }
    uint32_t c[3];
    for (int k = 0; k < 3; ++k) c[k] = static_cast<uint32_t>((s[k] + n / 2) / n);
    return c[0] << 16 | c[1] << 8 | c[2];
}

// Fills `palette` from both views; returns the number of entries (1..256).
int MedianCut(const GifFrameView* views, uint32_t* palette) {
    std::vector<Cell> grid(32768, Cell{0, {0, 0, 0}, {0, 0, 0}});
    for (int v = 0; v < 2; ++v) {
        const GifFrameView& f = views[v];
        for (int y = 0; y < f.height; ++y) {
            const uint8_t* p = f.pixels + f.stride * static_cast<size_t>(y);
            for (int x = 0; x < f.width; ++x, p += 4) {
                Cell& c = grid[(p[2] >> 3) << 10 | (p[1] >> 3) << 5 | p[0] >> 3];
                ++c.count;
                c.sum[0] += p[2];
                c.sum[1] += p[1];
                c.sum[2] += p[0];
            }
        }
    }
    std::vector<Cell> cells;
    for (Cell& c : grid) {
        if (c.count == 0) continue;
        for (int k = 0; k < 3; ++k)
            c.mean[k] =
                static_cast<float>(static_cast<double>(c.sum[k]) / static_cast<double>(c.count));
        cells.push_back(c);
    }

    std::vector<Box> boxes;
    boxes.reserve(kMaxColours);
    boxes.push_back(Box{0, cells.size(), 0, 0});
    Measure(cells, &boxes[0]);
    while (boxes.size() < kMaxColours) {
        Box* worst = nullptr;
        for (Box& b : boxes)
            if (b.end - b.begin > 1 && (!worst || b.error > worst->error)) worst = &b;
        if (!worst || worst->error <= 0) break;
        const int k = worst->channel;
        std::sort(cells.begin() + static_cast<std::ptrdiff_t>(worst->begin),
                  cells.begin() + static_cast<std::ptrdiff_t>(worst->end),
                  [k](const Cell& l, const Cell& r) { return l.mean[k] < r.mean[k]; });
        uint64_t total = 0, below = 0;
        for (size_t i = worst->begin; i < worst->end; ++i) total += cells[i].count;
        size_t cut = worst->begin + 1;
        for (size_t i = worst->begin; i + 1 < worst->end; ++i) {
            below += cells[i].count;
            cut = i + 1;
            if (2 * below >= total) break;
        }
        Box upper{cut, worst->end, 0, 0};
        worst->end = cut;
        Measure(cells, worst);
        Measure(cells, &upper);
        boxes.push_back(upper);
    }
    for (size_t i = 0; i < boxes.size(); ++i) palette[i] = MeanColour(cells, boxes[i]);
    return static_cast<int>(boxes.size());
}

// ---------------------------------------------------------------------------
// Ordered dithering

constexpr uint8_t kBayer8[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

class Ditherer {
  public:
    Ditherer(const uint32_t* palette, int count)
        : palette_(palette), count_(count), nearest_(new uint16_t[kCells]) {
        std::fill(nearest_.get(), nearest_.get() + kCells, kUnset);
        for (int i = 0; i < count; ++i) {
            int best = INT32_MAX;
            for (int j = 0; j < count; ++j)
                if (j != i) best = std::min(best, Distance(palette[i], palette[j]));
            const int amplitude =
                best == INT32_MAX ? 0 : static_cast<int>(std::lround(std::sqrt(best)));
            amplitude_[i] = std::min(amplitude, kMaxAmplitude);
        }
    }

    void MapRow(const uint8_t* p, int width, int y, uint8_t* out) {
        const uint8_t* threshold = kBayer8[y & 7];
        for (int x = 0; x < width; ++x, p += 4) {
            const int r = p[2], g = p[1], b = p[0];
            const int plain = Nearest(r, g, b);
            const int offset = (2 * threshold[x & 7] - 63) * amplitude_[plain] / 128;
            out[x] = static_cast<uint8_t>(
                offset == 0 ? plain
                            : Nearest(Clamp(r + offset), Clamp(g + offset), Clamp(b + offset)));
        }
    }

  private:
    static constexpr size_t kCells = size_t{1} << 18;
    static constexpr uint16_t kUnset = 0xFFFF;

    static int Distance(uint32_t a, uint32_t b) {
        const int dr = static_cast<int>(a >> 16 & 0xFF) - static_cast<int>(b >> 16 & 0xFF);
        const int dg = static_cast<int>(a >> 8 & 0xFF) - static_cast<int>(b >> 8 & 0xFF);
        const int db = static_cast<int>(a & 0xFF) - static_cast<int>(b & 0xFF);
        return dr * dr + dg * dg + db * db;
    }
    static int Clamp(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

    int Nearest(int r, int g, int b) {
        const size_t cell = static_cast<size_t>(r >> 2) << 12 | static_cast<size_t>(g >> 2) << 6 |
                            static_cast<size_t>(b >> 2);
        uint16_t& slot = nearest_[cell];
        if (slot == kUnset) {
            // The cell's centre, so that the answer does not depend on which
            // colour of the cell came first.
            const uint32_t centre = static_cast<uint32_t>((r & ~3) + 2) << 16 |
                                    static_cast<uint32_t>((g & ~3) + 2) << 8 |
                                    static_cast<uint32_t>((b & ~3) + 2);
            int best = INT32_MAX;
            for (int i = 0; i < count_; ++i) {
                const int d = Distance(centre, palette_[i]);
                if (d < best) best = d, slot = static_cast<uint16_t>(i);
            }
        }
        return slot;
    }

    const uint32_t* palette_;
    int count_;
    std::unique_ptr<uint16_t[]> nearest_;
    int amplitude_[kMaxColours];
};

// ---------------------------------------------------------------------------
// LZW

// Codes packed from the low bit up into sub-blocks of at most 255 bytes.
// Strings are found by (prefix code, next index) in a hash table of twice the
// codes, emptied at every clear code.
class LzwWriter {
  public:
    LzwWriter(std::vector<uint8_t>* out, int minCodeSize)
        : out_(out), minCodeSize_(minCodeSize), clear_(1u << minCodeSize) {
        out_->push_back(static_cast<uint8_t>(minCodeSize));
        Reset();
        Emit(clear_);
    }

    void Add(const uint8_t* indices, int count) {
        for (int i = 0; i < count; ++i) {
            const uint32_t k = indices[i];
            if (prefix_ < 0) {
                prefix_ = static_cast<int>(k);
                continue;
            }
            const uint32_t key = (static_cast<uint32_t>(prefix_) << 8 | k) + 1;
            uint32_t slot = (key * 2654435761u) >> (32 - kSlotBits);
            while (keys_[slot] != 0 && keys_[slot] != key) slot = (slot + 1) & (kSlots - 1);
            if (keys_[slot] == key) {
                prefix_ = codes_[slot];
                continue;
            }
            Emit(static_cast<uint32_t>(prefix_));
            if (next_ < kMaxCodes) {
                keys_[slot] = key;
                codes_[slot] = static_cast<uint16_t>(next_++);
                // The decoder adds this string one code later, when it sees
                // the string's last index; it widens when its table reaches
                // 1 << bits, which is when ours passes it.
                if (next_ > (1u << bits_) && bits_ < kMaxCodeBits) ++bits_;
            } else {
                Emit(clear_);
                Reset();
            }
            prefix_ = static_cast<int>(k);
        }
    }

    void Finish() {
        if (prefix_ >= 0) {
            Emit(static_cast<uint32_t>(prefix_));
            // The decoder adds a string on reading that code too and may
            // widen before the end code. (Not after a clear, when it adds
            // none, but then next_ is far below 1 << bits_.)
            if (next_ == (1u << bits_) && bits_ < kMaxCodeBits) ++bits_;
        }
        Emit(clear_ + 1);
        if (pending_ > 0) Put(static_cast<uint8_t>(acc_));
        FlushBlock();
        out_->push_back(0);
    }

  private:
    static constexpr int kSlotBits = 13;
    static constexpr uint32_t kSlots = 1u << kSlotBits;

    void Reset() {
        std::memset(keys_, 0, sizeof keys_);
        next_ = clear_ + 2;
        bits_ = minCodeSize_ + 1;
    }
    void Emit(uint32_t code) {
        acc_ |= code << pending_;
        pending_ += bits_;
        while (pending_ >= 8) {
            Put(static_cast<uint8_t>(acc_));
            acc_ >>= 8;
            pending_ -= 8;
        }
    }
    void Put(uint8_t byte) {
        block_[blockBytes_++] = byte;
        if (blockBytes_ == 255) FlushBlock();
    }
    void FlushBlock() {
        if (blockBytes_ == 0) return;
        out_->push_back(static_cast<uint8_t>(blockBytes_));
        out_->insert(out_->end(), block_, block_ + blockBytes_);
        blockBytes_ = 0;
    }

    std::vector<uint8_t>* out_;
    int minCodeSize_;
    uint32_t clear_;     // the end code is clear_ + 1
    uint32_t next_ = 0;  // the code the next new string gets
    int bits_ = 0;       // width of the next code written
    int prefix_ = -1;    // code of the string matched so far; -1 before the first index
    uint32_t acc_ = 0;   // bits not yet written, low bit first
    int pending_ = 0;    // how many of them
    uint8_t block_[255];
    int blockBytes_ = 0;
    uint32_t keys_[kSlots];   // (prefix << 8 | index) + 1; 0 is empty
    uint16_t codes_[kSlots];  // the string's code
};

// ---------------------------------------------------------------------------
// File layout

void PutLe16(std::vector<uint8_t>* out, uint32_t v) {
    out->push_back(static_cast<uint8_t>(v & 0xFF));
    out->push_back(static_cast<uint8_t>(v >> 8 & 0xFF));
}

void PutScreen(std::vector<uint8_t>* out, int width, int height, const uint32_t* palette,
               int tableBits) {
    static const uint8_t kHeader[6] = {'G', 'I', 'F', '8', '9', 'a'};
    out->insert(out->end(), kHeader, kHeader + 6);
    PutLe16(out, static_cast<uint32_t>(width));
    PutLe16(out, static_cast<uint32_t>(height));
    // Global table present, 8 bits per primary, not sorted, its size.
    out->push_back(static_cast<uint8_t>(0x80 | 7 << 4 | (tableBits - 1)));
    out->push_back(0);  // background index
    out->push_back(0);  // square pixels
    for (int i = 0; i < 1 << tableBits; ++i) {
        const uint32_t c = palette[i];
        out->push_back(static_cast<uint8_t>(c >> 16 & 0xFF));
        out->push_back(static_cast<uint8_t>(c >> 8 & 0xFF));
        out->push_back(static_cast<uint8_t>(c & 0xFF));
    }
    static const uint8_t kLoopForever[19] = {0x21, 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A', 'P',
                                             'E',  '2',  '.', '0', 3,   1,   0,   0,   0};
    out->insert(out->end(), kLoopForever, kLoopForever + 19);
}

void PutFrameHead(std::vector<uint8_t>* out, int width, int height, int delay) {
    out->push_back(0x21);
    out->push_back(0xF9);
    out->push_back(4);
    out->push_back(kDisposalKeep << 2);  // no user input, no transparent index
    PutLe16(out, static_cast<uint32_t>(delay));
    out->push_back(0);
    out->push_back(0);
    out->push_back(0x2C);
    PutLe16(out, 0);
    PutLe16(out, 0);
    PutLe16(out, static_cast<uint32_t>(width));
    PutLe16(out, static_cast<uint32_t>(height));
    out->push_back(0);  // no local table, not interlaced
}

GifVerdict CheckView(const GifFrameView& f) {
    if (!f.pixels) return kGifNoPixels;
    if (f.width < 1 || f.height < 1) return kGifBadSize;
    int64_t bytes = 0;
    if (f.width > kGifMaxSide || f.height > kGifMaxSide ||
        !QUB_BufferBytes(f.width, f.height, 32, &bytes))
        return kGifTooLarge;
    const size_t rowBytes = static_cast<size_t>(f.width) * 4;
    if (f.stride < rowBytes) return kGifBadStride;
    // The last row's start must be addressable; on a 32-bit build a stride
    // far past the row can wrap the offset.
    if (f.height > 1 && f.stride > (SIZE_MAX - rowBytes) / static_cast<size_t>(f.height - 1))
        return kGifTooLarge;
    return kGifWritten;
}

}  // namespace

GifVerdict QUB_WriteWiggleGif(const GifFrameView& first, const GifFrameView& second,
                              int delayCentiseconds, std::vector<uint8_t>* out) {
    if (!out) return kGifNoPixels;
    out->clear();
    GifVerdict verdict = CheckView(first);
    if (verdict == kGifWritten) verdict = CheckView(second);
    if (verdict != kGifWritten) return verdict;
    if (first.width != second.width || first.height != second.height) return kGifSizesDiffer;

    const GifFrameView views[2] = {first, second};
    uint32_t palette[kMaxColours] = {};
    // Large (5 KB); on the heap for the sake of small worker-thread stacks.
    std::unique_ptr<ColourSet> exact(new ColourSet);
    int count = 0;
    std::unique_ptr<Ditherer> ditherer;
    if (CollectColours(views, exact.get())) {
        count = exact->count();
        for (int i = 0; i < count; ++i) palette[i] = exact->colour(i);
    } else {
        exact.reset();
        count = MedianCut(views, palette);
        ditherer.reset(new Ditherer(palette, count));
    }
    int tableBits = 1;
    while ((1 << tableBits) < count) ++tableBits;

    const int width = first.width, height = first.height;
    const int delay = std::clamp(delayCentiseconds, kGifMinDelay, kGifMaxDelay);
    PutScreen(out, width, height, palette, tableBits);
    std::vector<uint8_t> row(static_cast<size_t>(width));
    std::unique_ptr<LzwWriter> lzw;
    for (const GifFrameView& f : views) {
        PutFrameHead(out, width, height, delay);
        lzw.reset(new LzwWriter(out, std::max(2, tableBits)));
        for (int y = 0; y < height; ++y) {
            const uint8_t* p = f.pixels + f.stride * static_cast<size_t>(y);
            if (ditherer) {
                ditherer->MapRow(p, width, y, row.data());
            } else {
                uint32_t last = ~0u;
                uint8_t index = 0;
                for (int x = 0; x < width; ++x, p += 4) {
                    const uint32_t c = ColourAt(p);
                    if (c != last) index = exact->IndexOf(c), last = c;
                    row[x] = index;
                }
            }
            lzw->Add(row.data(), width);
        }
        lzw->Finish();
    }
    out->push_back(0x3B);
    return kGifWritten;
}

const char* QUB_GifVerdictText(GifVerdict verdict) {
    switch (verdict) {
        case kGifWritten: return "written";
        case kGifNoPixels: return "no pixels";
        case kGifBadSize: return "width or height below 1";
        case kGifTooLarge: return "picture too large";
        case kGifBadStride: return "rows overlap";
        case kGifSizesDiffer: return "views differ in size";
    }
    return "unknown verdict";
}
