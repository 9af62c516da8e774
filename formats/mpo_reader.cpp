// Multi-picture files: the first JPEG's marker walk up to its APP2 "MPF"
// segment, then the MP Index directory and its table of picture entries.
#include "formats/mpo_reader.h"

#include <cstring>

#include "formats/probe_parts.h"

using probe::Be16;
using probe::Be32;
using probe::Has;
using probe::Le16;
using probe::Le32;

namespace {

constexpr uint16_t kTagVersion = 0xB000;
constexpr uint16_t kTagImageCount = 0xB001;
constexpr uint16_t kTagEntries = 0xB002;
constexpr uint16_t kTypeLong = 4;
constexpr uint16_t kTypeUndefined = 7;
constexpr uint32_t kEntryBytes = 16;

// The MPF header and the bytes after it to the segment's end; every offset
// the directory gives is checked against `size`, not against the file.
struct MpfHeader {
    const uint8_t* p;
    size_t size;
    uint64_t fileOffset;
    bool bigEndian;
    uint16_t U16(uint64_t at) const { return bigEndian ? Be16(p + at) : Le16(p + at); }
    uint32_t U32(uint64_t at) const { return bigEndian ? Be32(p + at) : Le32(p + at); }
};

// Walks the first picture's segments from SOI to its first scan or frame.
// APP0 and APP1 are skipped by their lengths: an Exif thumbnail inside them
// has its own SOI and EOI, which is why pictures are never found by looking
// for FF D8.
bool FindMpf(const uint8_t* d, size_t n, MpfHeader* h) {
    if (n < 2 || d[0] != 0xFF || d[1] != 0xD8) return false;
    size_t at = 2;
    for (;;) {
        if (at >= n || d[at] != 0xFF) return false;
        while (at < n && d[at] == 0xFF) ++at;  // fill bytes before a marker
        if (at >= n) return false;
        const uint8_t marker = d[at++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        // The MPF segment comes before the picture data; past a frame
        // header, a scan or the end there is none to find.
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA || marker == 0x00 ||
            (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xCC))
            return false;
        if (!Has(n, at, 2)) return false;
        const uint32_t length = Be16(d + at);
        if (length < 2 || !Has(n, at, length)) return false;
        const uint8_t* body = d + at + 2;
        const size_t bodyLength = length - 2;
        if (marker == 0xE2 && bodyLength >= 4 && std::memcmp(body, "MPF\0", 4) == 0) {
            h->p = body + 4;
            h->size = bodyLength - 4;
            h->fileOffset = at + 2 + 4;
            return true;
        }
        at += length;
    }
}

// The verdict for the directory and the table, which fill `out`.
MpoVerdict ReadIndex(const MpfHeader& hdr, MpoLayout* out) {
    MpfHeader h = hdr;
    if (h.size < 8) return kMpoBadHeader;
    if (h.p[0] == 'I' && h.p[1] == 'I') {
        h.bigEndian = false;
    } else if (h.p[0] == 'M' && h.p[1] == 'M') {
        h.bigEndian = true;
    } else {
        return kMpoBadHeader;
    }
    if (h.U16(2) != 42) return kMpoBadHeader;
    const uint64_t ifd = h.U32(4);
    if (ifd < 8) return kMpoBadHeader;
    if (!Has(h.size, ifd, 2)) return kMpoIndexOutside;
    const uint32_t tags = h.U16(ifd);
    if (!Has(h.size, ifd + 2, uint64_t{12} * tags)) return kMpoIndexOutside;

    bool haveVersion = false, haveCount = false, haveTable = false;
    uint32_t imageCount = 0, tableBytes = 0, tableOffset = 0;
    for (uint32_t i = 0; i < tags; ++i) {
        const uint64_t e = ifd + 2 + uint64_t{12} * i;
        const uint16_t tag = h.U16(e);
        const uint16_t type = h.U16(e + 2);
        const uint32_t count = h.U32(e + 4);
        if (tag == kTagVersion) {
            // Four bytes fit in the value field itself, as stored.
            if (type != kTypeUndefined || count != 4 || std::memcmp(h.p + e + 8, "0100", 4) != 0)
                return kMpoBadHeader;
            haveVersion = true;
        } else if (tag == kTagImageCount) {
            if (type != kTypeLong || count != 1) return kMpoBadHeader;
            imageCount = h.U32(e + 8);
            haveCount = true;
        } else if (tag == kTagEntries) {
            if (type != kTypeUndefined) return kMpoBadHeader;
            tableBytes = count;
            tableOffset = h.U32(e + 8);
            haveTable = true;
        }
    }
    if (!haveVersion || !haveCount || !haveTable) return kMpoBadHeader;
    if (imageCount == 1 && tableBytes == kEntryBytes) return kMpoOneImage;
    if (imageCount < 2 || imageCount > kMpoMaxImages ||
        uint64_t{tableBytes} != uint64_t{kEntryBytes} * imageCount)
        return kMpoBadImageCount;
    // A table of 32 bytes or more never fits in the value field, so the
    // field is always an offset.
    if (!Has(h.size, tableOffset, tableBytes)) return kMpoIndexOutside;

    out->count = static_cast<int>(imageCount);
    for (uint32_t i = 0; i < imageCount; ++i) {
        const uint64_t e = tableOffset + uint64_t{kEntryBytes} * i;
        MpoImage& image = out->images[i];
        image.type = h.U32(e) & 0xFFFFFF;
        image.size = h.U32(e + 4);
        const uint32_t offset = h.U32(e + 8);
        if (i == 0) {
            if (offset != 0) return kMpoBadFirstOffset;
            image.offset = 0;
        } else {
            image.offset = h.fileOffset + offset;
        }
    }
    return kMpoSound;
}

MpoVerdict CheckImages(const uint8_t* d, size_t n, const MpoLayout& layout) {
    int order[kMpoMaxImages];
    for (int i = 0; i < layout.count; ++i) {
        const MpoImage& image = layout.images[i];
        if (!Has(n, image.offset, image.size)) return kMpoImageOutside;
        if (image.size < 2 || d[image.offset] != 0xFF || d[image.offset + 1] != 0xD8)
            return kMpoImageNotJpeg;
        // Insertion by start offset: at most 32 pictures.
        int k = i;
        while (k > 0 && layout.images[order[k - 1]].offset > image.offset) {
            order[k] = order[k - 1];
            --k;
        }
        order[k] = i;
    }
    for (int k = 1; k < layout.count; ++k) {
        const MpoImage& before = layout.images[order[k - 1]];
        if (before.offset + before.size > layout.images[order[k]].offset) return kMpoImagesOverlap;
    }
    return kMpoSound;
}

}  // namespace

MpoLayout QUB_ReadMpo(const uint8_t* data, size_t size) {
    MpoLayout layout{};
    MpfHeader header{};
    if (!FindMpf(data, size, &header)) {
        layout.verdict = kMpoNoMpfSegment;
        return layout;
    }
    layout.verdict = ReadIndex(header, &layout);
    if (layout.verdict == kMpoSound) layout.verdict = CheckImages(data, size, layout);
    return layout;
}

const char* QUB_MpoVerdictText(MpoVerdict verdict) {
    switch (verdict) {
        case kMpoSound: return "sound";
        case kMpoNoMpfSegment: return "no multi-picture segment";
        case kMpoBadHeader: return "bad multi-picture header";
        case kMpoIndexOutside: return "picture index outside its segment";
        case kMpoBadImageCount: return "bad number of pictures";
        case kMpoImageOutside: return "picture outside the file";
        case kMpoImagesOverlap: return "pictures overlap";
        case kMpoImageNotJpeg: return "picture is not a JPEG";
        case kMpoBadFirstOffset: return "first picture not at the file's start";
        case kMpoOneImage: return "one picture only";
    }
    return "unknown";
}
