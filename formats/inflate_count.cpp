// The DEFLATE walk: a 64-bit bit reader over the spans, Huffman tables of
// one lookup (two for long codes), and the three block types.
#include "formats/inflate_count.h"

namespace probe {

namespace {

// --- Huffman tables ----------------------------------------------------------
// An entry: bits 0-5 the bits to drop (a code's length; a link's root bits;
// in a sub-table what the code has past the root), 6-9 the extra bits that
// follow the code (a link's: its sub-table's index bits), 10-12 the kind,
// 16-31 a value (a length or distance base, a code-length symbol, a
// sub-table's offset). What a symbol means is baked into its entries, so a
// length and its base cost one lookup; and the length in the low six bits is
// what a 64-bit shift takes as it is, which keeps the loop's chain short.
enum Kind : uint32_t { kValue = 0, kLength, kEnd, kInvalid, kLink };

constexpr uint32_t Entry(uint32_t kind, uint32_t bits, uint32_t extra, uint32_t value) {
    return value << 16 | kind << 10 | extra << 6 | bits;
}
uint32_t KindOf(uint32_t e) { return e >> 10 & 7; }
uint32_t BitsOf(uint32_t e) { return e & 63; }
uint32_t ExtraOf(uint32_t e) { return e >> 6 & 15; }
uint32_t ValueOf(uint32_t e) { return e >> 16; }

uint32_t LitLenMeaning(int symbol) {
    static const uint16_t kBase[29] = {3,  4,  5,  6,  7,  8,  9,  10,  11,  13,
                                       15, 17, 19, 23, 27, 31, 35, 43,  51,  59,
                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const uint8_t kExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    if (symbol < 256) return Entry(kValue, 0, 0, 0);
    if (symbol == 256) return Entry(kEnd, 0, 0, 0);
    if (symbol > 285) return Entry(kInvalid, 0, 0, 0);  // 286 and 287 of the fixed code
    return Entry(kLength, 0, kExtra[symbol - 257], kBase[symbol - 257]);
}

uint32_t DistanceMeaning(int symbol) {
    static const uint16_t kBase[30] = {1,    2,    3,    4,     5,     7,    9,    13,
                                       17,   25,   33,   49,    65,    97,   129,  193,
                                       257,  385,  513,  769,   1025,  1537, 2049, 3073,
                                       4097, 6145, 8193, 12289, 16385, 24577};
    if (symbol > 29) return Entry(kInvalid, 0, 0, 0);  // 30 and 31 of the fixed code
    const uint32_t extra = symbol < 4 ? 0 : static_cast<uint32_t>(symbol / 2 - 1);
    return Entry(kValue, 0, extra, kBase[symbol]);
}

uint32_t CodeLengthMeaning(int symbol) {
    return Entry(kValue, 0, 0, static_cast<uint32_t>(symbol));
}

// Root bits: ten cover every code of the common literals in one lookup. A
// sub-table of s bits belongs to a complete subtree, which holds at least
// s + 1 codes, so sub-tables take at most 2^s / (s + 1) entries a symbol:
// 5.3 for 288 symbols behind 10 root bits, 16 for 32 behind 8.
constexpr uint32_t kLitRootBits = 10, kDistRootBits = 8, kCodeRootBits = 7;
constexpr size_t kLitEntries = 1024 + 288 * 16 / 3, kDistEntries = 256 + 32 * 16;

template <size_t N>
struct Table {
    uint32_t root;  // index bits of the first lookup
    uint32_t mask;
    uint32_t e[N];
};

uint32_t Reverse(uint32_t code, uint32_t bits) {
    uint32_t r = 0;
    for (; bits > 0; --bits, code >>= 1) r = r << 1 | (code & 1);
    return r;
}

// The table for `count` code lengths (0: unused symbol). False for a set that
// is over-subscribed, or incomplete other than a single one-bit code where
// `single` allows it (inflate accepts a literal/length or distance code of
// one symbol; an empty set decodes nothing and every lookup is invalid).
template <size_t N>
bool Build(const uint8_t* lengths, int count, uint32_t rootBits, uint32_t (*meaning)(int),
           bool single, Table<N>* t) {
    uint32_t perLength[16] = {};
    for (int s = 0; s < count; ++s) ++perLength[lengths[s]];
    uint32_t longest = 15;
    while (longest > 0 && perLength[longest] == 0) --longest;
    int64_t left = 1;
    for (uint32_t len = 1; len <= 15; ++len) {
        left = 2 * left - perLength[len];
        if (left < 0) return false;
    }
    if (left > 0 && (longest > 1 || (longest == 1 && !single))) return false;
    t->root = longest == 0 ? 1 : longest < rootBits ? longest : rootBits;
    t->mask = (1u << t->root) - 1;
    if (left > 0)
        for (uint32_t i = 0; i <= t->mask; ++i) t->e[i] = Entry(kInvalid, 0, 0, 0);

    // Symbols in canonical order: by length, then by value.
    uint16_t sorted[288];
    uint32_t next[16] = {};
    for (uint32_t len = 1; len < 15; ++len) next[len + 1] = next[len] + perLength[len];
    const uint32_t codes = next[15] + perLength[15];
    for (int s = 0; s < count; ++s)
        if (lengths[s] != 0) sorted[next[lengths[s]]++] = static_cast<uint16_t>(s);

    uint32_t code = 0, previous = codes > 0 ? lengths[sorted[0]] : 0;
    uint32_t prefix = UINT32_MAX, sub = 0, subBits = 0;
    size_t used = size_t{1} << t->root;
    for (uint32_t k = 0; k < codes; ++k, ++code) {
        const uint32_t len = lengths[sorted[k]];
        code <<= len - previous;
        previous = len;
        const uint32_t entry = meaning(sorted[k]);
        if (len <= t->root) {
            for (uint32_t i = Reverse(code, len); i <= t->mask; i += 1u << len)
                t->e[i] = entry | len;
        } else {
            if (code >> (len - t->root) != prefix) {
                // A new subtree: as deep as the codes still to come fill it.
                prefix = code >> (len - t->root);
                subBits = len - t->root;
                for (int64_t room = int64_t{1} << subBits; subBits + t->root < longest;) {
                    room -= perLength[subBits + t->root];
                    if (room <= 0) break;
                    ++subBits;
                    room *= 2;
                }
                sub = static_cast<uint32_t>(used);
                used += size_t{1} << subBits;
                if (used > N) return false;  // cannot happen for a complete code
                t->e[Reverse(prefix, t->root)] = Entry(kLink, t->root, subBits, sub);
            }
            const uint32_t rest = len - t->root;
            for (uint32_t i = Reverse(code & ((1u << rest) - 1), rest); i < (1u << subBits);
                 i += 1u << rest)
                t->e[sub + i] = entry | rest;
        }
        --perLength[len];
    }
    return true;
}

// --- The walk ----------------------------------------------------------------

// Eight bytes, the first lowest: one load on x86.
uint64_t Load64(const uint8_t* p) {
    uint64_t word = 0;
    for (int i = 7; i >= 0; --i) word = word << 8 | p[i];
    return word;
}

class Walk {
public:
    Walk(ByteSpans spans, uint64_t limit) : spans_(spans), limit_(limit) {}
    InflateOutcome Run();
    uint64_t produced() const { return produced_; }

private:
    // At least 48 bits in hand after a true return. Past the last span the
    // reader hands out zero bytes, counted in fake_; once any of them has
    // been used the stream is cut, and that is the answer whatever those
    // zeros seemed to say.
    bool Refill() {
        if (end_ - p_ >= 8) {
            bits_ |= Load64(p_) << have_;
            p_ += (63 - have_) >> 3;
            have_ |= 56;
            return true;
        }
        return RefillSlowly();
    }
    bool RefillSlowly();
    bool NextSpan();
    bool Cut() const { return have_ < fake_; }
    void Drop(uint32_t n) {
        bits_ >>= n;
        have_ -= n;
    }
    uint32_t Take(uint32_t n) {
        const uint32_t v = static_cast<uint32_t>(bits_) & ((1u << n) - 1);
        Drop(n);
        return v;
    }
    template <size_t N>
    uint32_t Decode(const Table<N>& t) {
        uint32_t e = t.e[bits_ & t.mask];
        if (KindOf(e) == kLink) {
            Drop(BitsOf(e));
            e = t.e[ValueOf(e) + (bits_ & ((1u << ExtraOf(e)) - 1))];
        }
        Drop(BitsOf(e));
        return e;
    }
    InflateOutcome Broken() const { return Cut() ? kInflateCut : kInflateBroken; }
    InflateOutcome Past() const { return Cut() ? kInflateCut : kInflatePastLimit; }
    InflateOutcome Stored();
    InflateOutcome Dynamic();
    InflateOutcome Codes(const Table<kLitEntries>& lit, const Table<kDistEntries>& dist);

    ByteSpans spans_;
    uint64_t limit_;
    uint64_t produced_ = 0;
    const uint8_t* p_ = nullptr;    // next byte of the current span
    const uint8_t* end_ = nullptr;  // its end
    bool lastSpan_ = false;         // next() has returned false
    uint64_t bits_ = 0;             // unread bits, the next one lowest
    uint32_t have_ = 0;             // how many of them are valid
    uint32_t fake_ = 0;             // zero bits past the stream's end among them
    bool haveFixed_ = false;
    Table<kLitEntries> lit_, fixedLit_;
    Table<kDistEntries> dist_, fixedDist_;
    Table<128> codeLengths_;
};

bool Walk::NextSpan() {
    const uint8_t* data = nullptr;
    size_t size = 0;
    while (!lastSpan_) {
        lastSpan_ = !spans_.next(spans_.context, &data, &size);
        if (!lastSpan_ && size > 0) {
            p_ = data;
            end_ = data + size;
            return true;
        }
    }
    return false;
}

// Bits above have_ are either zero or those of the bytes still to come from
// this span (the fast refill loads eight), so or-ing a byte in is exact.
bool Walk::RefillSlowly() {
    if (Cut()) return false;
    while (have_ <= 56) {
        if (p_ == end_ && !NextSpan()) {
            have_ += 8;
            fake_ += 8;
            continue;
        }
        bits_ |= uint64_t{*p_++} << have_;
        have_ += 8;
    }
    return true;
}

InflateOutcome Walk::Stored() {
    Drop(have_ & 7);  // to the byte boundary; fake_ is whole bytes
    if (have_ < 32 && !Refill()) return kInflateCut;
    const uint32_t length = Take(16), complement = Take(16);
    if (Cut()) return kInflateCut;
    if (length != (~complement & 0xFFFF)) return kInflateBroken;
    // The block's first bytes may be in hand already.
    const uint32_t inHand = (have_ - fake_) / 8;
    const uint32_t fromHand = length < inHand ? length : inHand;
    Drop(8 * fromHand);
    produced_ += fromHand;
    uint64_t rest = length - fromHand;
    if (rest > 0 && fake_ == 0) {
        bits_ = 0;  // what is left in hand belongs to the bytes skipped here
        have_ = 0;
        while (rest > 0 && (p_ != end_ || NextSpan())) {
            const size_t span = static_cast<size_t>(end_ - p_);
            const size_t step = rest < span ? static_cast<size_t>(rest) : span;
            p_ += step;
            rest -= step;
            produced_ += step;
        }
    }
    if (produced_ > limit_) return kInflatePastLimit;
    return rest > 0 ? kInflateCut : kInflateEnds;
}

InflateOutcome Walk::Dynamic() {
    static const uint8_t kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                       11, 4,  12, 3, 13, 2, 14, 1, 15};
    if (have_ < 48 && !Refill()) return kInflateCut;
    const uint32_t literals = 257 + Take(5), distances = 1 + Take(5), orders = 4 + Take(4);
    if (literals > 286 || distances > 30) return Broken();
    uint8_t lengths[286 + 30] = {};
    for (uint32_t i = 0; i < orders; ++i) {
        if (have_ < 48 && !Refill()) return kInflateCut;
        lengths[kOrder[i]] = static_cast<uint8_t>(Take(3));
    }
    if (!Build(lengths, 19, kCodeRootBits, CodeLengthMeaning, false, &codeLengths_))
        return Broken();
    const uint32_t total = literals + distances;
    for (uint32_t i = 0; i < total;) {
        if (have_ < 48 && !Refill()) return kInflateCut;
        const uint32_t e = Decode(codeLengths_);
        if (KindOf(e) != kValue) return Broken();
        const uint32_t symbol = ValueOf(e);
        if (symbol < 16) {
            lengths[i++] = static_cast<uint8_t>(symbol);
            continue;
        }
        uint8_t value = 0;
        uint32_t repeat = 0;
        if (symbol == 16) {
            if (i == 0) return Broken();
            value = lengths[i - 1];
            repeat = 3 + Take(2);
        } else {
            repeat = symbol == 17 ? 3 + Take(3) : 11 + Take(7);
        }
        if (repeat > total - i) return Broken();
        for (; repeat > 0; --repeat) lengths[i++] = value;
    }
    if (lengths[256] == 0) return Broken();  // no end-of-block code
    if (!Build(lengths, static_cast<int>(literals), kLitRootBits, LitLenMeaning, true, &lit_) ||
        !Build(lengths + literals, static_cast<int>(distances), kDistRootBits, DistanceMeaning,
               true, &dist_))
        return Broken();
    return Codes(lit_, dist_);
}

// The hot loop. One refill covers a whole length and distance pair: at most
// 15 + 5 + 15 + 13 bits. The reader's state lives in locals here, so that it
// stays in registers; it goes back to the members around the slow refill
// and on the way out.
InflateOutcome Walk::Codes(const Table<kLitEntries>& lit, const Table<kDistEntries>& dist) {
    uint64_t bits = bits_, produced = produced_;
    uint32_t have = have_;
    const uint8_t* p = p_;
    auto save = [&] {
        bits_ = bits;
        have_ = have;
        produced_ = produced;
        p_ = p;
    };
    auto take = [&](uint32_t n) {
        const uint32_t v = static_cast<uint32_t>(bits) & ((1u << n) - 1);
        bits >>= n;
        have -= n;
        return v;
    };
    auto decode = [&](auto& t) {
        uint32_t e = t.e[bits & t.mask];
        if (KindOf(e) == kLink) {
            bits >>= BitsOf(e);
            have -= BitsOf(e);
            e = t.e[ValueOf(e) + (bits & ((1u << ExtraOf(e)) - 1))];
        }
        bits >>= BitsOf(e);
        have -= BitsOf(e);
        return e;
    };
    uint32_t kind = kInvalid;
    for (;;) {
        if (have < 48) {
            if (end_ - p >= 8) {
                bits |= Load64(p) << have;
                p += (63 - have) >> 3;
                have |= 56;
            } else {
                save();
                if (!RefillSlowly()) return kInflateCut;
                bits = bits_;
                have = have_;
                p = p_;
            }
        }
        const uint32_t e = decode(lit);
        kind = KindOf(e);
        if (kind == kValue) {
            if (++produced > limit_) break;
            continue;
        }
        if (kind != kLength) break;
        const uint32_t length = ValueOf(e) + take(ExtraOf(e));
        const uint32_t d = decode(dist);
        if (KindOf(d) != kValue || ValueOf(d) + take(ExtraOf(d)) > produced) {
            save();
            return Broken();  // a distance before the first byte too
        }
        produced += length;
        if (produced > limit_) break;
    }
    save();
    if (produced_ > limit_) return Past();
    return kind == kEnd ? kInflateEnds : Broken();
}

InflateOutcome Walk::Run() {
    if (!Refill()) return kInflateCut;
    const uint32_t method = Take(8), flags = Take(8);
    if (Cut()) return kInflateCut;
    // Deflate with a window of at most 32 KB, the check bits, and no preset
    // dictionary (which PNG forbids and a decoder would not have).
    if ((method & 15) != 8 || method >> 4 > 7 || (method << 8 | flags) % 31 != 0 || (flags & 0x20))
        return kInflateBroken;
    for (;;) {
        if (have_ < 48 && !Refill()) return kInflateCut;
        const uint32_t last = Take(1), type = Take(2);
        InflateOutcome outcome = kInflateBroken;
        if (type == 0) {
            outcome = Stored();
        } else if (type == 1) {
            if (!haveFixed_) {
                uint8_t lengths[288];
                for (int s = 0; s < 288; ++s)
                    lengths[s] = static_cast<uint8_t>(s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8);
                Build(lengths, 288, kLitRootBits, LitLenMeaning, false, &fixedLit_);
                for (int s = 0; s < 32; ++s) lengths[s] = 5;
                Build(lengths, 32, kDistRootBits, DistanceMeaning, false, &fixedDist_);
                haveFixed_ = true;
            }
            outcome = Codes(fixedLit_, fixedDist_);
        } else if (type == 2) {
            outcome = Dynamic();
        } else {
            outcome = Broken();
        }
        if (outcome != kInflateEnds) return outcome;
        if (last) return Cut() ? kInflateCut : kInflateEnds;
    }
}

}  // namespace

InflateOutcome CountInflated(ByteSpans spans, uint64_t limit, uint64_t* produced) {
    Walk walk(spans, limit);
    const InflateOutcome outcome = walk.Run();
    *produced = walk.produced();
    return outcome;
}

}  // namespace probe
