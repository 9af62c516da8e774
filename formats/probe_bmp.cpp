// BMP files, the DIB header they share with icons and metafile records, and
// ICO files.
#include <cstring>

#include "formats/probe_parts.h"

namespace probe {

namespace {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3;

// An RLE run codes at most 255 pixels in two bytes; twice that density leaves
// room for the delta escapes that skip pixels. Real encoders (runs and an
// end-of-line per row) stay near 127 pixels a byte.
constexpr int64_t kRlePixelsPerByte = 256;

bool IsInfoHeaderSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

ProbeVerdict ReadCoreHeader(const uint8_t* d, size_t n, Dib* dib) {
    if (n < 12) return kProbeTruncated;
    dib->width = Le16(d + 4);
    dib->height = Le16(d + 6);
    dib->bitCount = Le16(d + 10);
    if (Le16(d + 8) != 1) return kProbeBadHeader;
    if (dib->width == 0 || dib->height == 0) return kProbeBadDimensions;
    const int b = dib->bitCount;
    if (b != 1 && b != 4 && b != 8 && b != 24) return kProbeBadHeader;
    dib->entryBytes = 3;
    dib->colours = b <= 8 ? uint64_t{1} << b : 0;
    return kProbeSound;
}

ProbeVerdict ReadInfoHeader(const uint8_t* d, size_t n, Dib* dib) {
    if (n < dib->headerBytes) return kProbeTruncated;
    const int32_t width = LeS32(d + 4);
    const int32_t height = LeS32(d + 8);
    dib->bitCount = Le16(d + 14);
    dib->compression = Le32(d + 16);
    const uint32_t used = Le32(d + 32);
    if (Le16(d + 12) != 1) return kProbeBadHeader;
    if (width <= 0 || height == 0 || height == INT32_MIN) return kProbeBadDimensions;
    dib->width = width;
    dib->topDown = height < 0;  // the height is negative for top-down bitmaps
    dib->height = dib->topDown ? -height : height;
    const int b = dib->bitCount;
    if (b == 0) return kProbeUnsupported;  // the pixels are a JPEG or PNG stream
    if (b != 1 && b != 4 && b != 8 && b != 16 && b != 24 && b != 32) return kProbeBadHeader;
    switch (dib->compression) {
        case kBiRgb: break;
        case kBiRle8:
        case kBiRle4:
            // RLE bitmaps are bottom-up by definition; a top-down one has no
            // defined meaning and decoders disagree about it.
            if (b != (dib->compression == kBiRle8 ? 8 : 4) || dib->topDown) return kProbeBadHeader;
            break;
        case kBiBitfields:
            if (b != 16 && b != 32) return kProbeBadHeader;
            // A plain info header keeps its three masks after itself; later
            // versions hold them inside the header.
            if (dib->headerBytes == 40) dib->paletteStart += 12;
            break;
        case 4:  // BI_JPEG, BI_PNG: for printers, not files
        case 5:
        case 6:  // BI_ALPHABITFIELDS: Windows CE only
            return kProbeUnsupported;
        default: return kProbeBadHeader;
    }
    dib->entryBytes = 4;
    if (b <= 8) {
        const uint64_t most = uint64_t{1} << b;
        dib->colours = used == 0 || used > most ? most : used;
    } else {
        dib->colours = used;  // an optional palette for display on 8-bit screens
    }
    return kProbeSound;
}

}  // namespace

ProbeVerdict ReadDib(const uint8_t* d, size_t n, Dib* dib) {
    *dib = Dib{};
    if (n < 4) return kProbeTruncated;
    dib->headerBytes = Le32(d);
    dib->tableStart = dib->headerBytes;
    dib->paletteStart = dib->headerBytes;
    ProbeVerdict v;
    if (dib->headerBytes == 12) {
        v = ReadCoreHeader(d, n, dib);
    } else if (IsInfoHeaderSize(dib->headerBytes)) {
        v = ReadInfoHeader(d, n, dib);
    } else if (dib->headerBytes == 16 || dib->headerBytes == 64) {
        return kProbeUnsupported;  // OS/2 2.x headers
    } else {
        return kProbeBadHeader;
    }
    if (v != kProbeSound) return v;
    if (dib->compression == kBiRgb || dib->compression == kBiBitfields)
        dib->bitsBytes = SatMul(RowBytes(dib->width, dib->bitCount, 4), dib->height);
    return kProbeSound;
}

ProbeVerdict CheckDibParts(const uint8_t* info, size_t infoBytes, uint64_t bitsBytes,
                          uint32_t entryBytes, int64_t rows, uint64_t* infoEnd) {
    Dib dib;
    const ProbeVerdict v = ReadDib(info, infoBytes, &dib);
    if (v != kProbeSound) return v;
    const uint64_t palette = dib.colours * (entryBytes == 2 ? 2 : dib.entryBytes);
    if (!Has(infoBytes, dib.tableStart, dib.paletteStart - dib.tableStart)) return kProbeTruncated;
    if (!Has(infoBytes, dib.paletteStart, palette)) return kProbeTruncated;
    *infoEnd = dib.paletteStart + palette;
    if (dib.bitsBytes == 0) return kProbeSound;  // RLE: the player stops at its end
    const int64_t used = rows <= 0 || rows > dib.height ? dib.height : rows;
    const int64_t bytes = SatMul(RowBytes(dib.width, dib.bitCount, 4), used);
    return static_cast<uint64_t>(bytes) <= bitsBytes ? kProbeSound : kProbeTruncated;
}

ProbeVerdict CheckPackedDib(const uint8_t* d, size_t n, uint32_t entryBytes, int64_t rows) {
    // The header says where its palette ends; a first pass finds that with no
    // pixels allowed, the second gives the pixels what follows it.
    uint64_t infoEnd = 0;
    const ProbeVerdict v = CheckDibParts(d, n, UINT64_MAX, entryBytes, rows, &infoEnd);
    if (v != kProbeSound) return v;
    return CheckDibParts(d, n, n - infoEnd, entryBytes, rows, &infoEnd);
}

void ProbeBmp(const uint8_t* d, size_t n, PictureProbe* out) {
    constexpr size_t kFileHeader = 14;
    if (n < kFileHeader + 4) {
        out->verdict = kProbeTruncated;
        return;
    }
    // bfSize is often wrong in files that decode well; only the offset counts.
    const uint64_t bitsAt = Le32(d + 10);
    Dib dib;
    out->verdict = ReadDib(d + kFileHeader, n - kFileHeader, &dib);
    if (out->verdict != kProbeSound) return;
    out->width = dib.width;
    out->height = dib.height;
    out->depth = dib.bitCount;
    const int64_t pixels = static_cast<int64_t>(dib.width) * dib.height;
    const int64_t least = dib.bitsBytes > 0 ? dib.bitsBytes : pixels / kRlePixelsPerByte;
    out->verdict = QUB_CheckPictureBudget(dib.width, dib.height, least, n);
    if (out->verdict != kProbeSound) return;

    // A version 5 header may carry a colour profile, at an offset from the
    // header's start, that decoders read.
    const uint32_t profileType = dib.headerBytes == 124 ? Le32(d + kFileHeader + 56) : 0;
    if ((profileType == 0x4D424544 || profileType == 0x4C494E4B) &&  // 'MBED', 'LINK'
        !Has(n, kFileHeader + uint64_t{Le32(d + kFileHeader + 112)}, Le32(d + kFileHeader + 116))) {
        out->verdict = kProbeTruncated;
        return;
    }
    const uint64_t paletteAt = kFileHeader + dib.paletteStart;
    if (bitsAt < paletteAt) {
        out->verdict = kProbeBadHeader;  // the pixels would overlap the header
        return;
    }
    if (bitsAt >= n) {
        out->verdict = kProbeTruncated;
        return;
    }
    // Decoders read the palette up to the pixel offset, so writers that store
    // fewer entries than the header declares are common and harmless; none at
    // all leaves indices with nothing to index.
    if (dib.bitCount <= 8 && (bitsAt - paletteAt) / dib.entryBytes == 0) {
        out->verdict = kProbeNoColourTable;
        return;
    }
    if (dib.bitsBytes > 0 && !Has(n, bitsAt, static_cast<uint64_t>(dib.bitsBytes)))
        out->verdict = kProbeTruncated;
}

void ProbeIco(const uint8_t* d, size_t n, PictureProbe* out) {
    const uint32_t count = Le16(d + 4);
    const uint64_t directoryEnd = 6 + uint64_t{16} * count;
    if (!Has(n, 0, directoryEnd)) {
        out->verdict = kProbeTruncated;
        return;
    }
    int64_t bestArea = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = d + 6 + 16 * static_cast<size_t>(i);
        const uint32_t bytes = Le32(entry + 8);
        const uint32_t at = Le32(entry + 12);
        if (!Has(n, at, bytes)) {
            out->verdict = kProbeTruncated;
            return;
        }
        if (at < directoryEnd || bytes < 8) {
            out->verdict = kProbeBadStructure;
            return;
        }
        const uint8_t* image = d + at;
        PictureProbe one{};
        if (std::memcmp(image, "\x89PNG\r\n\x1A\n", 8) == 0) {
            one.format = kPicturePng;
            ProbePng(image, bytes, &one);
        } else {
            Dib dib;
            one.verdict = ReadDib(image, bytes, &dib);
            if (one.verdict == kProbeSound && (dib.compression != kBiRgb || dib.topDown))
                one.verdict = kProbeUnsupported;
            // The height counts the colour rows and the AND mask's rows.
            if (one.verdict == kProbeSound && dib.height < 2) one.verdict = kProbeBadDimensions;
            if (one.verdict == kProbeSound) {
                one.width = dib.width;
                one.height = dib.height / 2;
                one.depth = dib.bitCount;
                const int64_t colour = SatMul(RowBytes(one.width, dib.bitCount, 4), one.height);
                // 32-bit images carry alpha; their mask is often left out.
                const int64_t mask =
                    dib.bitCount == 32 ? 0 : SatMul(RowBytes(one.width, 1, 4), one.height);
                const int64_t pixels = colour > INT64_MAX - mask ? INT64_MAX : colour + mask;
                one.verdict = QUB_CheckPictureBudget(one.width, one.height, pixels, bytes);
                const uint64_t palette = dib.colours * dib.entryBytes;
                if (one.verdict == kProbeSound &&
                    (!Has(bytes, dib.paletteStart, palette) ||
                     !Has(bytes, dib.paletteStart + palette, static_cast<uint64_t>(pixels))))
                    one.verdict = kProbeTruncated;
            }
        }
        if (one.verdict != kProbeSound) {
            out->verdict = one.verdict;
            return;
        }
        const int64_t area = static_cast<int64_t>(one.width) * one.height;
        if (area > bestArea) {
            bestArea = area;
            out->width = one.width;
            out->height = one.height;
            out->depth = one.depth;
        }
    }
    out->verdict = kProbeSound;
}

}  // namespace probe
