// The two lossless formats with palettes: PNG and GIF.
#include "formats/inflate_count.h"
#include "formats/probe_parts.h"

namespace probe {

// --- PNG ---------------------------------------------------------------------
// The signature, IHDR, the chunk walk to IEND, then the IDAT stream's
// inflated size. CRCs are not checked: a wrong one is the decoder's to
// report, and it cannot lead it astray the way a wrong length can.

namespace {

// Deflate codes at most 258 bytes in two bits (a length and a distance code of
// one bit each), 1032:1; half of that is demanded of the file. A flat
// 4000 x 3000 RGB picture then needs at least 17 KB, which real encoders
// (zlib at its best near 1000:1) never go below.
constexpr int64_t kDeflateRatio = 2064;

bool IsChunkLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool Is(const uint8_t* type, const char* name) {
    return type[0] == name[0] && type[1] == name[1] && type[2] == name[2] && type[3] == name[3];
}

// Samples a pixel for a colour type, and whether the bit depth suits it.
int Channels(int colourType, int bitDepth) {
    const bool sub8 = bitDepth == 1 || bitDepth == 2 || bitDepth == 4;
    const bool wide = bitDepth == 8 || bitDepth == 16;
    switch (colourType) {
        case 0: return sub8 || wide ? 1 : 0;        // grey
        case 2: return wide ? 3 : 0;                // RGB
        case 3: return sub8 || bitDepth == 8 ? 1 : 0;  // palette indices
        case 4: return wide ? 2 : 0;                // grey and alpha
        case 6: return wide ? 4 : 0;                // RGBA
        default: return 0;
    }
}

// Bytes of the filtered image data: each row a filter byte and its samples,
// and when interlaced the rows of the seven Adam7 passes, an empty pass
// having no rows at all. Exactly what the decoder inflates.
int64_t FilteredBytes(int64_t width, int64_t height, int bits, bool interlaced) {
    if (!interlaced) return SatMul(height, 1 + RowBytes(width, bits, 1));
    static const int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                      {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    int64_t total = 0;
    for (const auto& p : kPasses) {
        const int64_t columns = width > p[0] ? (width - p[0] + p[2] - 1) / p[2] : 0;
        const int64_t rows = height > p[1] ? (height - p[1] + p[3] - 1) / p[3] : 0;
        if (columns == 0 || rows == 0) continue;
        const int64_t pass = SatMul(rows, 1 + RowBytes(columns, bits, 1));
        total = pass > INT64_MAX - total ? INT64_MAX : total + pass;
    }
    return total;
}

// The IDAT chunks' bodies in file order, from the first: decoders that allow
// other chunks between them inflate them all, so that is what is counted.
struct IdatSpans {
    const uint8_t* d;
    size_t n;
    uint64_t at;  // the next chunk; the walk before has checked all to IEND
};

bool NextIdat(void* context, const uint8_t** data, size_t* size) {
    IdatSpans* s = static_cast<IdatSpans*>(context);
    while (Has(s->n, s->at, 8)) {
        const uint32_t length = Be32(s->d + s->at);
        const uint8_t* type = s->d + s->at + 4;
        if (Is(type, "IEND") || !Has(s->n, s->at + 8, uint64_t{length} + 4)) return false;
        const uint64_t body = s->at + 8;
        s->at = body + length + 4;
        if (Is(type, "IDAT")) {
            *data = s->d + body;
            *size = length;
            return true;
        }
    }
    return false;
}

// A stream that inflates past the image data is refused: it is how a file of
// a few megabytes makes a decoder allocate gigabytes. One that ends early is
// left to the decoder, which shows the rows it got, as a cut file always was;
// one that inflate refuses is damaged.
constexpr uint64_t kStreamSlack = 65536;  // headers and block overheads of tiny pictures

ProbeVerdict CheckImageData(const uint8_t* d, size_t n, uint64_t firstIdat, int64_t dataBytes) {
    IdatSpans spans{d, n, firstIdat};
    uint64_t produced = 0;
    switch (CountInflated({NextIdat, &spans}, static_cast<uint64_t>(dataBytes), &produced)) {
        case kInflateEnds:
        case kInflateCut: return kProbeSound;
        case kInflatePastLimit: return kProbeExcessData;
        case kInflateBroken: break;
    }
    return kProbeBadStructure;
}

ProbeVerdict ReadHeader(const uint8_t* s, uint32_t length, size_t fileSize, int* colourType,
                        int64_t* dataBytes, PictureProbe* out) {
    if (length != 13) return kProbeBadStructure;
    const uint32_t width = Be32(s), height = Be32(s + 4);
    const int bitDepth = s[8];
    *colourType = s[9];
    const int channels = Channels(*colourType, bitDepth);
    if (channels == 0 || s[10] != 0 || s[11] != 0 || s[12] > 1) return kProbeBadHeader;
    out->depth = channels * bitDepth;
    if (width == 0 || height == 0 || width > INT32_MAX || height > INT32_MAX)
        return kProbeBadDimensions;
    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    *dataBytes = FilteredBytes(width, height, out->depth, s[12] == 1);
    return QUB_CheckPictureBudget(out->width, out->height, *dataBytes / kDeflateRatio, fileSize);
}

}  // namespace

void ProbePng(const uint8_t* d, size_t n, PictureProbe* out) {
    int colourType = 0;
    int64_t dataBytes = 0;
    uint64_t firstIdat = 0, idatBytes = 0;
    bool havePalette = false, haveData = false;
    for (uint64_t at = 8, index = 0;; ++index) {
        if (!Has(n, at, 8)) {
            out->verdict = kProbeTruncated;
            return;
        }
        const uint32_t length = Be32(d + at);
        const uint8_t* type = d + at + 4;
        if (length > INT32_MAX || !IsChunkLetter(type[0]) || !IsChunkLetter(type[1]) ||
            !IsChunkLetter(type[2]) || !IsChunkLetter(type[3])) {
            out->verdict = kProbeBadStructure;
            return;
        }
        if (!Has(n, at + 8, uint64_t{length} + 4)) {
            out->verdict = kProbeTruncated;
            return;
        }
        const uint8_t* body = d + at + 8;
        const uint64_t chunk = at;
        at += 12 + uint64_t{length};
        if ((index == 0) != Is(type, "IHDR")) {
            out->verdict = kProbeBadStructure;
            return;
        }
        if (index == 0) {
            out->verdict = ReadHeader(body, length, n, &colourType, &dataBytes, out);
            if (out->verdict != kProbeSound) return;
        } else if (Is(type, "PLTE")) {
            if (haveData) {
                out->verdict = kProbeBadOrder;
                return;
            }
            if (length == 0 || length % 3 != 0 || length > 3 * 256) {
                out->verdict = kProbeBadStructure;
                return;
            }
            havePalette = true;
        } else if (Is(type, "IDAT")) {
            if (colourType == 3 && !havePalette) {
                out->verdict = kProbeNoColourTable;
                return;
            }
            if (!haveData) firstIdat = chunk;
            haveData = true;
            idatBytes += length;
        } else if (Is(type, "IEND")) {
            // No encoder's stream is twice the rows it holds (stored blocks
            // add 5 bytes in 65535, a fixed code at most an eighth); a longer
            // one, of empty blocks say, would only make the walk below slow.
            if (haveData && idatBytes > 2 * static_cast<uint64_t>(dataBytes) + kStreamSlack)
                out->verdict = kProbeExcessData;
            else
                out->verdict =
                    haveData ? CheckImageData(d, n, firstIdat, dataBytes) : kProbeNoPictureData;
            return;
        }
    }
}

// --- GIF ---------------------------------------------------------------------
// The logical screen, the block walk to the trailer, and a colour table for
// every frame.

namespace {

// LZW with 12-bit codes: once the table is full and no clear code follows,
// every code can stand for a string of about 4,000 pixels, some 2,700 pixels
// a byte. Three times that is allowed before the size is called out of
// proportion; encoders that clear a full table stay near 1,300.
constexpr int64_t kLzwPixelsPerByte = 8192;

int64_t LeastBytes(int width, int height) {
    return static_cast<int64_t>(width) * height / kLzwPixelsPerByte;
}

// Steps over data sub-blocks up to and including the zero-length terminator.
bool SkipSubBlocks(const uint8_t* d, size_t n, uint64_t* at) {
    for (;;) {
        if (*at >= n) return false;
        const uint8_t length = d[(*at)++];
        if (length == 0) return true;
        if (!Has(n, *at, length)) return false;
        *at += length;
    }
}

uint64_t TableBytes(uint8_t packed) { return uint64_t{3} << ((packed & 7) + 1); }

}  // namespace

void ProbeGif(const uint8_t* d, size_t n, PictureProbe* out) {
    if (n < 13) {
        out->verdict = kProbeTruncated;
        return;
    }
    const int width = Le16(d + 6), height = Le16(d + 8);
    const uint8_t screen = d[10];
    const bool global = (screen & 0x80) != 0;
    if (global) out->depth = (screen & 7) + 1;
    out->width = width;
    out->height = height;
    out->verdict = QUB_CheckPictureBudget(width, height, LeastBytes(width, height), n);
    if (out->verdict != kProbeSound) return;
    uint64_t at = 13;
    if (global) {
        if (!Has(n, at, TableBytes(screen))) {
            out->verdict = kProbeTruncated;
            return;
        }
        at += TableBytes(screen);
    }
    int frames = 0;
    for (;;) {
        if (at >= n) {
            out->verdict = kProbeTruncated;
            return;
        }
        const uint8_t introducer = d[at++];
        if (introducer == 0x3B) {
            out->verdict = frames > 0 ? kProbeSound : kProbeNoPictureData;
            return;
        }
        if (introducer == 0x21) {
            ++at;  // the extension's label
            if (!SkipSubBlocks(d, n, &at)) {
                out->verdict = kProbeTruncated;
                return;
            }
            continue;
        }
        if (introducer != 0x2C) {
            out->verdict = kProbeBadStructure;
            return;
        }
        if (!Has(n, at, 9)) {
            out->verdict = kProbeTruncated;
            return;
        }
        // Frames may lie partly outside the screen (decoders clip them), but
        // they are decoded at their own size.
        const int frameWidth = Le16(d + at + 4), frameHeight = Le16(d + at + 6);
        const uint8_t packed = d[at + 8];
        at += 9;
        out->verdict = QUB_CheckPictureBudget(frameWidth, frameHeight,
                                              LeastBytes(frameWidth, frameHeight), n);
        if (out->verdict != kProbeSound) return;
        if (packed & 0x80) {
            if (!Has(n, at, TableBytes(packed))) {
                out->verdict = kProbeTruncated;
                return;
            }
            at += TableBytes(packed);
            if (out->depth == 0) out->depth = (packed & 7) + 1;
        } else if (!global) {
            out->verdict = kProbeNoColourTable;
            return;
        }
        if (at >= n) {
            out->verdict = kProbeTruncated;
            return;
        }
        const uint8_t codeSize = d[at++];
        if (codeSize < 2 || codeSize > 8) {
            out->verdict = kProbeBadHeader;
            return;
        }
        if (!SkipSubBlocks(d, n, &at)) {
            out->verdict = kProbeTruncated;
            return;
        }
        ++frames;
    }
}

}  // namespace probe
