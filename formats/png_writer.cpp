#include "formats/png_writer.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr uint64_t kPngMaxData = uint64_t{3} << 29;

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
    // `count` bits of `value`, lowest first, as deflate packs its fields.
    void Put(uint32_t value, int count) {
        bits_ |= static_cast<uint64_t>(value) << filled_;
        filled_ += count;
        while (filled_ >= 8) {
            out_.push_back(static_cast<uint8_t>(bits_));
            bits_ >>= 8;
            filled_ -= 8;
        }
    }
    // A Huffman code, whose bits go most significant first.
    void PutCode(uint32_t code, int length) {
        uint32_t reversed = 0;
        for (int k = 0; k < length; ++k) reversed |= ((code >> k) & 1u) << (length - 1 - k);
        Put(reversed, length);
    }
    void Flush() {
        if (filled_ > 0) Put(0, 8 - filled_);
    }

private:
    std::vector<uint8_t>& out_;
    uint64_t bits_ = 0;
    int filled_ = 0;
};

// The fixed literal/length code of deflate.
void PutLiteral(BitWriter& w, int symbol) {
    if (symbol < 144) w.PutCode(0x30u + static_cast<uint32_t>(symbol), 8);
    else if (symbol < 256) w.PutCode(0x190u + static_cast<uint32_t>(symbol - 144), 9);
    else if (symbol < 280) w.PutCode(static_cast<uint32_t>(symbol - 256), 7);
    else w.PutCode(0xC0u + static_cast<uint32_t>(symbol - 280), 8);
}

constexpr int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int kDistanceBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                   33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                   1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void PutMatch(BitWriter& w, int length, int distance) {
    int l = 28;
    while (kLengthBase[l] > length) --l;
    PutLiteral(w, 257 + l);
    w.Put(static_cast<uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
    int d = 29;
    while (kDistanceBase[d] > distance) --d;
    w.PutCode(static_cast<uint32_t>(d), 5);
    w.Put(static_cast<uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

constexpr int kWindow = 32768, kMinMatch = 3, kMaxMatch = 258, kChain = 32;
constexpr int kHashBits = 15;

uint32_t Hash3(const uint8_t* p) {
    return ((static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2]) *
            2654435761u) >> (32 - kHashBits);
}

// One final block of fixed codes; each position's earlier occurrences are
// chained through `previous`, and the longest match within the window wins.
void Deflate(const std::vector<uint8_t>& data, std::vector<uint8_t>& out) {
    BitWriter w(out);
    w.Put(1, 1);  // final block
    w.Put(1, 2);  // fixed Huffman codes
    const size_t n = data.size();
    std::vector<int64_t> head(size_t{1} << kHashBits, -1), previous(kWindow, -1);
    auto insert = [&](size_t at) {
        if (at + kMinMatch > n) return;
        const uint32_t h = Hash3(&data[at]);
        previous[at % kWindow] = head[h];
        head[h] = static_cast<int64_t>(at);
    };
    size_t at = 0;
    while (at < n) {
        int best = 0, bestDistance = 0;
        if (at + kMinMatch <= n) {
            const size_t most = std::min<size_t>(kMaxMatch, n - at);
            int64_t candidate = head[Hash3(&data[at])];
            for (int tries = 0; tries < kChain && candidate >= 0; ++tries) {
                const size_t from = static_cast<size_t>(candidate);
                if (at - from > static_cast<size_t>(kWindow - 1)) break;
                size_t length = 0;
                while (length < most && data[from + length] == data[at + length]) ++length;
                if (static_cast<int>(length) > best) {
                    best = static_cast<int>(length);
                    bestDistance = static_cast<int>(at - from);
                    if (length == most) break;
                }
                candidate = previous[from % kWindow];
                // A slot overwritten by a newer position leads forward: stop.
                if (candidate >= static_cast<int64_t>(from)) break;
            }
        }
        if (best >= kMinMatch) {
            PutMatch(w, best, bestDistance);
            for (int k = 0; k < best; ++k) insert(at + static_cast<size_t>(k));
            at += static_cast<size_t>(best);
        } else {
            PutLiteral(w, data[at]);
            insert(at);
            ++at;
        }
    }
    PutLiteral(w, 256);
    w.Flush();
}

uint32_t Crc32(const uint8_t* p, size_t n, uint32_t crc = 0) {
    static uint32_t table[256];
    static const bool made = [] {
        for (uint32_t k = 0; k < 256; ++k) {
            uint32_t c = k;
            for (int b = 0; b < 8; ++b) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[k] = c;
        }
        return true;
    }();
    (void)made;
    crc = ~crc;
    for (size_t k = 0; k < n; ++k) crc = table[(crc ^ p[k]) & 255] ^ (crc >> 8);
    return ~crc;
}

void PutBig32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[5], const std::vector<uint8_t>& body) {
    PutBig32(out, static_cast<uint32_t>(body.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    PutBig32(out, Crc32(out.data() + start, out.size() - start));
}

uint8_t Paeth(int left, int up, int upLeft) {
    const int p = left + up - upLeft;
    const int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - upLeft);
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft);
}

}  // namespace

bool WriteGreyPng(const uint16_t* samples, int width, int height, int bits,
                  std::vector<uint8_t>* out) {
    out->clear();
    if (samples == nullptr || width < 1 || height < 1 || width > kPngMaxSide ||
        height > kPngMaxSide || (bits != 8 && bits != 16))
        return false;
    const size_t bytes = static_cast<size_t>(bits / 8);
    const size_t rowBytes = static_cast<size_t>(width) * bytes;
    // One IDAT chunk holds at most 2^31 - 1 bytes, and fixed codes can make
    // the stream an eighth longer than its data: no more data than 1.5 GB.
    if ((uint64_t{rowBytes} + 1) * static_cast<uint64_t>(height) > kPngMaxData) return false;
    // Each row: the filter type, then its bytes less the Paeth predictor.
    std::vector<uint8_t> raw(rowBytes), above(rowBytes, 0), filtered;
    filtered.reserve((rowBytes + 1) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const uint16_t* row = samples + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x) {
            if (bytes == 2) {
                raw[2 * static_cast<size_t>(x)] = static_cast<uint8_t>(row[x] >> 8);
                raw[2 * static_cast<size_t>(x) + 1] = static_cast<uint8_t>(row[x]);
            } else {
                raw[static_cast<size_t>(x)] = static_cast<uint8_t>(row[x]);
            }
        }
        filtered.push_back(4);
        for (size_t k = 0; k < rowBytes; ++k) {
            const int left = k >= bytes ? raw[k - bytes] : 0;
            const int upLeft = k >= bytes ? above[k - bytes] : 0;
            filtered.push_back(static_cast<uint8_t>(raw[k] - Paeth(left, above[k], upLeft)));
        }
        raw.swap(above);
    }
    std::vector<uint8_t> zlib = {0x78, 0x01};
    Deflate(filtered, zlib);
    uint32_t a = 1, b = 0;  // Adler-32 of the uncompressed bytes
    for (const uint8_t v : filtered) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(zlib, b << 16 | a);

    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    out->assign(kSignature, kSignature + 8);
    std::vector<uint8_t> header;
    PutBig32(header, static_cast<uint32_t>(width));
    PutBig32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {static_cast<uint8_t>(bits), 0, 0, 0, 0});  // grey, no interlace
    PutChunk(*out, "IHDR", header);
    PutChunk(*out, "IDAT", zlib);
    PutChunk(*out, "IEND", {});
    return true;
}
