// JPEG: the marker segment walk from SOI to EOI, the frame header, and the
// scans between them.
#include <cstring>

#include "formats/probe_parts.h"

namespace probe {

namespace {

struct Frame {
    int components = 0;
    uint8_t ids[4] = {};
    int h[4] = {}, v[4] = {};  // sampling factors
};

// Every scan is a pass over the coefficients of the components it codes, so
// a file that repeats one scan thousands of times keeps a decoder busy for a
// minute on a few hundred kilobytes. Encoders write far fewer: sequential
// files one scan per component (at most 4); libjpeg's progressive scripts 10
// for colour and 18 for CMYK. Each scan costs its header and its own bits of
// every block, so a script near 100 would only make the file larger. A
// hundred scans cost a decoder about ten times a usual progressive file.
constexpr int kMostScans = 100;

bool IsFrameMarker(uint8_t m) {
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// The fewest bytes a scan can code the frame's blocks in. Every block of every
// component costs at least one bit: the DC difference's Huffman code, which
// is never shorter (a code of all ones is forbidden, so a one-symbol table
// still spends a bit), while runs of empty AC coefficients cost almost nothing
// (EOBRUN in progressive scans). Half of that bound is demanded, so flat
// pictures written with optimised tables and progressive scripts still pass:
// about 1,000 pixels a byte for grey, 680 for 4:2:0 colour. Typical photos
// come to 3-10 pixels a byte, flat ones from a camera near 60.
int64_t LeastScanBytes(const Frame& f, int64_t width, int64_t height) {
    int hMax = 1, vMax = 1;
    for (int i = 0; i < f.components; ++i) {
        if (f.h[i] > hMax) hMax = f.h[i];
        if (f.v[i] > vMax) vMax = f.v[i];
    }
    int64_t blocks = 0;
    for (int i = 0; i < f.components; ++i) {
        const int64_t cw = (width * f.h[i] + hMax - 1) / hMax;
        const int64_t ch = (height * f.v[i] + vMax - 1) / vMax;
        blocks += ((cw + 7) / 8) * ((ch + 7) / 8);
    }
    return blocks / 16;
}

ProbeVerdict ReadFrame(uint8_t marker, const uint8_t* s, uint32_t length, size_t fileSize,
                       Frame* f, PictureProbe* out) {
    if (length < 8) return kProbeBadStructure;
    const int precision = s[0];
    const int height = Be16(s + 1);
    const int width = Be16(s + 3);
    f->components = s[5];
    if (f->components < 1 || f->components > 4) return kProbeBadHeader;
    if (length < 6 + 3 * static_cast<uint32_t>(f->components)) return kProbeBadStructure;
    for (int i = 0; i < f->components; ++i) {
        const uint8_t* c = s + 6 + 3 * i;
        f->ids[i] = c[0];
        f->h[i] = c[1] >> 4;
        f->v[i] = c[1] & 15;
        if (f->h[i] < 1 || f->h[i] > 4 || f->v[i] < 1 || f->v[i] > 4 || c[2] > 3)
            return kProbeBadHeader;
    }
    out->depth = 8 * f->components;
    // Height 0 defers the height to a DNL marker after the first scan, which
    // the platform decoders do not support.
    if (width == 0 || height == 0) return kProbeBadDimensions;
    out->width = width;
    out->height = height;
    // Baseline, extended and progressive Huffman coding in 8 bits are what
    // every decoder reads; lossless, hierarchical and arithmetic coding are
    // not, and 12-bit samples only by some.
    if (marker != 0xC0 && marker != 0xC1 && marker != 0xC2) return kProbeUnsupported;
    if (precision != 8) return kProbeUnsupported;
    return QUB_CheckPictureBudget(width, height, LeastScanBytes(*f, width, height), fileSize);
}

ProbeVerdict ReadScanHeader(const uint8_t* s, uint32_t length, const Frame& f) {
    if (length < 1) return kProbeBadStructure;
    const int count = s[0];
    if (count < 1 || count > 4 || count > f.components) return kProbeBadStructure;
    if (length < 4 + 2 * static_cast<uint32_t>(count)) return kProbeBadStructure;
    for (int i = 0; i < count; ++i) {
        bool known = false;
        for (int k = 0; k < f.components; ++k) known = known || f.ids[k] == s[1 + 2 * i];
        if (!known) return kProbeBadStructure;
    }
    return kProbeSound;
}

// Skips entropy-coded data from `at`: stuffed zeros and restart markers
// belong to it, any other marker ends it. Returns the marker's offset, or
// `n` when the data runs to the end of the file.
size_t SkipScanData(const uint8_t* d, size_t n, size_t at) {
    while (at < n) {
        const void* found = std::memchr(d + at, 0xFF, n - at);
        if (!found) return n;
        at = static_cast<size_t>(static_cast<const uint8_t*>(found) - d);
        if (at + 1 >= n) return n;  // cut between FF and its second byte
        const uint8_t next = d[at + 1];
        if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
            at += 2;
        } else if (next == 0xFF) {
            // Fill bytes before a marker, stepped over in one go: a scan of
            // nothing but fill must not cost a search a byte.
            while (at + 1 < n && d[at + 1] == 0xFF) ++at;
        } else {
            return at;
        }
    }
    return n;
}

}  // namespace

void ProbeJpeg(const uint8_t* d, size_t n, PictureProbe* out) {
    Frame frame;
    bool haveFrame = false, haveScan = false;
    int scans = 0;
    size_t at = 2;
    for (;;) {
        // Decoders skip stray bytes between segments (with a warning), and so
        // does the walk; fill bytes of FF before a marker are legal.
        while (at < n && d[at] != 0xFF) ++at;
        while (at < n && d[at] == 0xFF) ++at;
        if (at >= n) {
            // Cut between segments: after a scan the decoder is given the end
            // marker it misses; before one there is nothing to show.
            out->verdict = haveScan ? kProbeSound : kProbeTruncated;
            out->needsEndMarker = haveScan;
            return;
        }
        const uint8_t marker = d[at++];
        if (marker == 0xD9) {
            out->verdict = haveScan ? kProbeSound : kProbeNoPictureData;
            return;
        }
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
        if (marker == 0xD8) {
            out->verdict = kProbeBadStructure;
            return;
        }
        if (!Has(n, at, 2) || !Has(n, at, Be16(d + at))) {
            out->verdict = kProbeTruncated;
            return;
        }
        const uint32_t length = Be16(d + at);
        if (length < 2) {
            out->verdict = kProbeBadStructure;
            return;
        }
        const uint8_t* body = d + at + 2;
        const uint32_t bodyLength = length - 2;
        at += length;
        if (IsFrameMarker(marker)) {
            if (haveFrame) {
                out->verdict = kProbeBadStructure;  // a second frame: hierarchical
                return;
            }
            out->verdict = ReadFrame(marker, body, bodyLength, n, &frame, out);
            if (out->verdict != kProbeSound) return;
            haveFrame = true;
        } else if (marker == 0xDA) {
            if (!haveFrame) {
                out->verdict = kProbeBadOrder;
                return;
            }
            out->verdict = ReadScanHeader(body, bodyLength, frame);
            if (out->verdict != kProbeSound) return;
            if (++scans > kMostScans) {
                out->verdict = kProbeExcessData;
                return;
            }
            haveScan = true;
            at = SkipScanData(d, n, at);
        }
    }
}

}  // namespace probe
