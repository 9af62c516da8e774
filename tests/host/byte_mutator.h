// Deterministic edits of valid files for the fuzz tests: bit flips, random
// bytes, extreme or size-like 16- and 32-bit values in either byte order,
// cuts, deletions and repeated spans.
#pragma once
#include <algorithm>
#include <cstdint>

#include "tests/host/formats_builders.h"

struct Rng {
    uint64_t state;
    uint32_t Next() {  // xorshift64*
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return static_cast<uint32_t>((state * 0x2545F4914F6CDD1DULL) >> 32);
    }
    size_t Below(size_t n) { return n == 0 ? 0 : Next() % n; }
};

// Header fields are where sizes, counts and offsets live: half the edits land
// in the first 128 bytes.
inline size_t Position(Rng& r, size_t size) {
    return r.Below(2) == 0 ? r.Below(size < 128 ? size : 128) : r.Below(size);
}

inline void Mutate(Bytes& b, Rng& r) {
    static const uint32_t kValues[] = {0,     1,     2,          3,          0x7F,
                                       0x80,  0xFF,  0x7FFF,     0x8000,     0xFFFF,
                                       23170, 65500, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    const size_t edits = 1 + r.Below(4);
    for (size_t e = 0; e < edits && !b.empty(); ++e) {
        const size_t at = Position(r, b.size());
        const uint32_t value = r.Below(3) == 0
                                   ? static_cast<uint32_t>(b.size() - r.Below(3))
                                   : kValues[r.Below(sizeof(kValues) / sizeof(kValues[0]))];
        const int width = r.Below(2) ? 2 : 4;
        switch (r.Below(6)) {
            case 0: b[at] = static_cast<uint8_t>(b[at] ^ (1u << r.Below(8))); break;
            case 1: b[at] = static_cast<uint8_t>(r.Next()); break;
            case 2:
                if (at + static_cast<size_t>(width) <= b.size())
                    PutInt(b, at, width == 2 ? value & 0xFFFF : value, width, r.Below(2) == 0);
                break;
            case 3: b.resize(r.Below(b.size())); break;
            case 4:
                b.erase(b.begin() + static_cast<long>(at),
                        b.begin() + static_cast<long>(std::min(at + 1 + r.Below(16), b.size())));
                break;
            default: {
                const size_t n = 1 + r.Below(16 < b.size() - at ? 16 : b.size() - at);
                const Bytes span(b.begin() + static_cast<long>(at),
                                 b.begin() + static_cast<long>(at + n));
                b.insert(b.begin() + static_cast<long>(Position(r, b.size())), span.begin(),
                         span.end());
                break;
            }
        }
    }
}
