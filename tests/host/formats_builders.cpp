#include "tests/host/formats_builders.h"

namespace {

uint8_t Byte(uint32_t v) { return static_cast<uint8_t>(v & 0xFF); }

uint32_t Crc32(const uint8_t* p, size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return c ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const Bytes& raw) {
    uint32_t a = 1, s = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        s = (s + a) % 65521;
    }
    return s << 16 | a;
}

// zlib stream of stored deflate blocks.
Bytes Zlib(const Bytes& raw) {
    Bytes z = {0x78, 0x01};
    size_t at = 0;
    do {
        const size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        z.push_back(at + n == raw.size() ? 1 : 0);
        AddLe16(z, static_cast<uint32_t>(n));
        AddLe16(z, static_cast<uint32_t>(~n & 0xFFFF));
        z.insert(z.end(), raw.begin() + static_cast<long>(at),
                 raw.begin() + static_cast<long>(at + n));
        at += n;
    } while (at < raw.size());
    AddBe32(z, Adler32(raw));
    return z;
}

// Deflate bits go out lowest first; Huffman codes highest bit first.
struct BitWriter {
    Bytes out;
    uint64_t acc = 0;
    int held = 0;
    void Put(uint32_t value, int bits) {
        acc |= uint64_t{value} << held;
        for (held += bits; held >= 8; held -= 8, acc >>= 8) out.push_back(Byte(acc & 0xFF));
    }
    void PutCode(uint32_t code, int bits) {
        for (int i = bits - 1; i >= 0; --i) Put(code >> i & 1, 1);
    }
};

// Canonical codes for a set of code lengths.
std::vector<uint32_t> CodesOf(const Bytes& lengths) {
    std::vector<uint32_t> codes(lengths.size());
    uint32_t code = 0;
    for (int len = 1; len <= 15; ++len, code <<= 1)
        for (size_t s = 0; s < lengths.size(); ++s)
            if (lengths[s] == len) codes[s] = code++;
    return codes;
}

// Literals and distance-1 matches of `raw` (up to 258 long) in the literal/length
// code `lit`, with the fixed code's 5-bit distance code 0, then the end.
void PutSymbols(BitWriter& w, const Bytes& raw, const Bytes& lit) {
    static const uint32_t kBase[29] = {3,  4,  5,  6,  7,  8,  9,  10,  11,  13,
                                       15, 17, 19, 23, 27, 31, 35, 43,  51,  59,
                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
    const std::vector<uint32_t> codes = CodesOf(lit);
    for (size_t at = 0; at < raw.size();) {
        size_t run = 0;
        while (at > 0 && at + run < raw.size() && raw[at + run] == raw[at - 1] && run < 258)
            ++run;
        if (run < 3) {
            w.PutCode(codes[raw[at]], lit[raw[at]]);
            ++at;
            continue;
        }
        int sym = 28;
        while (kBase[sym] > run) --sym;
        w.PutCode(codes[257 + size_t(sym)], lit[257 + size_t(sym)]);
        const int extra = sym < 8 || sym == 28 ? 0 : (sym - 4) / 4;
        w.Put(static_cast<uint32_t>(run) - kBase[sym], extra);
        w.PutCode(0, 5);
        at += run;
    }
    w.PutCode(codes[256], lit[256]);
}

// GIF LZW of literal codes only: a clear code before the table would grow,
// so every code keeps the starting width.
Bytes LiteralLzw(int codeSize, size_t pixels, int tableBits) {
    const uint32_t clear = 1u << codeSize, width = static_cast<uint32_t>(codeSize) + 1;
    Bytes out;
    uint32_t acc = 0, held = 0;
    auto put = [&](uint32_t code) {
        acc |= code << held;
        held += width;
        while (held >= 8) {
            out.push_back(Byte(acc));
            acc >>= 8;
            held -= 8;
        }
    };
    put(clear);
    uint32_t run = 0;
    for (size_t k = 0; k < pixels; ++k) {
        if (run == clear - 2) {
            put(clear);
            run = 0;
        }
        put(static_cast<uint32_t>(k % (size_t{1} << tableBits)));
        ++run;
    }
    put(clear + 1);
    if (held > 0) out.push_back(Byte(acc));
    return out;
}

void AddSubBlocks(Bytes& b, const Bytes& data) {
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = data.size() - at < 255 ? data.size() - at : 255;
        b.push_back(Byte(static_cast<uint32_t>(n)));
        b.insert(b.end(), data.begin() + static_cast<long>(at),
                 data.begin() + static_cast<long>(at + n));
    }
    b.push_back(0);
}

}  // namespace

Bytes ZlibOf(const Bytes& raw, Deflate how) {
    if (how == Deflate::kStored) return Zlib(raw);
    BitWriter w;
    w.Put(0x78, 8);
    w.Put(0x01, 8);
    w.Put(1, 1);  // the final block
    Bytes lit(288, 8);  // the fixed code
    for (size_t s = 144; s < 256; ++s) lit[s] = 9;
    for (size_t s = 256; s < 280; ++s) lit[s] = 7;
    w.Put(1, 2);
    PutSymbols(w, raw, lit);
    w.Put(0, 7);  // to the byte
    Bytes z = w.out;
    AddBe32(z, Adler32(raw));
    return z;
}

void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

Bytes PatternBytes(size_t count, uint32_t seed) {
    Bytes p(count);
    for (size_t k = 0; k < count; ++k) p[k] = Byte(static_cast<uint32_t>(k) * 37 + seed);
    return p;
}

uint32_t DibStride(int width, int bits) {
    return (static_cast<uint32_t>(width * bits) + 31) / 32 * 4;
}

Bytes MakeBmp(int width, int height, int bits, int headerBytes) {
    const int rows = height < 0 ? -height : height;
    const bool core = headerBytes == 12;
    const uint32_t entry = core ? 3 : 4;
    const uint32_t colours = bits <= 8 ? 1u << bits : 0;
    const Bytes pixels = PatternBytes(size_t{DibStride(width, bits)} * size_t(rows), 5);
    const uint32_t bitsAt = 14 + static_cast<uint32_t>(headerBytes) + colours * entry;
    Bytes b = {'B', 'M'};
    for (uint32_t v : {bitsAt + static_cast<uint32_t>(pixels.size()), 0u, bitsAt,
                       static_cast<uint32_t>(headerBytes)})
        AddLe32(b, v);
    const uint32_t w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
    if (core) {
        for (uint32_t v : {w, h, 1u, static_cast<uint32_t>(bits)}) AddLe16(b, v);
    } else {
        for (uint32_t v : {w, h}) AddLe32(b, v);
        AddLe16(b, 1);
        AddLe16(b, static_cast<uint32_t>(bits));
        for (uint32_t v : {0u, static_cast<uint32_t>(pixels.size()), 2835u, 2835u, 0u, 0u})
            AddLe32(b, v);
        b.resize(14 + static_cast<size_t>(headerBytes), 0);
    }
    for (uint32_t i = 0; i < colours; ++i) {
        b.push_back(Byte(i * 7));
        b.push_back(Byte(i * 13));
        b.push_back(Byte(255 - i));
        if (!core) b.push_back(0);
    }
    Append(b, pixels);
    return b;
}

Bytes MakeJpeg(int width, int height, int components, bool endMarker, size_t padTo) {
    Bytes b = {0xFF, 0xD8};
    auto segment = [&b](uint8_t marker, const Bytes& body) {
        b.push_back(0xFF);
        b.push_back(marker);
        AddBe16(b, static_cast<uint32_t>(body.size() + 2));
        Append(b, body);
    };
    segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    Bytes quant(65, 1);
    quant[0] = 0;
    segment(0xDB, quant);
    Bytes frame = {8,
                   Byte(static_cast<uint32_t>(height) >> 8),
                   Byte(static_cast<uint32_t>(height)),
                   Byte(static_cast<uint32_t>(width) >> 8),
                   Byte(static_cast<uint32_t>(width)),
                   Byte(static_cast<uint32_t>(components))};
    for (int i = 1; i <= components; ++i) Append(frame, {Byte(static_cast<uint32_t>(i)), 0x11, 0});
    segment(0xC0, frame);
    // One symbol a table, coded "0": DC difference 0, AC end of block.
    Bytes huffman(18, 0);
    huffman[1] = 1;
    segment(0xC4, huffman);
    huffman[0] = 0x10;
    segment(0xC4, huffman);
    Bytes scan = {Byte(static_cast<uint32_t>(components))};
    for (int i = 1; i <= components; ++i) Append(scan, {Byte(static_cast<uint32_t>(i)), 0});
    Append(scan, {0, 63, 0});
    const size_t blocks = size_t((width + 7) / 8) * size_t((height + 7) / 8) * size_t(components);
    Bytes data((2 * blocks + 7) / 8, 0);
    if ((2 * blocks) % 8 != 0)
        data.back() = Byte((1u << (8 - (2 * blocks) % 8)) - 1);  // pad with ones
    const size_t tail = 4 + scan.size() + data.size() + (endMarker ? 2 : 0);
    if (padTo > b.size() + tail + 4) segment(0xFE, Bytes(padTo - b.size() - tail - 4, 'q'));
    segment(0xDA, scan);
    Append(b, data);
    if (endMarker) Append(b, {0xFF, 0xD9});
    return b;
}

size_t FindJpegMarker(const Bytes& jpeg, uint8_t marker) {
    for (size_t at = 2; at + 1 < jpeg.size(); ++at)
        if (jpeg[at] == 0xFF && jpeg[at + 1] == marker) return at;
    return 0;
}

Bytes MakeGif(int width, int height, int tableBits, bool localTables, int frames) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    AddLe16(b, static_cast<uint32_t>(width));
    AddLe16(b, static_cast<uint32_t>(height));
    const uint8_t tableField = Byte(static_cast<uint32_t>(tableBits - 1));
    b.push_back(localTables ? 0x70 : Byte(0xF0u | tableField));
    Append(b, {0, 0});
    Bytes table;
    for (uint32_t i = 0; i < (1u << tableBits); ++i)
        Append(table, {Byte(i * 37), Byte(i * 91), Byte(255 - i)});
    if (!localTables) Append(b, table);
    const int codeSize = tableBits < 2 ? 2 : tableBits;
    for (int f = 0; f < frames; ++f) {
        Append(b, {0x21, 0xF9, 4, 4, 10, 0, 0, 0});  // graphic control: 0.1 s a frame
        b.push_back(0x2C);
        AddLe32(b, 0);
        AddLe16(b, static_cast<uint32_t>(width));
        AddLe16(b, static_cast<uint32_t>(height));
        b.push_back(localTables ? Byte(0x80u | tableField) : 0);
        if (localTables) Append(b, table);
        b.push_back(Byte(static_cast<uint32_t>(codeSize)));
        AddSubBlocks(b, LiteralLzw(codeSize, size_t(width) * size_t(height), tableBits));
    }
    b.push_back(0x3B);
    return b;
}

Bytes PngRows(const PngShape& s) {
    static const int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
    static const int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                      {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    static const int kWhole[1][4] = {{0, 0, 1, 1}};
    const int bits = s.bitDepth * kChannels[s.colourType];
    Bytes raw;
    for (int p = 0; p < (s.interlaced ? 7 : 1); ++p) {
        const int* pass = s.interlaced ? kPasses[p] : kWhole[0];
        const int columns = (s.width - pass[0] + pass[2] - 1) / pass[2];
        const int rows = (s.height - pass[1] + pass[3] - 1) / pass[3];
        const size_t rowBytes = (size_t(columns > 0 ? columns : 0) * size_t(bits) + 7) / 8;
        for (int y = 0; y < rows && columns > 0; ++y) {
            raw.push_back(0);
            Append(raw, PatternBytes(rowBytes, static_cast<uint32_t>(y + 7 * p)));
        }
    }
    return raw;
}

Bytes MakePngAround(const PngShape& s, const Bytes& zlib, size_t chunkBytes) {
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    AddBe32(header, static_cast<uint32_t>(s.width));
    AddBe32(header, static_cast<uint32_t>(s.height));
    Append(header,
           {Byte(static_cast<uint32_t>(s.bitDepth)), Byte(static_cast<uint32_t>(s.colourType)), 0,
            0, s.interlaced ? uint8_t{1} : uint8_t{0}});
    AddPngChunk(b, "IHDR", header);
    if (s.colourType == 3) AddPngChunk(b, "PLTE", PatternBytes(3 * (size_t{1} << s.bitDepth), 3));
    for (size_t at = 0; at < zlib.size(); at += chunkBytes) {
        const size_t n = zlib.size() - at < chunkBytes ? zlib.size() - at : chunkBytes;
        AddPngChunk(b, "IDAT", Bytes(zlib.begin() + static_cast<long>(at),
                                     zlib.begin() + static_cast<long>(at + n)));
    }
    AddPngChunk(b, "IEND", {});
    return b;
}

Bytes MakePng(int width, int height, int colourType, int bitDepth) {
    const PngShape shape{width, height, colourType, bitDepth, false};
    return MakePngAround(shape, Zlib(PngRows(shape)));
}

void AddPngChunk(Bytes& b, const char* type, const Bytes& body) {
    AddBe32(b, static_cast<uint32_t>(body.size()));
    const size_t from = b.size();
    b.insert(b.end(), type, type + 4);
    Append(b, body);
    AddBe32(b, Crc32(b.data() + from, b.size() - from));
}
