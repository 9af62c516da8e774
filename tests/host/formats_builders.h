// Tiny picture files of every probed format, built byte by byte: real files
// (flat JPEG blocks, literal LZW codes, true CRCs) that a decoder could open.
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

// A flat baseline JPEG of 1, 3 or 4 components, a comment padding it to `padTo`.
Bytes MakeJpeg(int width, int height, int components, bool endMarker = true, size_t padTo = 0);
// Offset of the first marker FF `marker` after SOI, or 0.
size_t FindJpegMarker(const Bytes& jpeg, uint8_t marker);

// Frames at the screen's size, with a global table or local ones.
Bytes MakeGif(int width, int height, int tableBits, bool localTables = false, int frames = 1);
Bytes MakePng(int width, int height, int colourType, int bitDepth);

// Stored blocks, or the fixed code with runs as distance-1 matches.
enum class Deflate { kStored, kFixed };
Bytes ZlibOf(const Bytes& raw, Deflate how);

struct PngShape {
    int width, height, colourType, bitDepth;
    bool interlaced;
};
// The filtered rows a decoder inflates, pass by pass when interlaced.
Bytes PngRows(const PngShape& shape);
// The file around a zlib stream, in IDAT chunks of at most `chunkBytes`.
Bytes MakePngAround(const PngShape& shape, const Bytes& zlib, size_t chunkBytes = SIZE_MAX);
// Appends a chunk with its CRC.
void AddPngChunk(Bytes& b, const char* type, const Bytes& body);

// Uncompressed strips of two rows.
Bytes MakeTiff(int width, int height, int samples, int bits, bool bigEndian);

struct IcoImage {
    int size;  // square, 1..256
    int bits;  // 1, 4, 8, 24, 32
    bool png;
};
Bytes MakeIco(const std::vector<IcoImage>& images);

// A window of 67 x 33, placeable at 1440 units an inch or plain; records of
// each kind the probe checks.
Bytes MakeWmf(bool placeable);

// 64 x 48 on a 1024 x 768 px, 320 x 240 mm device; records of each kind the
// probe checks, an EMF+ comment among them.
Bytes MakeEmf();
