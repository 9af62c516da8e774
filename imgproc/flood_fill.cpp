#include "imgproc/flood_fill.h"

#include <cstdlib>

#include "imgproc/pixel_surface.h"

using qub_px::Surface32;
using qub_px::Surface8;

namespace {

// One bit per pixel, set for every pixel this fill has painted.
class PaintedMap {
public:
    PaintedMap(int width, int height)
        : wordsPerRow_((static_cast<size_t>(width) + 63) / 64),
          bits_(static_cast<uint64_t*>(std::calloc(wordsPerRow_ * static_cast<size_t>(height), 8))) {}
    ~PaintedMap() { std::free(bits_); }
    PaintedMap(const PaintedMap&) = delete;
    PaintedMap& operator=(const PaintedMap&) = delete;

    bool Ok() const { return bits_ != nullptr; }
    bool Test(int x, int y) const {
        return (Row(y)[x >> 6] >> (x & 63)) & 1u;
    }
    // Bits x0..x1 of row y.
    void SetRun(int x0, int x1, int y) {
        uint64_t* row = Row(y);
        int w0 = x0 >> 6;
        const int w1 = x1 >> 6;
        const uint64_t first = ~0ull << (x0 & 63);
        const uint64_t last = ~0ull >> (63 - (x1 & 63));
        if (w0 == w1) {
            row[w0] |= first & last;
            return;
        }
        row[w0++] |= first;
        while (w0 < w1) row[w0++] = ~0ull;
        row[w1] |= last;
    }

private:
    uint64_t* Row(int y) const { return bits_ + static_cast<size_t>(y) * wordsPerRow_; }
    size_t wordsPerRow_;
    uint64_t* bits_;
};

class SeedStack {
public:
    explicit SeedStack(int capacity)
        : capacity_(capacity), xy_(static_cast<int*>(std::malloc(sizeof(int) * 2 * capacity))) {}
    ~SeedStack() { std::free(xy_); }
    SeedStack(const SeedStack&) = delete;
    SeedStack& operator=(const SeedStack&) = delete;

    bool Ok() const { return xy_ != nullptr; }
    bool Push(int x, int y) {
        if (size_ == capacity_) return false;
        xy_[2 * size_] = x;
        xy_[2 * size_ + 1] = y;
        ++size_;
        return true;
    }
    bool Pop(int* x, int* y) {
        if (size_ == 0) return false;
        --size_;
        *x = xy_[2 * size_];
        *y = xy_[2 * size_ + 1];
        return true;
    }

private:
    int capacity_;
    int size_ = 0;
    int* xy_;
};

template <class S>
class Filler {
public:
    using V = typename S::Value;
    Filler(const S& s, V target, V fill, SeedStack& seeds, PaintedMap& painted)
        : s_(s), target_(target), fill_(fill), seeds_(seeds), painted_(painted) {}

    void Run(int x, int y) {
        Push(x, y);
        for (;;) {
            int sx, sy;
            while (seeds_.Pop(&sx, &sy)) {
                if (s_.Get(sx, sy) == target_) FillRun(sx, sy);
            }
            if (droppedHi_ < 0) return;
            const int lo = droppedLo_, hi = droppedHi_;
            droppedLo_ = s_.height;
            droppedHi_ = -1;
            for (int ry = lo; ry <= hi; ++ry) Rescan(ry);
        }
    }

private:
    void Push(int x, int y) {
        if (seeds_.Push(x, y)) return;
        if (y < droppedLo_) droppedLo_ = y;
        if (y > droppedHi_) droppedHi_ = y;
    }

    void FillRun(int x, int y) {
        V* row = s_.Row(y);
        int left = x, right = x;
        while (left > 0 && row[left - 1] == target_) --left;
        while (right + 1 < s_.width && row[right + 1] == target_) ++right;
        for (int k = left; k <= right; ++k) row[k] = fill_;
        painted_.SetRun(left, right, y);
        lastRun = {right, y};
        SeedRows(y, left, right);
    }

    // One seed per stretch of target pixels in the rows above and below the
    // run, both rows walked together so that the seeds go on the stack from
    // left to right, above before below at the same column.
    void SeedRows(int y, int left, int right) {
        const V* above = y > 0 ? s_.Row(y - 1) : nullptr;
        const V* below = y + 1 < s_.height ? s_.Row(y + 1) : nullptr;
        bool aboveOpen = true, belowOpen = true;
        for (int k = left; k <= right; ++k) {
            if (above) Seed(above, k, y - 1, &aboveOpen);
            if (below) Seed(below, k, y + 1, &belowOpen);
        }
    }

    void Seed(const V* row, int k, int y, bool* open) {
        if (row[k] != target_) {
            *open = true;
        } else if (*open) {
            Push(k, y);
            *open = false;
        }
    }

    // Seeds for every stretch of target pixels in row y that touches a pixel
    // this fill painted in the row above or below.
    void Rescan(int y) {
        const V* row = s_.Row(y);
        bool open = true;
        for (int k = 0; k < s_.width; ++k) {
            if (row[k] != target_) {
                open = true;
                continue;
            }
            if (!open) continue;
            const bool touches = (y > 0 && painted_.Test(k, y - 1)) ||
                                 (y + 1 < s_.height && painted_.Test(k, y + 1));
            if (touches) {
                Push(k, y);
                open = false;
            }
        }
    }

public:
    QUB_Pen lastRun = {0, 0};

private:
    S s_;
    V target_, fill_;
    SeedStack& seeds_;
    PaintedMap& painted_;
    int droppedLo_ = 2147483647;
    int droppedHi_ = -1;
};

template <class S>
int Fill(const S& s, int x, int y, uint32_t colour, int seedCount, QUB_Pen* lastRun) {
    if (!qub_px::Inside(s, x, y)) return 0;
    const typename S::Value target = s.Get(x, y);
    const typename S::Value fill = S::Stored(colour);
    if (target == fill) return 0;
    if (seedCount < 1) seedCount = 1;
    SeedStack seeds(seedCount);
    PaintedMap painted(s.width, s.height);
    if (!seeds.Ok() || !painted.Ok()) return 2;
    Filler<S> filler(s, target, fill, seeds, painted);
    filler.Run(x, y);
    if (lastRun) *lastRun = filler.lastRun;
    return 0;
}

}  // namespace

int QUB_FloodFill32(uint32_t* pixels, int width, int height, int x, int y, uint32_t colour,
                    QUB_Pen* lastRun) {
    return Fill(Surface32{pixels, width, height}, x, y, colour, kFloodFillSeeds, lastRun);
}

int QUB_FloodFill8(uint8_t* pixels, int width, int height, int stride, int x, int y, uint32_t colour,
                   QUB_Pen* lastRun) {
    return Fill(Surface8{pixels, width, height, stride}, x, y, colour, kFloodFillSeeds, lastRun);
}

int QUB_FloodFillSeeds32(uint32_t* pixels, int width, int height, int x, int y, uint32_t colour,
                         int seeds, QUB_Pen* lastRun) {
    return Fill(Surface32{pixels, width, height}, x, y, colour, seeds, lastRun);
}

int QUB_FloodFillSeeds8(uint8_t* pixels, int width, int height, int stride, int x, int y,
                        uint32_t colour, int seeds, QUB_Pen* lastRun) {
    return Fill(Surface8{pixels, width, height, stride}, x, y, colour, seeds, lastRun);
}
