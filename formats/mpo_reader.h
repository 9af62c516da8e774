// Where the pictures of a multi-picture file (.mpo) lie, read from the MP
// Index directory in the first picture's APP2 "MPF" segment. Nothing is
// decoded and nothing is allocated; each picture found is a whole JPEG
// stream, from its SOI, that the JPEG probe and decoder take as they are.
//
// A stereo camera writes the left view first and the right view second: for
// such a file images[0] is the left and images[1] the right picture of the
// pair (types kMpoTypeDisparity; libraries often write baseline primary and
// undefined instead). Further pictures, if any, are extra views or previews
// and are listed as stored. Types are reported, never checked.
#pragma once
#include <cstddef>
#include <cstdint>

enum MpoVerdict {
    kMpoSound = 0,
    kMpoNoMpfSegment,     // not a JPEG, or no APP2 "MPF" before the first scan
    kMpoBadHeader,        // byte order, magic number or a required tag wrong
    kMpoIndexOutside,     // the directory or the entry table runs past the segment
    kMpoBadImageCount,    // fewer than 2, more than kMpoMaxImages, or unlike the table
    kMpoImageOutside,     // a picture runs past the end of the file
    kMpoImagesOverlap,    // two pictures share bytes
    kMpoImageNotJpeg,     // a picture does not start with FF D8
    kMpoBadFirstOffset,   // the first entry's offset is not 0
    kMpoOneImage,         // a sound index that lists one picture only
};

constexpr int kMpoMaxImages = 32;

// Picture types: the low 24 bits of an entry's attribute.
constexpr uint32_t kMpoTypeBaselinePrimary = 0x030000;
constexpr uint32_t kMpoTypeLargeThumbnail = 0x010001;  // also 0x010002
constexpr uint32_t kMpoTypePanorama = 0x020001;
constexpr uint32_t kMpoTypeDisparity = 0x020002;
constexpr uint32_t kMpoTypeMultiAngle = 0x020003;

struct MpoImage {
    uint64_t offset;  // from the start of the file; 0 for the first picture
    uint32_t size;    // bytes, from its SOI to the end of its stream
    uint32_t type;    // attribute & 0xFFFFFF, e.g. kMpoTypeDisparity
};

struct MpoLayout {
    MpoVerdict verdict;                // kMpoSound: count and images hold
    int count;                         // pictures listed; 0 when refused early
    MpoImage images[kMpoMaxImages];    // the first `count` in table order
};

// Reads `size` bytes (the whole file). Never reads outside them; `data` may
// be null when `size` is 0. Offsets in the table count from the MPF header
// (the byte order mark after "MPF\0"), except the first picture's, which is
// 0 and means the file's start. The result's pictures lie inside the file,
// do not overlap and each starts with SOI only when the verdict is sound.
MpoLayout QUB_ReadMpo(const uint8_t* data, size_t size);

// A short English reason, e.g. "pictures overlap"; never null.
const char* QUB_MpoVerdictText(MpoVerdict verdict);
