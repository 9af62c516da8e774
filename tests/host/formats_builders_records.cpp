// The builders of the formats made of directories and records.
#include "tests/host/formats_builders.h"

namespace {

uint8_t Byte(uint32_t v) { return static_cast<uint8_t>(v & 0xFF); }

// A BITMAPINFOHEADER DIB of width x height at `bits`, packed: header,
// palette, pixels, then `extraBytes` more (an icon's AND mask). `rowsStored`
// is the height field (twice the height for icons).
Bytes PackedDib(int width, int height, int bits, int rowsStored, size_t extraBytes) {
    Bytes d;
    const uint32_t colours = bits <= 8 ? 1u << bits : 0;
    const size_t pixels = size_t{DibStride(width, bits)} * static_cast<size_t>(height);
    for (uint32_t v : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(rowsStored)})
        AddLe32(d, v);
    AddLe16(d, 1);
    AddLe16(d, static_cast<uint32_t>(bits));
    for (uint32_t v : {0u, static_cast<uint32_t>(pixels + extraBytes), 0u, 0u, 0u, 0u})
        AddLe32(d, v);
    for (uint32_t i = 0; i < colours; ++i) AddLe32(d, i * 0x010305u);
    Append(d, PatternBytes(pixels + extraBytes, 11));
    return d;
}

struct TiffEntry {
    uint16_t tag, type;
    std::vector<uint32_t> values;
};

}  // namespace

Bytes MakeTiff(int width, int height, int samples, int bits, bool bigEndian) {
    const bool big = bigEndian;
    auto put16 = [big](Bytes& b, size_t at, uint32_t v) { PutInt(b, at, v, 2, big); };
    auto put32 = [big](Bytes& b, size_t at, uint32_t v) { PutInt(b, at, v, 4, big); };
    const size_t rowBytes = (size_t(width) * size_t(samples * bits) + 7) / 8;
    const int strips = (height + 1) / 2;
    Bytes b(8);
    b[0] = b[1] = big ? 'M' : 'I';
    put16(b, 2, 42);
    std::vector<uint32_t> offsets, counts;
    for (int s = 0; s < strips; ++s) {
        const size_t rows = height - 2 * s < 2 ? 1 : 2;
        offsets.push_back(static_cast<uint32_t>(b.size()));
        counts.push_back(static_cast<uint32_t>(rows * rowBytes));
        Append(b, PatternBytes(rows * rowBytes, static_cast<uint32_t>(s)));
    }
    if (b.size() % 2) b.push_back(0);
    const uint32_t photometric = samples >= 3 ? 2 : 1;
    std::vector<TiffEntry> entries = {
        {256, 4, {static_cast<uint32_t>(width)}},
        {257, 4, {static_cast<uint32_t>(height)}},
        {258, 3, std::vector<uint32_t>(size_t(samples), static_cast<uint32_t>(bits))},
        {259, 3, {1}},
        {262, 3, {photometric}},
        {273, 4, offsets},
        {277, 3, {static_cast<uint32_t>(samples)}},
        {278, 4, {2}},
        {279, 4, counts},
    };
    if (samples == 2 || samples == 4) entries.push_back({338, 3, {2}});  // unassociated alpha
    const size_t ifd = b.size();
    put32(b, 4, static_cast<uint32_t>(ifd));
    b.resize(ifd + 2 + 12 * entries.size() + 4, 0);
    put16(b, ifd, static_cast<uint32_t>(entries.size()));
    for (size_t e = 0; e < entries.size(); ++e) {
        const TiffEntry& t = entries[e];
        const size_t at = ifd + 2 + 12 * e;
        const size_t size = t.type == 3 ? 2 : 4;
        put16(b, at, t.tag);
        put16(b, at + 2, t.type);
        put32(b, at + 4, static_cast<uint32_t>(t.values.size()));
        size_t where = at + 8;
        if (size * t.values.size() > 4) {
            where = b.size();
            put32(b, at + 8, static_cast<uint32_t>(where));
            b.resize(where + size * t.values.size());
        }
        for (size_t i = 0; i < t.values.size(); ++i)
            PutInt(b, where + size * i, t.values[i], static_cast<int>(size), big);
    }
    return b;
}

Bytes MakeIco(const std::vector<IcoImage>& images) {
    Bytes b;
    Append(b, {0, 0, 1, 0});
    AddLe16(b, static_cast<uint32_t>(images.size()));
    b.resize(6 + 16 * images.size(), 0);
    for (size_t i = 0; i < images.size(); ++i) {
        const IcoImage& im = images[i];
        const Bytes data =
            im.png ? MakePng(im.size, im.size, 6, 8)
                   : PackedDib(im.size, im.size, im.bits, 2 * im.size,
                               size_t{DibStride(im.size, 1)} * static_cast<size_t>(im.size));
        const size_t entry = 6 + 16 * i;
        b[entry] = b[entry + 1] = Byte(static_cast<uint32_t>(im.size));  // 256 is written 0
        b[entry + 2] = im.bits < 8 ? Byte(1u << im.bits) : 0;
        PutLe16(b, entry + 4, 1);
        PutLe16(b, entry + 6, static_cast<uint32_t>(im.bits));
        PutLe32(b, entry + 8, static_cast<uint32_t>(data.size()));
        PutLe32(b, entry + 12, static_cast<uint32_t>(b.size()));
        Append(b, data);
    }
    return b;
}

Bytes MakeWmf(bool placeable) {
    Bytes records;
    auto record = [&records](uint16_t function, std::vector<uint32_t> params) {
        AddLe32(records, static_cast<uint32_t>(3 + params.size()));
        AddLe16(records, function);
        for (uint32_t p : params) AddLe16(records, p);
    };
    record(0x020B, {0, 0});                    // SETWINDOWORG y, x
    record(0x020C, {33, 67});                  // SETWINDOWEXT y, x
    record(0x02FC, {0, 0x00FF, 0x0080, 0});    // CREATEBRUSHINDIRECT
    record(0x012D, {0});                       // SELECTOBJECT
    record(0x041B, {30, 60, 3, 5});            // RECTANGLE bottom, right, top, left
    record(0x0325, {3, 1, 1, 40, 20, 66, 2});  // POLYLINE of 3 points
    std::vector<uint32_t> blit = {0x0020, 0x00CC, 2, 3, 0, 0, 2, 3, 10, 10};  // SRCCOPY, sizes
    const Bytes dib = PackedDib(3, 2, 24, 2, 0);
    for (size_t k = 0; k < dib.size(); k += 2) blit.push_back(dib[k] | uint32_t{dib[k + 1]} << 8);
    record(0x0B41, blit);  // DIBSTRETCHBLT
    record(0x0000, {});    // EOF
    Bytes b;
    if (placeable) {
        AddLe32(b, 0x9AC6CDD7);
        for (uint32_t v : {0u, 0u, 0u, 1005u, 495u, 1440u, 0u, 0u}) AddLe16(b, v);
        uint32_t sum = 0;
        for (size_t k = 0; k < 20; k += 2) sum ^= b[k] | uint32_t{b[k + 1]} << 8;
        AddLe16(b, sum);
    }
    AddLe16(b, 1);
    AddLe16(b, 9);
    AddLe16(b, 0x300);
    AddLe32(b, static_cast<uint32_t>(9 + records.size() / 2));
    AddLe16(b, 1);
    AddLe32(b, static_cast<uint32_t>(3 + blit.size()));
    AddLe16(b, 0);
    Append(b, records);
    return b;
}

Bytes MakeEmf() {
    Bytes b(88, 0);
    int count = 1;
    auto record = [&b, &count](uint32_t type, const Bytes& body) {
        AddLe32(b, type);
        AddLe32(b, static_cast<uint32_t>(8 + body.size()));
        Append(b, body);
        ++count;
    };
    auto words = [](std::vector<uint32_t> values) {
        Bytes out;
        for (uint32_t v : values) AddLe32(out, v);
        return out;
    };
    record(17, words({1}));                    // SETMAPMODE MM_TEXT
    record(39, words({1, 0, 0x00336699, 0}));  // CREATEBRUSHINDIRECT
    record(37, words({1}));                    // SELECTOBJECT
    record(43, words({2, 3, 40, 30}));         // RECTANGLE
    Bytes line = words({0, 0, 60, 40, 3});     // POLYLINE16: bounds, 3 points
    for (uint32_t v : {0u, 0u, 30u, 40u, 60u, 0u}) AddLe16(line, v);
    record(87, line);
    const Bytes dib = PackedDib(3, 2, 24, 2, 0);  // STRETCHDIBITS: header, then bits
    Bytes blit = words({0, 0, 2, 1, 5, 6, 0, 0, 3, 2, 80, 40, 120, 24, 0, 0x00CC0020, 3, 2});
    Append(blit, dib);
    record(81, blit);
    Bytes text = words({1, 1, 40, 20, 1, 0, 0, 10, 10, 2, 76, 0, 0, 0, 60, 40, 80});
    Append(text, {'H', 0, 'i', 0});  // EXTTEXTOUTW "Hi" and advances
    Append(text, words({8, 8}));
    record(84, text);
    Bytes plus = words({32, 0x2B464D45});  // comment: EMF+ header record
    AddLe16(plus, 0x4001);
    AddLe16(plus, 1);
    Append(plus, words({28, 16, 0xDBC01002, 0, 96, 96}));
    record(70, plus);
    record(14, words({0, 16, 20}));  // EOF
    PutLe32(b, 0, 1);
    PutLe32(b, 4, 88);
    const uint32_t bounds[8] = {0, 0, 63, 47, 0, 0, 2000, 1500};
    for (size_t i = 0; i < 8; ++i) PutLe32(b, 8 + 4 * i, bounds[i]);
    PutLe32(b, 40, 0x464D4520);  // " EMF"
    PutLe32(b, 44, 0x10000);
    PutLe32(b, 48, static_cast<uint32_t>(b.size()));
    PutLe32(b, 52, static_cast<uint32_t>(count));
    PutLe16(b, 56, 2);
    const uint32_t device[4] = {1024, 768, 320, 240};
    for (size_t i = 0; i < 4; ++i) PutLe32(b, 72 + 4 * i, device[i]);
    return b;
}
