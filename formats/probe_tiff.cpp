// TIFF, both byte orders: the first image file directory and the strips or
// tiles it points to. Later directories (pages) are not the first picture's
// and are left to the decoder.
#include "formats/probe_parts.h"

namespace probe {

namespace {

enum Tag : uint16_t {
    kWidth = 256, kLength = 257, kBitsPerSample = 258, kCompression = 259,
    kPhotometric = 262, kStripOffsets = 273, kSamplesPerPixel = 277, kRowsPerStrip = 278,
    kStripByteCounts = 279, kPlanar = 284, kColourMap = 320, kTileWidth = 322,
    kTileLength = 323, kTileOffsets = 324, kTileByteCounts = 325,
};
constexpr uint16_t kTags[] = {kWidth, kLength, kBitsPerSample, kCompression, kPhotometric,
                              kStripOffsets, kSamplesPerPixel, kRowsPerStrip, kStripByteCounts,
                              kPlanar, kColourMap, kTileWidth, kTileLength, kTileOffsets,
                              kTileByteCounts};
constexpr int kTagCount = sizeof(kTags) / sizeof(kTags[0]);

struct Field {
    uint16_t type = 0;
    uint32_t count = 0;  // 0: absent
    uint64_t at = 0;     // where the values are: in the entry or at its offset
};

struct Directory {
    const uint8_t* d;
    size_t n;
    bool bigEndian;
    Field fields[kTagCount];

    uint16_t U16(uint64_t at) const { return bigEndian ? Be16(d + at) : Le16(d + at); }
    uint32_t U32(uint64_t at) const { return bigEndian ? Be32(d + at) : Le32(d + at); }

    const Field& Get(uint16_t tag) const {
        int i = 0;
        while (kTags[i] != tag) ++i;
        return fields[i];
    }
    // Value `index` of an integer field; false for other types or past the count.
    bool Value(uint16_t tag, uint32_t index, uint32_t* value) const {
        const Field& f = Get(tag);
        if (index >= f.count) return false;
        switch (f.type) {
            case 1: *value = d[f.at + index]; return true;
            case 3: *value = U16(f.at + 2 * uint64_t{index}); return true;
            case 4: *value = U32(f.at + 4 * uint64_t{index}); return true;
            default: return false;
        }
    }
    uint32_t ValueOr(uint16_t tag, uint32_t absent) const {
        uint32_t v = absent;
        return Value(tag, 0, &v) ? v : absent;
    }
};

uint32_t TypeBytes(uint16_t type) {
    static const uint8_t kBytes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    return type < sizeof(kBytes) ? kBytes[type] : 0;
}

ProbeVerdict ReadDirectory(Directory* dir) {
    const uint64_t at = dir->U32(4);
    if (at < 8) return kProbeBadStructure;
    if (!Has(dir->n, at, 2)) return kProbeTruncated;
    const uint32_t count = dir->U16(at);
    if (count == 0) return kProbeBadStructure;
    if (!Has(dir->n, at + 2, 12 * uint64_t{count} + 4)) return kProbeTruncated;
    for (uint32_t e = 0; e < count; ++e) {
        const uint64_t entry = at + 2 + 12 * uint64_t{e};
        const uint16_t tag = dir->U16(entry), type = dir->U16(entry + 2);
        const uint32_t values = dir->U32(entry + 4);
        const uint32_t size = TypeBytes(type);
        if (size == 0) continue;  // a type from a later revision: decoders skip it
        const uint64_t bytes = uint64_t{values} * size;
        const uint64_t where = bytes <= 4 ? entry + 8 : dir->U32(entry + 8);
        // Decoders fetch every tag they know, so any value outside the file
        // is a read they would make.
        if (!Has(dir->n, where, bytes)) return kProbeTruncated;
        for (int i = 0; i < kTagCount; ++i) {
            if (kTags[i] == tag && dir->fields[i].count == 0) {
                dir->fields[i] = Field{type, values, where};
            }
        }
    }
    return kProbeSound;
}

// The fewest file bytes the coding can hold the picture's raw bytes in, with
// the same margins as the stand-alone formats: deflate as PNG, JPEG as JPEG at
// its most compact (grey), LZW as GIF. PackBits codes at most 128 bytes in 2.
// A blank fax line costs one bit whatever its width, so CCITT codings are held
// to the buffer limit only. False for a coding the decoders do not read.
bool LeastBytes(uint32_t compression, int64_t raw, int64_t pixels, int64_t* least) {
    switch (compression) {
        case 1: *least = raw; return true;
        case 2: case 3: case 4: *least = 0; return true;
        case 5: *least = raw / 8192; return true;
        case 6: case 7: *least = pixels / 1024; return true;
        case 8: case 32946: *least = raw / 2064; return true;
        case 32773: *least = raw / 128; return true;
        default: return false;
    }
}

ProbeVerdict CheckPieces(const Directory& dir, uint16_t offsetsTag, uint16_t countsTag,
                         int64_t expected, int64_t uncompressedPiece) {
    const Field& offsets = dir.Get(offsetsTag);
    const Field& counts = dir.Get(countsTag);
    if (offsets.count == 0) return kProbeNoPictureData;
    if (offsets.count < expected) return kProbeBadStructure;
    // Old writers leave out the byte counts of an uncompressed single strip;
    // decoders work them out from the picture's size.
    const bool estimated = counts.count == 0 && offsets.count == 1 && uncompressedPiece > 0;
    if (!estimated && counts.count != offsets.count) return kProbeBadStructure;
    for (uint32_t i = 0; i < offsets.count; ++i) {
        uint32_t at = 0, bytes32 = 0;
        if (!dir.Value(offsetsTag, i, &at)) return kProbeBadStructure;
        if (!estimated && !dir.Value(countsTag, i, &bytes32)) return kProbeBadStructure;
        const uint64_t bytes = estimated ? static_cast<uint64_t>(uncompressedPiece) : bytes32;
        if (!Has(dir.n, at, bytes)) return kProbeTruncated;
    }
    return kProbeSound;
}

}  // namespace

void ProbeTiff(const uint8_t* d, size_t n, PictureProbe* out) {
    if (n < 8) {
        out->verdict = kProbeTruncated;
        return;
    }
    Directory dir{d, n, d[0] == 'M', {}};
    if (dir.U16(2) == 43) {
        out->verdict = kProbeUnsupported;  // BigTIFF
        return;
    }
    out->verdict = ReadDirectory(&dir);
    if (out->verdict != kProbeSound) return;

    uint32_t width = 0, length = 0;
    if (!dir.Value(kWidth, 0, &width) || !dir.Value(kLength, 0, &length)) {
        out->verdict = kProbeBadHeader;
        return;
    }
    const uint32_t samples = dir.ValueOr(kSamplesPerPixel, 1);
    const uint32_t bits = dir.ValueOr(kBitsPerSample, 1);
    const uint32_t compression = dir.ValueOr(kCompression, 1);
    const uint32_t planar = dir.ValueOr(kPlanar, 1);
    if (samples < 1 || samples > 16 || bits < 1 || bits > 32 || (planar != 1 && planar != 2)) {
        out->verdict = kProbeBadHeader;
        return;
    }
    out->depth = static_cast<int>(samples * bits);
    out->verdict = ToPixels(width, &out->width);
    if (out->verdict == kProbeSound) out->verdict = ToPixels(length, &out->height);
    if (out->verdict != kProbeSound) return;

    const int64_t pixels = static_cast<int64_t>(width) * length;
    const int64_t raw = SatMul(RowBytes(width, out->depth, 1), length);
    int64_t least = 0;
    if (!LeastBytes(compression, raw, pixels, &least)) {
        out->verdict = kProbeUnsupported;
        return;
    }
    if (compression >= 2 && compression <= 4 && out->depth != 1) {
        out->verdict = kProbeBadHeader;  // fax codings are bilevel only
        return;
    }
    out->verdict = QUB_CheckPictureBudget(out->width, out->height, least, n);
    if (out->verdict != kProbeSound) return;

    if (dir.ValueOr(kPhotometric, 1) == 3) {
        if (bits > 16 || dir.Get(kColourMap).count < 3 * (uint64_t{1} << bits)) {
            out->verdict = kProbeNoColourTable;
            return;
        }
    }
    // Past the budget the sizes are small enough that the counts below cannot
    // overflow: width x length < 2^29.
    const int64_t planes = planar == 2 ? samples : 1;
    if (dir.Get(kTileOffsets).count > 0 || dir.Get(kTileWidth).count > 0) {
        const uint32_t tileWidth = dir.ValueOr(kTileWidth, 0);
        const uint32_t tileLength = dir.ValueOr(kTileLength, 0);
        if (tileWidth == 0 || tileLength == 0) {
            out->verdict = kProbeBadHeader;
            return;
        }
        const int64_t across = (int64_t{width} + tileWidth - 1) / tileWidth;
        const int64_t down = (int64_t{length} + tileLength - 1) / tileLength;
        out->verdict = CheckPieces(dir, kTileOffsets, kTileByteCounts, across * down * planes, 0);
        return;
    }
    const uint32_t rowsPerStrip = dir.ValueOr(kRowsPerStrip, length);
    if (rowsPerStrip == 0) {
        out->verdict = kProbeBadHeader;
        return;
    }
    const int64_t strips = (int64_t{length} + rowsPerStrip - 1) / rowsPerStrip;
    out->verdict = CheckPieces(dir, kStripOffsets, kStripByteCounts, strips * planes,
                               compression == 1 ? raw : 0);
}

}  // namespace probe
