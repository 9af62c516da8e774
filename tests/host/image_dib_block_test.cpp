// Clipboard DIB blocks: every header version and depth converted against a
// reference, each refusal, and the writer's blocks read back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/dib_block.h"
#include "tests/host/byte_mutator.h"
#include "tests/host/formats_builders.h"

namespace {

struct Form {
    uint32_t header = 40;
    int32_t width = 5;
    int32_t height = 3;  // negative: rows stored top-down
    int bits = 24;
    uint32_t compression = 0;
    uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    uint32_t clrUsed = 0;
    std::vector<uint32_t> table;  // 0x00RRGGBB, all of it stored
};

void Put(Bytes& b, size_t at, uint32_t v, int bytes) {
    if (b.size() < at + bytes) b.resize(at + bytes);
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

bool HasMasks(const Form& f) { return f.compression == 3 || f.compression == 6; }

// `values`: one stored value a pixel, top row first -- an index, a 16 or 32
// bit word, or 0x00RRGGBB at 24 bits.
Bytes Build(const Form& f, const std::vector<uint32_t>& values) {
    Bytes b;
    const bool core = f.header == 12;
    const int field = core ? 2 : 4;
    Put(b, 0, f.header, 4);
    Put(b, 4, static_cast<uint32_t>(f.width), field);
    Put(b, 4 + field, static_cast<uint32_t>(f.height), field);
    Put(b, 4 + 2 * field, 1, 2), Put(b, 6 + 2 * field, static_cast<uint32_t>(f.bits), 2);
    if (!core) {
        Put(b, 16, f.compression, 4), Put(b, 32, f.clrUsed, 4);
        b.resize(f.header);
        for (int i = 0; i < 3 && HasMasks(f); ++i) Put(b, 40 + 4 * i, f.masks[i], 4);
        if (f.compression == 6 || (f.compression == 3 && f.header >= 56))
            Put(b, 52, f.masks[3], 4);
    }
    for (uint32_t c : f.table) Put(b, b.size(), core ? c : c & 0xFFFFFF, core ? 3 : 4);
    const int h = std::abs(f.height);
    const size_t rowBytes = (static_cast<size_t>(f.width) * f.bits + 31) / 32 * 4;
    for (int r = 0; r < h; ++r) {
        const int y = f.height < 0 ? r : h - 1 - r;
        Bytes row(rowBytes, 0);
        for (int x = 0; x < f.width; ++x) {
            const uint32_t v = values[static_cast<size_t>(y * f.width + x)];
            if (f.bits == 1) row[x / 8] |= static_cast<uint8_t>(v << (7 - x % 8));
            if (f.bits == 4) row[x / 2] |= static_cast<uint8_t>(v << (x % 2 ? 0 : 4));
            if (f.bits >= 8) Put(row, static_cast<size_t>(x) * (f.bits / 8), v, f.bits / 8);
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

uint32_t RefChannel(uint32_t v, uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!(mask >> shift & 1)) ++shift;
    return static_cast<uint32_t>(std::lround(((v & mask) >> shift) * 255.0 / (mask >> shift)));
}

// What the pixels must convert to, computed the slow and obvious way.
std::vector<uint32_t> Expected(const Form& f, const std::vector<uint32_t>& values) {
    uint32_t m[3] = {f.masks[0], f.masks[1], f.masks[2]};
    if (!HasMasks(f) && f.bits == 16) m[0] = 0x7C00, m[1] = 0x3E0, m[2] = 0x1F;
    if (!HasMasks(f) && f.bits == 32) m[0] = 0xFF0000, m[1] = 0xFF00, m[2] = 0xFF;
    std::vector<uint32_t> out;
    for (uint32_t v : values) {
        if (f.bits <= 8)
            out.push_back(v < f.table.size() ? f.table[v] : 0);
        else if (f.bits == 24)
            out.push_back(v);
        else
            out.push_back(RefChannel(v, m[0]) << 16 | RefChannel(v, m[1]) << 8 |
                          RefChannel(v, m[2]));
    }
    return out;
}

std::vector<uint32_t> Convert(const Bytes& block, const DibLayout& l) {
    Bytes dest(static_cast<size_t>(l.width) * 4 * l.height, 0xEE);
    QUB_DibToBgra32(block.data(), l, dest.data(), static_cast<size_t>(l.width) * 4);
    std::vector<uint32_t> words(dest.size() / 4);
    std::memcpy(words.data(), dest.data(), dest.size());  // little-endian hosts
    return words;
}

// A picture whose every pixel differs, in the depth's own terms.
std::vector<uint32_t> Picture(const Form& f) {
    std::vector<uint32_t> v;
    for (int y = 0; y < std::abs(f.height); ++y)
        for (int x = 0; x < f.width; ++x) {
            const uint32_t n = static_cast<uint32_t>(x + 5 * y);
            if (f.bits <= 8) v.push_back(n % (1u << f.bits));
            if (f.bits == 16) v.push_back((n * 2113u + 0x8000u * (n & 1)) & 0xFFFF);
            if (f.bits == 24) v.push_back((40 * x + 3) << 16 | (70 * y + 5) << 8 | (n * 13 + 9));
            if (f.bits == 32) v.push_back(0xAB000000u | n * 0x0A1B2Cu);
        }
    return v;
}

Form Indexed(uint32_t header, int bits) {
    Form f;
    f.header = header;
    f.bits = bits;
    for (uint32_t i = 0; i < (1u << bits); ++i)
        f.table.push_back((i * 7 + 1) % 256 << 16 | (255 - i) << 8 | (i * 3 + 50) % 256);
    return f;
}

// Every valid shape of block the reader takes: each header and depth, and the
// mask compressions wherever they are allowed (odd masks at 32 bits: 10 bits
// of red, no green, 3 bits of blue at the bottom, alpha between).
std::vector<Form> EveryForm() {
    std::vector<Form> forms;
    for (uint32_t header : {12u, 40u, 52u, 56u, 108u, 124u})
        for (int bits : {1, 4, 8, 16, 24, 32}) {
            if (header == 12 && (bits == 16 || bits == 32)) continue;
            forms.push_back(bits <= 8 ? Indexed(header, bits) : Form{});
            forms.back().header = header;
            forms.back().bits = bits;
            if (header == 12 || bits < 16 || bits == 24) continue;
            for (uint32_t compression : {3u, 6u}) {
                Form m = forms.back();
                m.compression = compression;
                const uint32_t masks[2][4] = {{0xF800, 0x07E0, 0x001F, 0},
                                              {0x3FF00000, 0, 0x7, 0xFF00}};
                std::memcpy(m.masks, masks[bits / 32], sizeof m.masks);
                forms.push_back(m);
            }
        }
    return forms;
}

// Core headers aside (their sizes are unsigned), each form is read bottom-up
// and top-down alike. Bytes past the rows (GlobalSize rounds up) and a
// version 5 header's profile offsets are ignored.
TEST(DibBlock, EveryHeaderAndDepthConverts) {
    for (Form f : EveryForm())
        for (int32_t height : {3, -3}) {
            SCOPED_TRACE(testing::Message() << "header " << f.header << " bits " << f.bits
                                            << " compression " << f.compression << " " << height);
            if (f.header == 12 && height < 0) continue;
            f.height = height;
            const std::vector<uint32_t> values = Picture(f);
            Bytes block = Build(f, values);
            const size_t rowsEnd = block.size();
            if (f.header == 124) {  // an embedded profile, its offset and size past the end
                Put(block, 56, 0x4D424544, 4), Put(block, 112, 0xFFFFFFF0, 4);
                Put(block, 116, 0xFFFFFFF0, 4);
            }
            block.resize(rowsEnd + 13, 0x5A);
            DibLayout l{};
            ASSERT_EQ(QUB_CheckDibBlock(block.data(), block.size(), &l), kDibSound);
            EXPECT_EQ(l.width, 5);
            EXPECT_EQ(l.height, 3);
            EXPECT_EQ(l.topDown, height < 0);
            EXPECT_EQ(l.bits, f.bits);
            EXPECT_EQ(l.colours, static_cast<int>(f.table.size()));
            EXPECT_EQ(l.pixelOffset + 3 * l.rowBytes, rowsEnd);
            const bool alpha = f.compression == 6 || (f.compression == 3 && f.header >= 56);
            EXPECT_EQ(l.alphaMask, alpha ? f.masks[3] : 0u);
            EXPECT_EQ(Convert(block, l), Expected(f, values));
        }
}

TEST(DibBlock, Refusals) {
    const Form base = Indexed(40, 8);
    const Bytes good = Build(base, Picture(base));  // 40 + 1024 + 3 rows of 8
    const size_t all = good.size(), none = SIZE_MAX;
    const struct {
        const char* name;
        size_t at;  // field to overwrite; SIZE_MAX for none
        uint32_t value;
        int bytes;
        size_t keep;  // bytes of the block kept
        DibVerdict verdict;
        uint32_t height;  // written too when not 0
    } cases[] = {
        {"header cut", none, 0, 0, 39, kDibTruncatedHeader, 0},
        {"41-byte header", 0, 41, 4, all, kDibUnknownHeader, 0},
        {"width -1", 4, 0xFFFFFFFF, 4, all, kDibBadDimensions, 0},
        {"height 0", 8, 0, 4, all, kDibBadDimensions, 0},
        {"planes 2", 12, 2, 2, all, kDibBadPlanes, 0},
        {"bits 2", 14, 2, 2, all, kDibUnsupportedBits, 0},
        {"RLE8", 16, 1, 4, all, kDibUnsupportedCompression, 0},
        {"bitfields at 8 bits", 16, 3, 4, all, kDibUnsupportedCompression, 0},
        {"257 colours", 32, 257, 4, all, kDibTooManyColours, 0},
        {"table cut", none, 0, 0, 40 + 1023, kDibTablePastBlock, 0},
        {"last row cut", none, 0, 0, all - 1, kDibRowsPastBlock, 0},
        {"100000 x 100000", 4, 100000, 4, all, kDibTooLarge, 100000},
        {"just under the limit", 4, 16384, 4, all, kDibRowsPastBlock, 32767},
    };
    for (const auto& c : cases) {
        Bytes b(good);
        if (c.at != none) Put(b, c.at, c.value, c.bytes);
        if (c.height != 0) Put(b, 8, c.height, 4);
        const Bytes cut(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(c.keep));
        DibLayout l;
        std::memset(&l, 0xAB, sizeof l);
        const uint8_t* data = cut.empty() ? nullptr : cut.data();
        EXPECT_EQ(QUB_CheckDibBlock(data, cut.size(), &l), c.verdict) << c.name;
        EXPECT_EQ(l.width, static_cast<int>(0xABABABAB)) << c.name << ": layout written";
    }
    DibLayout l{};
    Form core = Indexed(12, 8);
    Bytes c = Build(core, Picture(core));
    Put(c, 10, 16, 2);  // 16 bits in a core header
    EXPECT_EQ(QUB_CheckDibBlock(c.data(), c.size(), &l), kDibUnsupportedBits);
    EXPECT_STREQ(QUB_DibVerdictText(kDibRowsPastBlock), "rows past the block");
}

TEST(DibBlock, WrittenBlocksReadBack) {
    // Header, palette, rows of 16 and 8 bytes; refused sizes leave the count.
    const struct {
        int width, height, bits;
        size_t bytes;  // 7, as it was, when refused
    } sizes[] = {{5, 3, 24, 40 + 16 * 3}, {5, 3, 8, 40 + 1024 + 8 * 3}, {5, 3, 32, 7},
                 {0, 3, 24, 7},           {32768, 32768, 24, 7}};
    size_t bytes = 0;
    for (const auto& s : sizes) {
        bytes = 7;
        EXPECT_EQ(QUB_DibBlockBytes(s.width, s.height, s.bits, &bytes), s.bytes != 7) << s.width;
        EXPECT_EQ(bytes, s.bytes) << s.width << " x " << s.height << " at " << s.bits;
    }
    Form f;
    const std::vector<uint32_t> pixels = Picture(f);
    ASSERT_TRUE(QUB_DibBlockBytes(5, 3, 24, &bytes));
    Bytes b24(bytes, 0xEE);
    QUB_WriteDibBlock24(pixels.data(), 5, 3, b24.data());
    EXPECT_EQ(b24, Build(f, pixels)) << "bottom-up, zero padding, image size 0";
    // Indices and palette back as written; the 8-bit block as the builder's.
    Form g = Indexed(40, 8);
    uint32_t palette[256], back[256];
    for (int i = 0; i < 256; ++i) palette[i] = g.table[static_cast<size_t>(i)] | 0xFF000000u;
    const uint8_t indices[3][8] = {{0, 1, 2, 3, 4}, {5, 6, 7, 8, 9}, {10, 11, 12, 13, 255}};
    ASSERT_TRUE(QUB_DibBlockBytes(5, 3, 8, &bytes));
    Bytes b8(bytes, 0xEE);
    QUB_WriteDibBlock8(&indices[0][0], 5, 3, 8, palette, b8.data());
    EXPECT_EQ(b8, Build(g, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 255}))
        << "bottom-up, zero padding, sizes and counts 0";
    DibLayout l{};
    ASSERT_EQ(QUB_CheckDibBlock(b8.data(), b8.size(), &l), kDibSound);
    uint8_t read[3][5];
    ASSERT_TRUE(QUB_DibToIndex8(b8.data(), l, &read[0][0], 5, back));
    for (int y = 0; y < 3; ++y) EXPECT_EQ(std::memcmp(read[y], indices[y], 5), 0) << "row " << y;
    EXPECT_EQ(back[255], g.table[255]) << "the palette without its alpha";
}

// Mutated blocks, each in an allocation of exactly its size: refused, or read
// and converted inside it. QUB_FUZZ_ROUNDS runs longer.
TEST(DibBlock, MutatedBlocksAreRefusedOrReadInside) {
    const char* env = std::getenv("QUB_FUZZ_ROUNDS");
    const long rounds = env && std::atol(env) > 0 ? std::atol(env) : 10000;
    std::vector<Bytes> seeds;
    for (const Form& f : EveryForm()) seeds.push_back(Build(f, Picture(f)));
    Rng r{1};
    long sound = 0;
    for (long round = 0; round < rounds && !HasFailure(); ++round) {
        Bytes b = seeds[r.Below(seeds.size())];
        Mutate(b, r);
        if (r.Below(4) == 0) b.resize(b.size() + r.Below(64), static_cast<uint8_t>(r.Next()));
        const Bytes exact(b);
        DibLayout l{};
        const DibVerdict v =
            QUB_CheckDibBlock(exact.empty() ? nullptr : exact.data(), exact.size(), &l);
        ASSERT_TRUE(v >= kDibSound && v <= kDibTooLarge);
        if (v != kDibSound) continue;
        ++sound;
        ASSERT_LE(l.tableOffset + static_cast<size_t>(l.colours) * l.entryBytes, l.pixelOffset);
        ASSERT_LE(l.pixelOffset + l.rowBytes * l.height, exact.size());
        Bytes dest(static_cast<size_t>(l.width) * 4 * l.height), indices(dest.size() / 4);
        QUB_DibToBgra32(exact.data(), l, dest.data(), static_cast<size_t>(l.width) * 4);
        for (size_t i = 3; i < dest.size(); i += 4) ASSERT_EQ(dest[i], 0) << "top byte";
        uint32_t palette[256];
        EXPECT_EQ(QUB_DibToIndex8(exact.data(), l, indices.data(), l.width, palette), l.bits <= 8);
    }
    EXPECT_GT(sound, rounds / 20) << "too few mutants survive to be converted";
}

}  // namespace
