// The JPS descriptor: after "_JPSJPS_", a 16-bit big-endian length of the
// descriptor block (at least 4), then the descriptor, stored big-endian:
// bits 0-7 the media type (1 stereoscopic), 8-15 the layout (1 interleaved,
// 2 side by side, 3 over and under, 4 anaglyph), 16-23 the flags (1 half
// height, 2 half width, 4 left field first), 24-31 the separation.
#include "formats/jps.h"

#include "formats/jpeg_segments.h"
#include "formats/probe_parts.h"

namespace {

constexpr char kIdentifier[] = "_JPSJPS_";
constexpr size_t kIdentifierBytes = 8;
constexpr uint32_t kStereo = 1;
constexpr uint32_t kSideBySide = 2, kOverUnder = 3;
constexpr uint32_t kHalfHeight = 1, kHalfWidth = 2, kLeftFirst = 4;

}  // namespace

JpsDescriptor QUB_ReadJps(const uint8_t* data, size_t size) {
    JpsDescriptor d = {false, kJpsSideBySide, false, false, false};
    size_t at = 0, bytes = 0;
    if (!QUB_FindJpegApp(data, size, 0xE3, kIdentifier, kIdentifierBytes, &at, &bytes))
        return d;
    if (bytes < kIdentifierBytes + 2 + 4) return d;
    const uint8_t* p = data + at + kIdentifierBytes;
    if (probe::Be16(p) < 4) return d;
    const uint32_t descriptor = probe::Be32(p + 2);
    const uint32_t layout = descriptor >> 8 & 0xFF, flags = descriptor >> 16 & 0xFF;
    d.present = true;
    if ((descriptor & 0xFF) != kStereo)
        d.layout = kJpsNotAPair;
    else if (layout == kSideBySide)
        d.layout = kJpsSideBySide;
    else if (layout == kOverUnder)
        d.layout = kJpsOverUnder;
    else
        d.layout = kJpsNotAPair;
    d.leftFirst = (flags & kLeftFirst) != 0;
    d.halfWidth = (flags & kHalfWidth) != 0;
    d.halfHeight = (flags & kHalfHeight) != 0;
    return d;
}

bool QUB_WriteJps(const uint8_t* jpeg, size_t size, bool leftFirst, std::vector<uint8_t>* out) {
    out->clear();
    const size_t insertAt = QUB_JpegInsertPoint(jpeg, size);
    if (insertAt == 0) return false;
    const uint32_t descriptor = kStereo | kSideBySide << 8 | (leftFirst ? kLeftFirst : 0) << 16;
    // Identifier, block length, descriptor, and an empty comment.
    const uint8_t segment[] = {0xFF, 0xE3, 0, 2 + kIdentifierBytes + 2 + 4 + 2,
                               '_', 'J', 'P', 'S', 'J', 'P', 'S', '_',
                               0, 4,
                               static_cast<uint8_t>(descriptor >> 24),
                               static_cast<uint8_t>(descriptor >> 16),
                               static_cast<uint8_t>(descriptor >> 8),
                               static_cast<uint8_t>(descriptor),
                               0, 0};
    out->reserve(size + sizeof segment);
    out->insert(out->end(), jpeg, jpeg + insertAt);
    out->insert(out->end(), segment, segment + sizeof segment);
    out->insert(out->end(), jpeg + insertAt, jpeg + size);
    return true;
}
