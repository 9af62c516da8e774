// Shared by the per-format readers behind QUB_ProbePicture; not for callers.
//
// Every reader gets the file as (data, size) and checks each offset with
// Has() before it reads, in 64-bit arithmetic that cannot wrap: offsets and
// counts come straight from the file.
#pragma once
#include <cstddef>
#include <cstdint>

#include "formats/picture_probe.h"

namespace probe {

inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
inline uint32_t Be32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
}
inline int16_t LeS16(const uint8_t* p) { return static_cast<int16_t>(Le16(p)); }
inline int32_t LeS32(const uint8_t* p) { return static_cast<int32_t>(Le32(p)); }

// True when `count` bytes from `offset` lie inside `size` bytes.
inline bool Has(uint64_t size, uint64_t offset, uint64_t count) {
    return offset <= size && count <= size - offset;
}

// a * b for non-negative values, held at INT64_MAX instead of wrapping.
inline int64_t SatMul(int64_t a, int64_t b) {
    if (a == 0 || b == 0) return 0;
    if (a > INT64_MAX / b) return INT64_MAX;
    return a * b;
}

// Bytes of one uncompressed row of `width` pixels of `bits` each, padded to
// `alignBytes` (4 for DIBs, 1 for PNG and TIFF rows).
inline int64_t RowBytes(int64_t width, int64_t bits, int64_t alignBytes) {
    const int64_t rowBits = SatMul(width, bits);
    if (rowBits == INT64_MAX) return INT64_MAX;
    const int64_t alignBits = 8 * alignBytes;
    return (rowBits + alignBits - 1) / alignBits * alignBytes;
}

// A device-independent bitmap: BITMAPCOREHEADER or BITMAPINFOHEADER and its
// later versions, as in a BMP file after its 14-byte file header, in an ICO
// image and inside metafile records.
struct Dib {
    int width;
    int height;           // rows, positive; top-down is flagged
    bool topDown;
    int bitCount;
    uint32_t compression;  // BI_RGB 0, BI_RLE8 1, BI_RLE4 2, BI_BITFIELDS 3
    uint32_t headerBytes;  // the header's own size field
    uint64_t tableStart;   // offset of the colour masks or palette
    uint64_t paletteStart; // offset of the palette (after any masks)
    uint64_t colours;      // palette entries the header declares
    uint32_t entryBytes;   // 3 for core headers, else 4
    int64_t bitsBytes;     // uncompressed pixel bytes (rows padded to 4); 0 for RLE
};

// Reads the header at the start of `size` bytes. Verdicts: kProbeSound,
// kProbeTruncated, kProbeBadHeader, kProbeBadDimensions, kProbeUnsupported.
// An ICO image's header counts both the colour rows and the mask rows in its
// height; the caller halves it.
ProbeVerdict ReadDib(const uint8_t* data, size_t size, Dib* dib);

// A DIB whose header and palette (entries of `entryBytes`, 2 for
// DIB_PAL_COLORS in metafiles, else the header's own) fill at most
// `infoBytes`, with `rows` rows of pixels (0: all of them) in `bitsBytes`. For
// metafile records and icons, whose players copy the pixels without further
// checks. On success `infoEnd` is where the palette ends.
ProbeVerdict CheckDibParts(const uint8_t* info, size_t infoBytes, uint64_t bitsBytes,
                          uint32_t entryBytes, int64_t rows, uint64_t* infoEnd);
// The same for a DIB packed in `size` bytes: header, palette, then pixels.
ProbeVerdict CheckPackedDib(const uint8_t* data, size_t size, uint32_t entryBytes, int64_t rows);

// The per-format readers. `out` arrives with format set and zero sizes.
void ProbeBmp(const uint8_t* data, size_t size, PictureProbe* out);
void ProbeIco(const uint8_t* data, size_t size, PictureProbe* out);
void ProbeJpeg(const uint8_t* data, size_t size, PictureProbe* out);
void ProbeGif(const uint8_t* data, size_t size, PictureProbe* out);
void ProbePng(const uint8_t* data, size_t size, PictureProbe* out);
void ProbeTiff(const uint8_t* data, size_t size, PictureProbe* out);
void ProbeWmf(const uint8_t* data, size_t size, PictureProbe* out);
void ProbeEmf(const uint8_t* data, size_t size, PictureProbe* out);

// Pixel dimensions from a 64-bit measure: kProbeSound with `*out` set, or the
// verdict for zero (kProbeBadDimensions) and too large (kProbeTooLarge).
ProbeVerdict ToPixels(int64_t value, int* out);

}  // namespace probe
