// Tiny picture files of every probed format, built byte by byte for the probe
// tests. The raster ones are real files (a JPEG of flat blocks coded with
// one-symbol Huffman tables, GIF with literal LZW codes, PNG with stored
// deflate blocks and true CRCs), so what the probe calls sound, a decoder
// could open.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

// `v` in `bytes` bytes (1, 2 or 4) at `at`, or appended, in either byte order.
inline void PutInt(Bytes& b, size_t at, uint32_t v, int bytes, bool bigEndian) {
    for (int i = 0; i < bytes; ++i)
        b[at + static_cast<size_t>(bigEndian ? bytes - 1 - i : i)] =
            static_cast<uint8_t>(v >> (8 * i));
}
inline void AddInt(Bytes& b, uint32_t v, int bytes, bool bigEndian) {
    b.resize(b.size() + static_cast<size_t>(bytes));
    PutInt(b, b.size() - static_cast<size_t>(bytes), v, bytes, bigEndian);
}
inline void PutLe16(Bytes& b, size_t at, uint32_t v) { PutInt(b, at, v, 2, false); }
inline void PutLe32(Bytes& b, size_t at, uint32_t v) { PutInt(b, at, v, 4, false); }
inline void PutBe16(Bytes& b, size_t at, uint32_t v) { PutInt(b, at, v, 2, true); }
inline void PutBe32(Bytes& b, size_t at, uint32_t v) { PutInt(b, at, v, 4, true); }
inline void AddLe16(Bytes& b, uint32_t v) { AddInt(b, v, 2, false); }
inline void AddLe32(Bytes& b, uint32_t v) { AddInt(b, v, 4, false); }
inline void AddBe16(Bytes& b, uint32_t v) { AddInt(b, v, 2, true); }
inline void AddBe32(Bytes& b, uint32_t v) { AddInt(b, v, 4, true); }
void Append(Bytes& b, const Bytes& more);
Bytes PatternBytes(size_t count, uint32_t seed);  // no two rows of pixels alike
uint32_t DibStride(int width, int bits);          // bytes of a DIB row, padded to 4

// A negative height gives a top-down bitmap. headerBytes 12 (core), 40 or 124.
Bytes MakeBmp(int width, int height, int bits, int headerBytes = 40);

// A flat grey (1 component), YCbCr (3) or CMYK (4) baseline JPEG. A comment
// segment pads the file to `padTo` bytes when it is shorter.
Bytes MakeJpeg(int width, int height, int components, bool endMarker = true, size_t padTo = 0);
// Offset of the first marker FF `marker` after SOI, or 0.
size_t FindJpegMarker(const Bytes& jpeg, uint8_t marker);

// `frames` frames at the screen's size, with a global colour table or each its
// own. `payload` > 0 replaces the LZW data by that many filler bytes, for
// size claims a real file of that length could make.
Bytes MakeGif(int width, int height, int tableBits, bool localTables = false, int frames = 1,
              size_t payload = 0);

// Any valid colour type and bit depth; `payload` > 0 gives IDAT a zlib
// stream of that many bytes or so (stored filler) instead of the picture's.
Bytes MakePng(int width, int height, int colourType, int bitDepth, size_t payload = 0);

// Stored blocks, or the fixed code with runs as distance-1 matches.
enum class Deflate { kStored, kFixed };
Bytes ZlibOf(const Bytes& raw, Deflate how);

struct PngShape {
    int width, height, colourType, bitDepth;
    bool interlaced;
};
// The filtered rows a decoder inflates (filter byte 0, varied samples),
// pass by pass when interlaced.
Bytes PngRows(const PngShape& shape);
// The file around the zlib stream `zlib`, cut into IDAT chunks of at most
// `chunkBytes`.
Bytes MakePngAround(const PngShape& shape, const Bytes& zlib, size_t chunkBytes = SIZE_MAX);
// Appends a chunk with its CRC.
void AddPngChunk(Bytes& b, const char* type, const Bytes& body);

// Uncompressed strips of two rows; photometric palette when `palette`.
Bytes MakeTiff(int width, int height, int samples, int bits, bool bigEndian, bool palette = false);

struct IcoImage {
    int size;  // square, 1..256
    int bits;  // 1, 4, 8, 24, 32
    bool png;
};
Bytes MakeIco(const std::vector<IcoImage>& images);

// A window of 67 x 33: placeable at 1440 units an inch (1005 x 495 units), or
// plain with its SetWindowExt. Records: window origin and extent, a brush, a
// rectangle, a polyline, a DIBSTRETCHBLT of a 3 x 2 bitmap, EOF.
Bytes MakeWmf(bool placeable);

// 64 x 48 at a 1024 x 768 px, 320 x 240 mm reference device. Records: map
// mode, a brush, a rectangle, a POLYLINE16, STRETCHDIBITS of a 3 x 2 bitmap,
// EXTTEXTOUTW, an EMF+ comment, EOF.
Bytes MakeEmf();
size_t FindEmfRecord(const Bytes& emf, uint32_t type);
