// Multi-picture writer: big-endian ("MM") MPF segments of fixed layout, so
// every offset is known before the streams are joined.
#include "formats/mpo_writer.h"

#include "formats/jpeg_segments.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kTypeLong = 4, kTypeRational = 5, kTypeUndefined = 7, kTypeSRational = 10;
constexpr uint32_t kDisparity = 0x020002;
constexpr uint32_t kRepresentative = 0x20000000;
constexpr uint32_t kUnknown = 0xFFFFFFFF;  // the value MP readers take as "not known"

void Be16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}
void Be32(Bytes& b, uint32_t v) {
    Be16(b, v >> 16);
    Be16(b, v & 0xFFFF);
}
void PatchBe32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}
void Tag(Bytes& b, uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    Be16(b, tag);
    Be16(b, type);
    Be32(b, count);
    Be32(b, value);
}
void Version(Bytes& b) {
    Be16(b, 0xB000);
    Be16(b, kTypeUndefined);
    Be32(b, 4);
    b.insert(b.end(), {'0', '1', '0', '0'});
}

// A view's attribute directory at offset `at` from the byte order mark:
// version, its number (1 or 2), the base viewpoint (the left, number 1), and
// the convergence angle and baseline length, which a writer of already
// decoded views cannot know.
void AttributeIfd(Bytes& b, uint32_t at, uint32_t number) {
    const uint32_t values = at + 2 + 5 * 12 + 4;
    Be16(b, 5);
    Version(b);
    Tag(b, 0xB101, kTypeLong, 1, number);
    Tag(b, 0xB204, kTypeLong, 1, 1);
    Tag(b, 0xB205, kTypeSRational, 1, values);
    Tag(b, 0xB206, kTypeRational, 1, values + 8);
    Be32(b, 0);  // no further directory
    for (int i = 0; i < 4; ++i) Be32(b, kUnknown);
}

// "MPF\0" and the TIFF-style header whose first directory follows it.
Bytes MpfStart() {
    Bytes b = {'M', 'P', 'F', 0, 'M', 'M', 0, 42};
    Be32(b, 8);
    return b;
}

constexpr size_t kMpfOffset = 4;  // of the byte order mark in the segment body

// The segment body of the first view, with its table entries' sizes and the
// second view's offset to be patched at `*entries`.
Bytes FirstBody(size_t* entries) {
    Bytes b = MpfStart();
    const uint32_t table = 8 + 2 + 3 * 12 + 4;
    Be16(b, 3);
    Version(b);
    Tag(b, 0xB001, kTypeLong, 1, 2);
    Tag(b, 0xB002, kTypeUndefined, 32, table);
    Be32(b, table + 32);  // the attribute directory after the table
    *entries = b.size();
    for (uint32_t attribute : {kRepresentative | kDisparity, kDisparity}) {
        Be32(b, attribute);
        Be32(b, 0);  // size
        Be32(b, 0);  // offset
        Be32(b, 0);  // no dependent pictures
    }
    AttributeIfd(b, table + 32, 1);
    return b;
}

Bytes SecondBody() {
    Bytes b = MpfStart();
    AttributeIfd(b, 8, 2);
    return b;
}

// `stream` with an APP2 segment of `body` at `insertAt`.
void AppendWithSegment(Bytes& out, const uint8_t* stream, size_t size, size_t insertAt,
                       const Bytes& body) {
    out.insert(out.end(), stream, stream + insertAt);
    out.push_back(0xFF);
    out.push_back(0xE2);
    Be16(out, static_cast<uint32_t>(body.size() + 2));
    out.insert(out.end(), body.begin(), body.end());
    out.insert(out.end(), stream + insertAt, stream + size);
}

}  // namespace

bool QUB_WriteMpo(const uint8_t* left, size_t leftSize, const uint8_t* right, size_t rightSize,
                  std::vector<uint8_t>* out) {
    out->clear();
    const size_t leftAt = QUB_JpegInsertPoint(left, leftSize);
    const size_t rightAt = QUB_JpegInsertPoint(right, rightSize);
    if (leftAt == 0 || rightAt == 0) return false;
    size_t entries = 0;
    const Bytes first = FirstBody(&entries);
    const Bytes second = SecondBody();
    const uint64_t firstBytes = uint64_t{leftSize} + 4 + first.size();
    const uint64_t secondBytes = uint64_t{rightSize} + 4 + second.size();
    if (firstBytes + secondBytes > UINT32_MAX) return false;

    out->reserve(static_cast<size_t>(firstBytes + secondBytes));
    AppendWithSegment(*out, left, leftSize, leftAt, first);
    AppendWithSegment(*out, right, rightSize, rightAt, second);
    // The table, in the first view's segment, which starts after its FF E2
    // and length: offsets count from the byte order mark.
    const size_t body = leftAt + 4;
    const size_t table = body + entries;
    PatchBe32(*out, table + 4, static_cast<uint32_t>(firstBytes));
    PatchBe32(*out, table + 16 + 4, static_cast<uint32_t>(secondBytes));
    PatchBe32(*out, table + 16 + 8, static_cast<uint32_t>(firstBytes - (body + kMpfOffset)));
    return true;
}
