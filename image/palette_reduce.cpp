#include "image/palette_reduce.h"

#include <cstddef>
#include <vector>

namespace {

constexpr int kLevelsR = 6, kLevelsG = 7, kLevelsB = 6;

// Open-addressed set of up to 256 colours with their palette index; a colour
// is stored with bit 24 set so that 0 marks a free place.
class ExactPalette {
public:
    // Index of `colour`, adding it when new; -1 once a 257th colour appears.
    int IndexOf(uint32_t colour) {
        const uint32_t key = (colour & 0xFFFFFFu) | 0x1000000u;
        size_t at = (key * 2654435761u) >> 23;  // 9 bits: 512 places
        while (keys_[at] != 0) {
            if (keys_[at] == key) return index_[at];
            at = (at + 1) & 511u;
        }
        if (count_ == 256) return -1;
        keys_[at] = key;
        index_[at] = static_cast<uint8_t>(count_);
        colours_[count_] = colour & 0xFFFFFFu;
        return count_++;
    }
    int Count() const { return count_; }
    uint32_t Colour(int i) const { return colours_[i]; }

private:
    uint32_t keys_[512] = {};
    uint8_t index_[512] = {};
    uint32_t colours_[256] = {};
    int count_ = 0;
};

int Level(uint32_t channel, int levels) {
    return static_cast<int>((channel * static_cast<uint32_t>(levels - 1) + 127u) / 255u);
}

uint32_t LevelValue(int level, int levels) {
    return static_cast<uint32_t>(level * 255 / (levels - 1));
}

int CubeIndex(uint32_t colour) {
    const int r = Level((colour >> 16) & 255u, kLevelsR);
    const int g = Level((colour >> 8) & 255u, kLevelsG);
    const int b = Level(colour & 255u, kLevelsB);
    return (r * kLevelsG + g) * kLevelsB + b;
}

int CubePalette(uint32_t (&palette)[256]) {
    int n = 0;
    for (int r = 0; r < kLevelsR; ++r)
        for (int g = 0; g < kLevelsG; ++g)
            for (int b = 0; b < kLevelsB; ++b)
                palette[n++] = LevelValue(r, kLevelsR) << 16 | LevelValue(g, kLevelsG) << 8 |
                               LevelValue(b, kLevelsB);
    return n;
}

}  // namespace

int QUB_ReduceToPalette(const uint32_t* pixels, int width, int height, uint8_t* indices,
                        int stride, uint32_t (&palette)[256]) {
    // The set is 3 KiB: on the heap so that deep callers keep their stack.
    std::vector<ExactPalette> holder(1);
    ExactPalette& exact = holder[0];
    bool fits = true;
    for (int y = 0; y < height && fits; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        uint8_t* out = indices + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int x = 0; x < width; ++x) {
            const int i = exact.IndexOf(row[x]);
            if (i < 0) {
                fits = false;
                break;
            }
            out[x] = static_cast<uint8_t>(i);
        }
    }
    if (fits) {
        for (int i = 0; i < exact.Count(); ++i) palette[i] = exact.Colour(i);
        return exact.Count();
    }
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        uint8_t* out = indices + static_cast<size_t>(y) * static_cast<size_t>(stride);
        for (int x = 0; x < width; ++x) out[x] = static_cast<uint8_t>(CubeIndex(row[x]));
    }
    return CubePalette(palette);
}
