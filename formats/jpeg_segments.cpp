// Marker walk over a JPEG stream's head segments, each skipped by its length.
#include "formats/jpeg_segments.h"

#include <cstring>

#include "formats/probe_parts.h"

using probe::Be16;
using probe::Has;

namespace {

bool StartsWithSoi(const uint8_t* d, size_t n) { return n >= 2 && d[0] == 0xFF && d[1] == 0xD8; }

// The segment at `at` (its FF): marker and total length with the FF xx.
// False at a marker without a length or a segment running past the end.
bool SegmentAt(const uint8_t* d, size_t n, size_t at, uint8_t* marker, size_t* bytes) {
    if (!Has(n, at, 4) || d[at] != 0xFF) return false;
    *marker = d[at + 1];
    const uint32_t length = Be16(d + at + 2);
    if (length < 2 || !Has(n, at + 2, length)) return false;
    *bytes = 2 + length;
    return true;
}

// Markers that end the head: frames, scans, the end, and bytes that are no
// marker at all.
bool EndsHead(uint8_t m) {
    return m == 0xD8 || m == 0xD9 || m == 0xDA || m == 0x00 || m == 0xFF ||
           (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xCC) || (m >= 0xD0 && m <= 0xD7) ||
           m == 0x01;
}

}  // namespace

bool QUB_FindJpegApp(const uint8_t* data, size_t size, uint8_t marker, const char* id,
                     size_t idBytes, size_t* bodyOffset, size_t* bodyBytes) {
    if (!StartsWithSoi(data, size)) return false;
    size_t at = 2;
    for (;;) {
        if (Has(size, at, 2) && data[at] == 0xFF && EndsHead(data[at + 1])) return false;
        uint8_t m = 0;
        size_t bytes = 0;
        if (!SegmentAt(data, size, at, &m, &bytes)) return false;
        if (m == marker && bytes - 4 >= idBytes && std::memcmp(data + at + 4, id, idBytes) == 0) {
            *bodyOffset = at + 4;
            *bodyBytes = bytes - 4;
            return true;
        }
        at += bytes;
    }
}

size_t QUB_JpegInsertPoint(const uint8_t* data, size_t size) {
    if (!StartsWithSoi(data, size)) return 0;
    size_t at = 2;
    for (;;) {
        uint8_t m = 0;
        size_t bytes = 0;
        if (!Has(size, at, 2) || data[at] != 0xFF) return 0;
        if (data[at + 1] != 0xE0 && data[at + 1] != 0xE1) return at;
        if (!SegmentAt(data, size, at, &m, &bytes)) return 0;
        at += bytes;
    }
}
