// Windows metafiles: the optional placeable header, the metafile header and
// the record walk to META_EOF. The player trusts each record's counts, so
// the records whose parameters hold counts or a bitmap are checked against
// their own size; the others only against the fixed size of their fields.
#include "formats/probe_parts.h"

namespace probe {

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr uint64_t kPlaceableBytes = 22;
constexpr uint64_t kHeaderBytes = 18;
constexpr uint16_t kSetWindowExt = 0x020C;

int64_t Magnitude(int64_t v) { return v < 0 ? -v : v; }

// Fixed-size records: function and size in words, header included.
struct FixedRecord {
    uint16_t function;
    uint16_t words;
};
constexpr FixedRecord kFixed[] = {
    {0x0102, 4},  {0x0103, 4},  {0x0104, 4},  {0x0105, 4},  {0x0106, 4},  {0x0107, 4},
    {0x0108, 4},  {0x0127, 4},  {0x012C, 4},  {0x012D, 4},  {0x012E, 4},  {0x01F0, 4},
    {0x0234, 4},  {0x0201, 5},  {0x0209, 5},  {0x020B, 5},  {0x020C, 5},  {0x020D, 5},
    {0x020E, 5},  {0x020F, 5},  {0x0211, 5},  {0x0213, 5},  {0x0214, 5},  {0x0220, 5},
    {0x0231, 5},  {0x0410, 7},  {0x0412, 7},  {0x0415, 7},  {0x0416, 7},  {0x0418, 7},
    {0x0419, 7},  {0x041B, 7},  {0x041F, 7},  {0x061C, 9},  {0x061D, 9},  {0x0817, 11},
    {0x081A, 11}, {0x0830, 11}, {0x02FA, 8},  {0x02FC, 7},  {0x02FB, 12},
};

// A record's parameters: `words` 16-bit words after the 6-byte header.
struct Params {
    const uint8_t* p;
    uint64_t words;
    uint16_t At(uint64_t i) const { return Le16(p + 2 * i); }
};

// A bitmap-carrying record whose DIB starts `before` words into the
// parameters. Players hand the DIB to StretchDIBits, which reads as many rows
// as the header says from wherever the record put them.
ProbeVerdict CheckDib(const Params& q, uint64_t before, uint32_t entryBytes, int64_t rows) {
    if (q.words < before) return kProbeBadRecord;
    const size_t bytes = static_cast<size_t>(2 * (q.words - before));  // inside the file
    const ProbeVerdict v = CheckPackedDib(q.p + 2 * before, bytes, entryBytes, rows);
    return v == kProbeSound ? kProbeSound : kProbeBadRecord;
}

ProbeVerdict CheckParams(uint16_t function, const Params& q, uint32_t objects) {
    for (const FixedRecord& f : kFixed) {
        if (f.function != function) continue;
        if (q.words + 3 < f.words) return kProbeBadRecord;
        // SELECTOBJECT, DELETEOBJECT, SELECTPALETTE index the player's table
        // of as many objects as the header says.
        if ((function == 0x012D || function == 0x01F0 || function == 0x0234) && q.At(0) >= objects)
            return kProbeBadRecord;
        return kProbeSound;
    }
    // The bitmap records come in two forms; the one without a bitmap is
    // exactly as long as its function's high byte says (in words, plus 3).
    const bool noBitmap = q.words == static_cast<uint64_t>(function >> 8);
    uint64_t need = 0;
    switch (function) {
        case 0x0324:  // POLYGON
        case 0x0325:  // POLYLINE
            need = q.words < 1 ? 1 : 1 + 2 * uint64_t{q.At(0)};
            break;
        case 0x0538: {  // POLYPOLYGON: counts, then all the points
            if (q.words < 1) return kProbeBadRecord;
            const uint64_t polygons = q.At(0);
            if (q.words < 1 + polygons) return kProbeBadRecord;
            uint64_t points = 0;
            for (uint64_t i = 0; i < polygons; ++i) points += q.At(1 + i);
            need = 1 + polygons + 2 * points;
            break;
        }
        case 0x0521:  // TEXTOUT: length, string, y, x
            need = q.words < 1 ? 1 : 1 + (uint64_t{q.At(0)} + 1) / 2 + 2;
            break;
        case 0x0A32: {  // EXTTEXTOUT: y, x, length, options, [rectangle], string
            if (q.words < 4) return kProbeBadRecord;
            const bool rectangle = (q.At(3) & 0x0006) != 0;  // ETO_OPAQUE, ETO_CLIPPED
            need = 4 + (rectangle ? 4 : 0) + (uint64_t{q.At(2)} + 1) / 2;
            break;
        }
        case 0x00F7:  // CREATEPALETTE, SETPALENTRIES, ANIMATEPALETTE
        case 0x0037:
        case 0x0436:
            need = q.words < 2 ? 2 : 2 + 2 * uint64_t{q.At(1)};
            break;
        case 0x0626:  // ESCAPE: function, byte count, data
            need = q.words < 2 ? 2 : 2 + (uint64_t{q.At(1)} + 1) / 2;
            break;
        case 0x0940:  // DIBBITBLT
            return noBitmap ? kProbeSound : CheckDib(q, 8, 4, 0);
        case 0x0B41:  // DIBSTRETCHBLT
            return noBitmap ? kProbeSound : CheckDib(q, 10, 4, 0);
        case 0x0F43:  // STRETCHDIB: the colour usage says what the palette holds
            if (q.words < 3) return kProbeBadRecord;
            return CheckDib(q, 11, q.At(2) == 1 ? 2 : 4, 0);
        case 0x0D33:  // SETDIBTODEV: only the scan lines it names are read
            if (q.words < 2) return kProbeBadRecord;
            return CheckDib(q, 9, q.At(0) == 1 ? 2 : 4, q.At(1));
        case 0x0142:  // DIBCREATEPATTERNBRUSH; style BS_PATTERN holds a device bitmap
            if (q.words < 2) return kProbeBadRecord;
            return q.At(0) == 3 ? kProbeSound : CheckDib(q, 2, q.At(1) == 1 ? 2 : 4, 0);
        default: return kProbeSound;
    }
    return q.words >= need ? kProbeSound : kProbeBadRecord;
}

}  // namespace

void ProbeWmf(const uint8_t* d, size_t n, PictureProbe* out) {
    out->depth = 32;
    uint64_t at = 0;
    bool placeable = false;
    if (n >= 4 && Le32(d) == kPlaceableKey) {
        if (n < kPlaceableBytes) {
            out->verdict = kProbeTruncated;
            return;
        }
        // The checksum is left unchecked: writers often get it wrong, and
        // nothing is read through it.
        const int64_t wide = Magnitude(int64_t{LeS16(d + 10)} - LeS16(d + 6));
        const int64_t high = Magnitude(int64_t{LeS16(d + 12)} - LeS16(d + 8));
        const int64_t inch = Le16(d + 14);
        if (inch == 0) {
            out->verdict = kProbeBadHeader;
            return;
        }
        out->verdict = ToPixels((wide * 96 + inch / 2) / inch, &out->width);
        if (out->verdict == kProbeSound)
            out->verdict = ToPixels((high * 96 + inch / 2) / inch, &out->height);
        if (out->verdict == kProbeSound)
            out->verdict = QUB_CheckPictureBudget(out->width, out->height, 0, n);
        if (out->verdict != kProbeSound) return;
        placeable = true;
        at = kPlaceableBytes;
    }
    if (!Has(n, at, kHeaderBytes)) {
        out->verdict = kProbeTruncated;
        return;
    }
    const uint16_t type = Le16(d + at), headerWords = Le16(d + at + 2);
    const uint16_t version = Le16(d + at + 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x100 && version != 0x300)) {
        out->verdict = kProbeBadHeader;
        return;
    }
    const uint32_t objects = Le16(d + at + 10);
    at += kHeaderBytes;
    for (;;) {
        if (!Has(n, at, 6)) {
            out->verdict = at >= n ? kProbeNoEndRecord : kProbeTruncated;
            return;
        }
        const uint64_t words = Le32(d + at);
        const uint16_t function = Le16(d + at + 4);
        if (words < 3) {
            out->verdict = kProbeBadRecord;
            return;
        }
        if (!Has(n, at, 2 * words)) {
            out->verdict = kProbeTruncated;
            return;
        }
        const Params params{d + at + 6, words - 3};
        out->verdict = CheckParams(function, params, objects);
        if (out->verdict != kProbeSound) return;
        if (function == 0x0000) break;  // META_EOF
        if (!placeable && out->width == 0 && function == kSetWindowExt) {
            // The extent's parameters are (y, x); a negative one flips the picture.
            out->verdict = ToPixels(Magnitude(int64_t{LeS16(params.p + 2)}), &out->width);
            if (out->verdict == kProbeSound)
                out->verdict = ToPixels(Magnitude(int64_t{LeS16(params.p)}), &out->height);
            if (out->verdict != kProbeSound) return;
        }
        at += 2 * words;
    }
    out->verdict = QUB_CheckPictureBudget(out->width, out->height, 0, n);
}

}  // namespace probe
