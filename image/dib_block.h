// The packed device-independent bitmap of the clipboard's CF_DIB format: a
// header, optional colour masks, an optional colour table and the pixel rows,
// in one global memory block as another program left it there.
//
// Everything here works on the block's bytes alone and never reads past the
// size the block reports (GlobalSize on Windows, which may round the size up:
// bytes after the pixels are ignored). QUB_CheckDibBlock is the only function
// that trusts nothing; the converters take its layout as the proof that every
// row and table entry they read lies inside the block.
//
// Headers read: BITMAPCOREHEADER (12 bytes, 3-byte colour entries) and
// BITMAPINFOHEADER (40) with its later versions (52, 56, V4 108, V5 124). A V5
// header's colour profile is not read and its offset is not used. Pixels:
// 1, 4, 8, 24 bits through BI_RGB; 16 and 32 through BI_RGB or BI_BITFIELDS
// (and BI_ALPHABITFIELDS, whose fourth mask is reported and then ignored, as
// the library's pixels have no alpha). Run-length, JPEG and PNG pixels are
// refused: producers of clipboard bitmaps do not write them, and a run decoder
// is a second reader of hostile bytes for no picture anyone pastes.
#pragma once
#include <cstddef>
#include <cstdint>

enum DibVerdict {
    kDibSound = 0,
    kDibTruncatedHeader,         // the block ends inside the header or its masks
    kDibUnknownHeader,           // the size field names no header version
    kDibBadDimensions,           // width < 1, height 0 or INT32_MIN
    kDibBadPlanes,               // planes other than 1
    kDibUnsupportedBits,         // bits per pixel other than 1, 4, 8, 16, 24, 32
    kDibUnsupportedCompression,  // RLE, JPEG, PNG, CMYK, or masks at 1-8 or 24 bits
    kDibTooManyColours,          // colour table over 256 entries or 2^bits
    kDibTablePastBlock,          // the colour table runs past the block
    kDibRowsPastBlock,           // the pixel rows run past the block
    kDibTooLarge,                // a 32-bit buffer of this size fails QUB_BufferBytes
};

struct DibLayout {
    int width;              // pixels, >= 1
    int height;             // rows, >= 1; top-down is flagged
    bool topDown;           // the header's height was negative
    int bits;               // bits per pixel: 1, 4, 8, 16, 24 or 32
    uint32_t compression;   // BI_RGB 0, BI_BITFIELDS 3, BI_ALPHABITFIELDS 6
    uint32_t redMask;       // for 16 and 32 bits: the header's masks or the
    uint32_t greenMask;     //   BI_RGB defaults (5-5-5, 8-8-8); 24 bits gives
    uint32_t blueMask;      //   the byte masks, 1-8 bits gives 0
    uint32_t alphaMask;     // 0 unless the header gives one with BI_*BITFIELDS
    int colours;            // colour table entries, 0..256
    int entryBytes;         // 3 after a core header, else 4 (B, G, R, 0)
    size_t tableOffset;     // colour table, from the block's start
    size_t pixelOffset;     // first stored row (the bottom one unless topDown)
    size_t rowBytes;        // bytes from one stored row to the next, a multiple of 4
};

// Checks the `blockSize` bytes at `block` (null allowed when blockSize is 0)
// and, when sound, fills `out`. `out` is untouched by a refusal. Cheap whatever
// the header claims: no allocation, no read of a pixel.
DibVerdict QUB_CheckDibBlock(const uint8_t* block, size_t blockSize, DibLayout* out);

// A short English reason for the verdict, e.g. "rows past the block"; never null.
const char* QUB_DibVerdictText(DibVerdict verdict);

// Converts the rows of a block that QUB_CheckDibBlock found sound into
// layout.height top-down rows `destStride` bytes apart (at least 4 * width) of
// pixels stored B, G, R, 0 -- the library's 0x00RRGGBB words. Mask channels of
// any position and width are scaled to 8 bits, the channel's largest value
// giving 255; a zero mask gives 0. Indices past the colour table give black.
void QUB_DibToBgra32(const uint8_t* block, const DibLayout& layout, uint8_t* dest,
                     size_t destStride);

// For 1, 4 and 8 bits: one index byte per pixel into layout.height top-down
// rows `destStride` bytes apart (at least width), and the colour table as
// 0x00RRGGBB words into `palette`, entries past the table 0, so that an index
// past it still means black. False, with nothing written, above 8 bits.
bool QUB_DibToIndex8(const uint8_t* block, const DibLayout& layout, uint8_t* dest,
                     size_t destStride, uint32_t (&palette)[256]);

// The size of the block QUB_WriteDibBlock24 or QUB_WriteDibBlock8 writes for a
// width x height picture of `bits` (24 or 8): the 40-byte header, 256 table
// entries for 8 bits, bottom-up rows padded to 4 bytes. False, with `bytes`
// untouched, for sizes below 1, another depth, or a total past kMaxBufferBytes.
bool QUB_DibBlockBytes(int width, int height, int bits, size_t* bytes);

// Writes a 32-bit buffer (0x00RRGGBB, rows `width` words apart) as a 24-bit
// BI_RGB block of QUB_DibBlockBytes(width, height, 24) bytes at `block`.
void QUB_WriteDibBlock24(const uint32_t* pixels, int width, int height, uint8_t* block);

// Writes an 8-bit buffer (rows `stride` bytes apart) and its palette
// (0x00RRGGBB) as an 8-bit BI_RGB block of 256 colours, of
// QUB_DibBlockBytes(width, height, 8) bytes at `block`.
void QUB_WriteDibBlock8(const uint8_t* indices, int width, int height, int stride,
                        const uint32_t (&palette)[256], uint8_t* block);
