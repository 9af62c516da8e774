// Enhanced metafiles: EMR_HEADER, the record walk to EMR_EOF, and each
// record's size against the fields its type always has and the counts and
// offsets it carries. The player copies points, strings and bitmaps by those
// counts without looking at the record's size, so a record that is too short
// for them is where it reads past the file.
#include "formats/probe_parts.h"

namespace probe {

namespace {

constexpr uint32_t kEmrHeader = 1, kEmrEof = 14, kEmrComment = 70;
constexpr uint32_t kEmfPlusSignature = 0x2B464D45;  // "EMF+"

// Bytes of the fixed fields of each record type, its 8-byte type and size
// included. Types not listed need only those 8.
struct FixedRecord {
    uint8_t type;
    uint8_t bytes;
};
constexpr FixedRecord kFixed[] = {
    {1, 88},   {2, 28},   {3, 28},   {4, 28},   {5, 28},   {6, 28},   {7, 32},   {8, 32},
    {9, 16},   {10, 16},  {11, 16},  {12, 16},  {13, 16},  {14, 20},  {15, 20},  {16, 12},
    {17, 12},  {18, 12},  {19, 12},  {20, 12},  {21, 12},  {22, 12},  {23, 32},  {24, 12},
    {25, 12},  {26, 16},  {27, 16},  {29, 24},  {30, 24},  {31, 24},  {32, 24},  {34, 12},
    {35, 32},  {36, 36},  {37, 12},  {38, 28},  {39, 24},  {40, 12},  {41, 28},  {42, 24},
    {43, 24},  {44, 32},  {45, 40},  {46, 40},  {47, 40},  {48, 12},  {49, 16},  {50, 20},
    {51, 16},  {53, 24},  {54, 16},  {55, 40},  {56, 28},  {57, 12},  {58, 12},  {62, 24},
    {63, 24},  {64, 24},  {67, 12},  {70, 12},  {71, 32},  {72, 40},  {73, 28},  {74, 28},
    {75, 16},  {76, 100}, {77, 108}, {78, 128}, {79, 140}, {80, 76},  {81, 80},  {82, 104},
    {83, 76},  {84, 76},  {85, 28},  {86, 28},  {87, 28},  {88, 28},  {89, 28},  {90, 32},
    {91, 32},  {92, 28},  {93, 32},  {94, 32},  {95, 52},  {96, 40},  {97, 40},  {98, 12},
    {100, 12}, {101, 12}, {112, 20}, {113, 20}, {114, 108}, {115, 12}, {116, 108}, {118, 36},
    {121, 16},
};

uint32_t FixedBytes(uint32_t type) {
    for (const FixedRecord& f : kFixed) {
        if (f.type == type) return f.bytes;
    }
    return 8;
}

struct Record {
    const uint8_t* r;
    uint32_t size;
    uint64_t U32(uint32_t at) const { return Le32(r + at); }
};

// A source bitmap as four fields at `at`: header offset and size, pixel
// offset and size, all relative to the record. `usageAt` is the offset of its
// colour usage (DIB_PAL_COLORS palettes hold 2-byte entries), 0 when fixed.
bool BitmapFits(const Record& q, uint32_t at, uint32_t usageAt, int64_t rows) {
    const uint64_t infoAt = q.U32(at), infoBytes = q.U32(at + 4);
    const uint64_t bitsAt = q.U32(at + 8), bitsBytes = q.U32(at + 12);
    if (infoBytes == 0) return true;  // no source: a pattern or colour fill
    if (infoAt < 8 || !Has(q.size, infoAt, infoBytes) || !Has(q.size, bitsAt, bitsBytes))
        return false;
    const uint32_t entry = usageAt != 0 && q.U32(usageAt) == 1 ? 2 : 4;
    uint64_t infoEnd = 0;
    // Both sizes lie inside the record, so they fit a size_t.
    const size_t info = static_cast<size_t>(infoBytes);
    return CheckDibParts(q.r + infoAt, info, bitsBytes, entry, rows, &infoEnd) == kProbeSound;
}

// An EMRTEXT at `at`: a string of `nChars` characters and, when offDx is set,
// as many advances (two per character with ETO_PDY).
bool TextFits(const Record& q, uint32_t at, uint64_t charBytes) {
    if (!Has(q.size, at, 40)) return false;
    const uint64_t chars = q.U32(at + 8), stringAt = q.U32(at + 12);
    const uint64_t options = q.U32(at + 16), dxAt = q.U32(at + 36);
    if (chars == 0) return true;
    if (!Has(q.size, stringAt, chars * charBytes)) return false;
    const uint64_t dxBytes = chars * ((options & 0x2000) ? 8 : 4);
    return dxAt == 0 || Has(q.size, dxAt, dxBytes);
}

// EMF+ records ride in comments; GDI+ plays them instead of the EMF ones.
bool EmfPlusFits(const Record& q, uint64_t dataBytes) {
    if (dataBytes < 4 || q.U32(12) != kEmfPlusSignature) return true;
    const uint64_t end = 12 + dataBytes;
    for (uint64_t at = 16; at < end;) {
        if (!Has(end, at, 12)) return false;
        const uint64_t size = Le32(q.r + at + 4), data = Le32(q.r + at + 8);
        if (size < 12 || size % 4 != 0 || !Has(end, at, size) || data > size - 12) return false;
        at += size;
    }
    return true;
}

bool CountsFit(uint32_t type, const Record& q) {
    switch (type) {
        case 2: case 3: case 4: case 5: case 6:  // POLY*: points of 8 bytes
            return Has(q.size, 28, 8 * q.U32(24));
        case 85: case 86: case 87: case 88: case 89:  // POLY*16: points of 4 bytes
            return Has(q.size, 28, 4 * q.U32(24));
        case 7: case 8:  // POLYPOLY*: a count per polygon, then the points
            return Has(q.size, 32, 4 * q.U32(24) + 8 * q.U32(28));
        case 90: case 91:
            return Has(q.size, 32, 4 * q.U32(24) + 4 * q.U32(28));
        case 56: return Has(q.size, 28, 9 * q.U32(24));  // POLYDRAW: points and types
        case 92: return Has(q.size, 28, 5 * q.U32(24));
        case 49: return Has(q.size, 16, 4 * uint64_t{Le16(q.r + 14)});  // CREATEPALETTE
        case 50: return Has(q.size, 20, 4 * q.U32(16));                  // SETPALETTEENTRIES
        case kEmrComment: return Has(q.size, 12, q.U32(8)) && EmfPlusFits(q, q.U32(8));
        case 71: return Has(q.size, 32, q.U32(24));  // FILLRGN and the other region records
        case 72: return Has(q.size, 40, q.U32(24));
        case 73: case 74: return Has(q.size, 28, q.U32(24));
        case 75: return Has(q.size, 16, q.U32(8));
        case 76: case 77: case 114: case 116:  // BITBLT, STRETCHBLT, ALPHABLEND, TRANSPARENTBLT
            return BitmapFits(q, 84, 80, 0);
        case 78: return BitmapFits(q, 84, 80, 0) && BitmapFits(q, 112, 108, 0);  // MASKBLT
        case 79: return BitmapFits(q, 96, 92, 0) && BitmapFits(q, 124, 120, 0);  // PLGBLT
        case 80: return BitmapFits(q, 48, 64, static_cast<int64_t>(q.U32(72)));  // cScans rows
        case 81: return BitmapFits(q, 48, 64, 0);                                // STRETCHDIBITS
        case 93: case 94: return BitmapFits(q, 16, 12, 0);  // mono and DIB pattern brushes
        case 95: return Has(q.size, 52, 4 * q.U32(48)) && BitmapFits(q, 12, 0, 0);  // EXTCREATEPEN
        case 83: return TextFits(q, 36, 1);  // EXTTEXTOUTA, EXTTEXTOUTW
        case 84: return TextFits(q, 36, 2);
        case 96: case 97: {  // POLYTEXTOUTA, POLYTEXTOUTW: an EMRTEXT per string
            const uint64_t strings = q.U32(36);
            if (!Has(q.size, 40, 40 * strings)) return false;
            for (uint64_t i = 0; i < strings; ++i) {
                if (!TextFits(q, static_cast<uint32_t>(40 + 40 * i), type == 96 ? 1 : 2))
                    return false;
            }
            return true;
        }
        case 112: case 113: return Has(q.size, 20, q.U32(12) + q.U32(16));  // SETICMPROFILE
        case 118: {  // GRADIENTFILL: vertices, then triangles or rectangles
            const uint64_t mesh = q.U32(32) == 2 ? 12 : 8;
            return Has(q.size, 36, 16 * q.U32(24) + mesh * q.U32(28));
        }
        default: return true;
    }
}

// Object handles index the player's table of nHandles entries, 0 being the
// metafile itself; stock objects have the top bit set and no entry.
bool HandlesFit(uint32_t type, const Record& q, uint64_t handles) {
    uint32_t at = 0;
    bool create = false;
    switch (type) {
        case 38: case 39: case 49: case 82: case 93: case 94: case 95: case 99: case 122:
            at = 8;  // the creation records: their handle is a slot they fill
            create = true;
            break;
        case 37: case 40: case 48: at = 8; break;  // SELECTOBJECT, DELETEOBJECT, SELECTPALETTE
        case 71: case 72: at = 28; break;          // FILLRGN, FRAMERGN: the brush
        default: return true;
    }
    if (!Has(q.size, at, 4)) return false;
    const uint64_t handle = q.U32(at);
    if (!create && (handle & 0x80000000u)) return true;
    return handle >= 1 && handle < handles;
}

// The picture's size in pixels at the reference device's resolution.
ProbeVerdict HeaderSize(const uint8_t* h, PictureProbe* out) {
    const int64_t deviceX = LeS32(h + 72), deviceY = LeS32(h + 76);
    const int64_t mmX = LeS32(h + 80), mmY = LeS32(h + 84);
    if (deviceX <= 0 || deviceY <= 0 || mmX <= 0 || mmY <= 0) return kProbeBadHeader;
    const int64_t frameX = int64_t{LeS32(h + 32)} - LeS32(h + 24);
    const int64_t frameY = int64_t{LeS32(h + 36)} - LeS32(h + 28);
    auto real = [](int64_t v) { return static_cast<double>(v); };
    double x, y;
    if (frameX > 0 && frameY > 0) {
        x = real(frameX) * real(deviceX) / (100.0 * real(mmX));
        y = real(frameY) * real(deviceY) / (100.0 * real(mmY));
    } else {
        x = static_cast<double>(int64_t{LeS32(h + 16)} - LeS32(h + 8) + 1);
        y = static_cast<double>(int64_t{LeS32(h + 20)} - LeS32(h + 12) + 1);
    }
    if (x > INT32_MAX || y > INT32_MAX) return kProbeTooLarge;
    ProbeVerdict v = ToPixels(static_cast<int64_t>(x + 0.5), &out->width);
    if (v == kProbeSound) v = ToPixels(static_cast<int64_t>(y + 0.5), &out->height);
    return v;
}

}  // namespace

void ProbeEmf(const uint8_t* d, size_t n, PictureProbe* out) {
    out->depth = 32;
    if (n < 88) {
        out->verdict = kProbeTruncated;
        return;
    }
    const uint64_t headerBytes = Le32(d + 4), total = Le32(d + 48);
    if (headerBytes < 88 || headerBytes % 4 != 0 || Le32(d + 44) != 0x10000 ||
        total < headerBytes) {
        out->verdict = kProbeBadHeader;
        return;
    }
    if (total > n || headerBytes > n) {
        out->verdict = kProbeTruncated;
        return;
    }
    const uint64_t descriptionChars = Le32(d + 60), descriptionAt = Le32(d + 64);
    if (descriptionChars > 0 &&
        (descriptionAt < 88 || !Has(headerBytes, descriptionAt, 2 * descriptionChars))) {
        out->verdict = kProbeBadHeader;
        return;
    }
    // Extensions of later versions: a pixel format descriptor inside the header.
    if (headerBytes >= 100 && Le32(d + 88) > 0 && !Has(headerBytes, Le32(d + 92), Le32(d + 88))) {
        out->verdict = kProbeBadHeader;
        return;
    }
    const uint64_t handles = Le16(d + 56);
    out->verdict = HeaderSize(d, out);
    if (out->verdict == kProbeSound)
        out->verdict = QUB_CheckPictureBudget(out->width, out->height, 0, n);
    if (out->verdict != kProbeSound) return;

    // The walk ends at nBytes: what follows is not the metafile's.
    for (uint64_t at = headerBytes;;) {
        if (at >= total) {
            out->verdict = kProbeNoEndRecord;
            return;
        }
        if (!Has(total, at, 8)) {
            out->verdict = kProbeBadRecord;
            return;
        }
        const uint32_t type = Le32(d + at), size = Le32(d + at + 4);
        if (size < 8 || size % 4 != 0 || !Has(total, at, size) || type == kEmrHeader ||
            size < FixedBytes(type) || !CountsFit(type, Record{d + at, size}) ||
            !HandlesFit(type, Record{d + at, size}, handles)) {
            out->verdict = kProbeBadRecord;
            return;
        }
        if (type == kEmrEof) return;
        at += size;
    }
}

}  // namespace probe
