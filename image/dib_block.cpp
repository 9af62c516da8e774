#include "image/dib_block.h"

#include <cstring>

#include "image/buffer_layout.h"

namespace {

// Field offsets of BITMAPCOREHEADER and BITMAPINFOHEADER; the later versions
// only add fields after biClrImportant.
constexpr size_t kCoreWidth = 4, kCoreHeight = 6, kCorePlanes = 8, kCoreBitCount = 10;
constexpr size_t kInfoWidth = 4, kInfoHeight = 8, kInfoPlanes = 12, kInfoBitCount = 14;
constexpr size_t kInfoCompression = 16, kInfoClrUsed = 32, kInfoMasks = 40;
constexpr size_t kCoreHeaderBytes = 12, kInfoHeaderBytes = 40;

constexpr uint32_t kBiRgb = 0, kBiBitfields = 3, kBiAlphaBitfields = 6;
constexpr int kMaxColours = 256;

// The probe's readers in formats/probe_parts.h are private to the probe; these
// are the same three lines.
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
int32_t LeS32(const uint8_t* p) { return static_cast<int32_t>(Le32(p)); }

void PutLe16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutLe32(uint8_t* p, uint32_t v) {
    PutLe16(p, v);
    PutLe16(p + 2, v >> 16);
}

bool IsInfoHeaderSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// Bytes of one stored row, padded to 4. Callers have bounded width * 32 well
// inside int64_t.
int64_t DibRowBytes(int width, int bits) {
    return (static_cast<int64_t>(width) * bits + 31) / 32 * 4;
}

DibVerdict ReadCoreHeader(const uint8_t* d, DibLayout* dib) {
    // Core sizes are unsigned words: a core bitmap is always bottom-up.
    dib->width = Le16(d + kCoreWidth);
    dib->height = Le16(d + kCoreHeight);
    if (dib->width == 0 || dib->height == 0) return kDibBadDimensions;
    if (Le16(d + kCorePlanes) != 1) return kDibBadPlanes;
    const int b = Le16(d + kCoreBitCount);
    if (b != 1 && b != 4 && b != 8 && b != 24) return kDibUnsupportedBits;
    dib->bits = b;
    dib->colours = b <= 8 ? 1 << b : 0;
    dib->entryBytes = 3;
    dib->tableOffset = kCoreHeaderBytes;
    return kDibSound;
}

// The masks of BI_BITFIELDS (three) and BI_ALPHABITFIELDS (four) sit at
// offset 40 in every version: after a plain info header, inside the later
// ones. A 52-byte header with four masks keeps the fourth after itself.
DibVerdict ReadMasks(const uint8_t* d, size_t n, uint32_t headerBytes, DibLayout* dib) {
    const size_t count = dib->compression == kBiAlphaBitfields ? 4 : 3;
    const size_t masksEnd = kInfoMasks + 4 * count;
    if (n < masksEnd) return kDibTruncatedHeader;
    dib->redMask = Le32(d + kInfoMasks);
    dib->greenMask = Le32(d + kInfoMasks + 4);
    dib->blueMask = Le32(d + kInfoMasks + 8);
    if (count == 4 || headerBytes >= 56) dib->alphaMask = Le32(d + kInfoMasks + 12);
    dib->tableOffset = masksEnd > headerBytes ? masksEnd : headerBytes;
    return kDibSound;
}

DibVerdict ReadInfoHeader(const uint8_t* d, size_t n, uint32_t headerBytes, DibLayout* dib) {
    const int32_t width = LeS32(d + kInfoWidth);
    const int32_t height = LeS32(d + kInfoHeight);
    if (width < 1 || height == 0 || height == INT32_MIN) return kDibBadDimensions;
    dib->width = width;
    dib->topDown = height < 0;  // the height is negative for top-down bitmaps
    dib->height = dib->topDown ? -height : height;
    if (Le16(d + kInfoPlanes) != 1) return kDibBadPlanes;
    const int b = Le16(d + kInfoBitCount);
    // 0 announces JPEG or PNG pixels, 2 is Windows CE's; both go unread.
    if (b != 1 && b != 4 && b != 8 && b != 16 && b != 24 && b != 32) return kDibUnsupportedBits;
    dib->bits = b;
    dib->compression = Le32(d + kInfoCompression);
    dib->entryBytes = 4;
    dib->tableOffset = headerBytes;
    if (dib->compression == kBiBitfields || dib->compression == kBiAlphaBitfields) {
        if (b != 16 && b != 32) return kDibUnsupportedCompression;
        const DibVerdict v = ReadMasks(d, n, headerBytes, dib);
        if (v != kDibSound) return v;
    } else if (dib->compression == kBiRgb) {
        // A V4 or V5 header has mask fields, but BI_RGB says they mean nothing.
        if (b == 16) {
            dib->redMask = 0x7C00, dib->greenMask = 0x03E0, dib->blueMask = 0x001F;
        } else if (b >= 24) {
            dib->redMask = 0xFF0000, dib->greenMask = 0x00FF00, dib->blueMask = 0x0000FF;
        }
    } else {
        return kDibUnsupportedCompression;
    }
    // Above 8 bits a table is only a hint for 8-bit displays; it is skipped,
    // but it still lies between the header and the rows.
    const uint32_t used = Le32(d + kInfoClrUsed);
    const uint32_t most = b <= 8 ? 1u << b : kMaxColours;
    if (used > most) return kDibTooManyColours;
    dib->colours = used == 0 && b <= 8 ? 1 << b : static_cast<int>(used);
    return kDibSound;
}

struct Channel {
    uint32_t mask;
    int shift;     // of the mask's lowest bit
    uint32_t top;  // mask >> shift: the channel's largest value, 0 for no mask
};

Channel MakeChannel(uint32_t mask) {
    Channel c{mask, 0, 0};
    if (mask == 0) return c;
    while (((mask >> c.shift) & 1) == 0) ++c.shift;
    c.top = mask >> c.shift;
    return c;
}

// Nearest 8-bit value: 31 of 5 bits gives 255, 16 gives 132. A mask with
// holes (nobody writes one) still maps its largest value to 255.
uint8_t Scale(const Channel& c, uint32_t value) {
    if (c.top == 0) return 0;
    const uint32_t x = (value & c.mask) >> c.shift;
    if (c.top == 255) return static_cast<uint8_t>(x);
    return static_cast<uint8_t>((uint64_t{x} * 255 + c.top / 2) / c.top);
}

void PutPixel(uint8_t* p, uint32_t b, uint32_t g, uint32_t r) {
    p[0] = static_cast<uint8_t>(b);
    p[1] = static_cast<uint8_t>(g);
    p[2] = static_cast<uint8_t>(r);
    p[3] = 0;
}

// The stored row shown as row `y` from the top.
const uint8_t* StoredRow(const uint8_t* block, const DibLayout& l, int y) {
    const size_t stored = static_cast<size_t>(l.topDown ? y : l.height - 1 - y);
    return block + l.pixelOffset + stored * l.rowBytes;
}

// Entries past the table stay 0 (black): a 1-8 bit index can name any of the
// 256 slots, and only `colours` of them were read from the block.
void ReadTable(const uint8_t* block, const DibLayout& l, uint32_t (&palette)[256]) {
    std::memset(palette, 0, sizeof palette);
    for (int i = 0; i < l.colours && i < kMaxColours; ++i) {
        const uint8_t* e = block + l.tableOffset + static_cast<size_t>(i) * l.entryBytes;
        palette[i] = static_cast<uint32_t>(e[0]) | static_cast<uint32_t>(e[1]) << 8 |
                     static_cast<uint32_t>(e[2]) << 16;
    }
}

// Pixels of 1 and 4 bits are packed from the byte's top bits down.
int IndexAt(const uint8_t* row, int x, int bits) {
    if (bits == 8) return row[x];
    if (bits == 4) return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

// Image size and colours used stay 0: readers take the rows' size from the
// width and depth and an 8-bit table as the full 256 entries.
void WriteInfoHeader(uint8_t* block, int width, int height, int bits) {
    std::memset(block, 0, kInfoHeaderBytes);
    PutLe32(block, kInfoHeaderBytes);
    PutLe32(block + kInfoWidth, static_cast<uint32_t>(width));
    PutLe32(block + kInfoHeight, static_cast<uint32_t>(height));  // positive: bottom-up
    PutLe16(block + kInfoPlanes, 1);
    PutLe16(block + kInfoBitCount, static_cast<uint32_t>(bits));
    PutLe32(block + kInfoCompression, kBiRgb);
}

}  // namespace

DibVerdict QUB_CheckDibBlock(const uint8_t* block, size_t blockSize, DibLayout* out) {
    if (!block || blockSize < 4) return kDibTruncatedHeader;
    const uint32_t headerBytes = Le32(block);
    if (headerBytes != kCoreHeaderBytes && !IsInfoHeaderSize(headerBytes)) return kDibUnknownHeader;
    if (blockSize < headerBytes) return kDibTruncatedHeader;
    DibLayout dib{};
    DibVerdict v = headerBytes == kCoreHeaderBytes
                       ? ReadCoreHeader(block, &dib)
                       : ReadInfoHeader(block, blockSize, headerBytes, &dib);
    if (v != kDibSound) return v;
    int64_t bufferBytes = 0;
    if (!QUB_BufferBytes(dib.width, dib.height, 32, &bufferBytes)) return kDibTooLarge;

    // Below the buffer limit every product here stays under 2^31, so it fits
    // size_t on 32-bit Windows too; the comparisons run in 64 bits anyway.
    const uint64_t tableBytes = static_cast<uint64_t>(dib.colours) * dib.entryBytes;
    const uint64_t tableEnd = dib.tableOffset + tableBytes;
    if (tableEnd > blockSize) return kDibTablePastBlock;
    const int64_t rowBytes = DibRowBytes(dib.width, dib.bits);
    const uint64_t rowsBytes = static_cast<uint64_t>(rowBytes) * static_cast<uint64_t>(dib.height);
    if (rowsBytes > blockSize - tableEnd) return kDibRowsPastBlock;
    dib.pixelOffset = static_cast<size_t>(tableEnd);
    dib.rowBytes = static_cast<size_t>(rowBytes);
    *out = dib;
    return kDibSound;
}

const char* QUB_DibVerdictText(DibVerdict verdict) {
    switch (verdict) {
        case kDibSound: return "sound";
        case kDibTruncatedHeader: return "truncated header";
        case kDibUnknownHeader: return "unknown header size";
        case kDibBadDimensions: return "bad width or height";
        case kDibBadPlanes: return "bad plane count";
        case kDibUnsupportedBits: return "unsupported bits per pixel";
        case kDibUnsupportedCompression: return "unsupported compression";
        case kDibTooManyColours: return "too many colours";
        case kDibTablePastBlock: return "colour table past the block";
        case kDibRowsPastBlock: return "rows past the block";
        case kDibTooLarge: return "too large";
    }
    return "unknown verdict";
}

void QUB_DibToBgra32(const uint8_t* block, const DibLayout& layout, uint8_t* dest,
                     size_t destStride) {
    const int w = layout.width;
    if (layout.bits <= 8) {
        uint32_t palette[256];
        ReadTable(block, layout, palette);
        for (int y = 0; y < layout.height; ++y) {
            const uint8_t* s = StoredRow(block, layout, y);
            uint8_t* d = dest + static_cast<size_t>(y) * destStride;
            for (int x = 0; x < w; ++x) {
                const uint32_t c = palette[IndexAt(s, x, layout.bits)];
                PutPixel(d + 4 * static_cast<size_t>(x), c & 0xFF, (c >> 8) & 0xFF, c >> 16);
            }
        }
        return;
    }
    const Channel red = MakeChannel(layout.redMask);
    const Channel green = MakeChannel(layout.greenMask);
    const Channel blue = MakeChannel(layout.blueMask);
    for (int y = 0; y < layout.height; ++y) {
        const uint8_t* s = StoredRow(block, layout, y);
        uint8_t* d = dest + static_cast<size_t>(y) * destStride;
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(x);
            if (layout.bits == 24) {
                PutPixel(d + 4 * i, s[3 * i], s[3 * i + 1], s[3 * i + 2]);
                continue;
            }
            const uint32_t v = layout.bits == 16 ? Le16(s + 2 * i) : Le32(s + 4 * i);
            PutPixel(d + 4 * i, Scale(blue, v), Scale(green, v), Scale(red, v));
        }
    }
}

bool QUB_DibToIndex8(const uint8_t* block, const DibLayout& layout, uint8_t* dest,
                     size_t destStride, uint32_t (&palette)[256]) {
    if (layout.bits > 8) return false;
    ReadTable(block, layout, palette);
    for (int y = 0; y < layout.height; ++y) {
        const uint8_t* s = StoredRow(block, layout, y);
        uint8_t* d = dest + static_cast<size_t>(y) * destStride;
        if (layout.bits == 8) {
            std::memcpy(d, s, static_cast<size_t>(layout.width));
            continue;
        }
        for (int x = 0; x < layout.width; ++x)
            d[x] = static_cast<uint8_t>(IndexAt(s, x, layout.bits));
    }
    return true;
}

bool QUB_DibBlockBytes(int width, int height, int bits, size_t* bytes) {
    if (width < 1 || height < 1 || (bits != 8 && bits != 24)) return false;
    const int64_t head = kInfoHeaderBytes + (bits == 8 ? 4 * kMaxColours : 0);
    const int64_t rowBytes = DibRowBytes(width, bits);  // width < 2^31: no overflow
    if (rowBytes > (kMaxBufferBytes - head) / height) return false;
    *bytes = static_cast<size_t>(head + rowBytes * height);
    return true;
}

void QUB_WriteDibBlock24(const uint32_t* pixels, int width, int height, uint8_t* block) {
    const size_t rowBytes = static_cast<size_t>(DibRowBytes(width, 24));
    WriteInfoHeader(block, width, height, 24);
    uint8_t* rows = block + kInfoHeaderBytes;
    for (int y = 0; y < height; ++y) {
        uint8_t* d = rows + static_cast<size_t>(height - 1 - y) * rowBytes;
        const uint32_t* s = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x) {
            d[3 * x] = static_cast<uint8_t>(s[x]);
            d[3 * x + 1] = static_cast<uint8_t>(s[x] >> 8);
            d[3 * x + 2] = static_cast<uint8_t>(s[x] >> 16);
        }
        const size_t used = 3 * static_cast<size_t>(width);
        std::memset(d + used, 0, rowBytes - used);
    }
}

void QUB_WriteDibBlock8(const uint8_t* indices, int width, int height, int stride,
                        const uint32_t (&palette)[256], uint8_t* block) {
    const size_t rowBytes = static_cast<size_t>(DibRowBytes(width, 8));
    WriteInfoHeader(block, width, height, 8);
    uint8_t* table = block + kInfoHeaderBytes;
    for (int i = 0; i < kMaxColours; ++i) PutLe32(table + 4 * i, palette[i] & 0x00FFFFFFu);
    uint8_t* rows = table + 4 * kMaxColours;
    for (int y = 0; y < height; ++y) {
        uint8_t* d = rows + static_cast<size_t>(height - 1 - y) * rowBytes;
        std::memcpy(d, indices + static_cast<size_t>(y) * static_cast<size_t>(stride),
                    static_cast<size_t>(width));
        std::memset(d + width, 0, rowBytes - static_cast<size_t>(width));
    }
}
