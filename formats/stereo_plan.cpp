// Stereo file plans: the MP index or JPS descriptor, then the JPEG probe of
// each stream that is to be decoded.
#include "formats/stereo_plan.h"

#include "formats/jps.h"
#include "formats/mpo_reader.h"
#include "formats/picture_probe.h"

namespace {

// Whether `name` ends in `tail` (lower-case ASCII), in any case.
template <class Char>
bool EndsWith(const Char* name, const char* tail) {
    size_t n = 0, t = 0;
    while (name[n]) ++n;
    while (tail[t]) ++t;
    if (n < t) return false;
    for (size_t i = 0; i < t; ++i) {
        Char c = name[n - t + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<Char>(c - 'A' + 'a');
        if (c != static_cast<Char>(tail[i])) return false;
    }
    return true;
}

template <class Char>
PairKind KindFromName(const Char* name) {
    if (EndsWith(name, ".mpo")) return kPairMpo;
    if (EndsWith(name, ".jps")) return kPairJps;
    return kPairNone;
}

PairPlan Refused(const char* note) {
    PairPlan p = {};
    p.refused = true;
    p.note = note;
    return p;
}

// The probe's verdict on one stream; fills its size into `view`.
bool ProbeStream(const uint8_t* data, uint64_t offset, uint64_t size, PairView* view,
                 const char** note) {
    const PictureProbe probe = QUB_ProbePicture(data + offset, static_cast<size_t>(size));
    if (probe.format != kPictureJpeg || probe.verdict != kProbeSound) {
        *note = probe.verdict == kProbeTooLarge ? "view too large" : "damaged view";
        return false;
    }
    // A stream cut inside the file cannot be given its end marker.
    if (probe.needsEndMarker) {
        *note = "view cut short";
        return false;
    }
    view->offset = offset;
    view->size = size;
    view->streamWidth = probe.width;
    view->streamHeight = probe.height;
    return true;
}

PairPlan Single(const PairView& view, const char* note) {
    PairPlan p = {};
    p.viewCount = 1;
    p.views[0] = view;
    p.views[0].srcX = p.views[0].srcY = p.views[0].destX = 0;
    p.views[0].width = p.width = view.streamWidth;
    p.views[0].height = p.height = view.streamHeight;
    p.note = note;
    return p;
}

PairPlan Pair(const PairView& left, const PairView& right, size_t fileSize) {
    PairPlan p = {};
    p.pair = true;
    p.viewCount = 2;
    p.views[0] = left;
    p.views[1] = right;
    p.views[0].destX = 0;
    p.views[1].destX = left.width;
    p.width = left.width + right.width;  // JPEG sides are at most 65535
    p.height = left.height;
    if (QUB_CheckPictureBudget(p.width, p.height, 0, fileSize) != kProbeSound)
        return Refused("pair too large");
    return p;
}

bool IsView(uint32_t type) { return type == kMpoTypeDisparity || type == kMpoTypeMultiAngle; }

PairPlan PlanMpo(const uint8_t* data, size_t size) {
    const MpoLayout layout = QUB_ReadMpo(data, size);
    const char* note = nullptr;
    PairView first = {};
    if (layout.verdict == kMpoNoMpfSegment || layout.verdict == kMpoOneImage) {
        // The decoder takes the first stream of the file as it is.
        if (!ProbeStream(data, 0, size, &first, &note)) return Refused(note);
        return Single(first, "MPO with one view: opened alone");
    }
    if (layout.verdict != kMpoSound) return Refused(QUB_MpoVerdictText(layout.verdict));
    int chosen[2] = {-1, -1};
    for (int i = 0, found = 0; i < layout.count && found < 2; ++i)
        if (IsView(layout.images[i].type)) chosen[found++] = i;
    // Libraries writing MPO type the first entry "baseline MP primary image"
    // and the second "undefined" (or primary too), not disparity: without
    // two typed views the first two pictures are the pair, whatever their
    // types, and the size check below decides. A preview of the first
    // picture is smaller than it, so it still opens alone.
    const bool typed = chosen[1] >= 0;
    if (!typed) {
        chosen[0] = 0;
        chosen[1] = 1;  // a sound index lists at least two
    }
    if (!ProbeStream(data, layout.images[0].offset, layout.images[0].size, &first, &note))
        return Refused(note);
    PairView left = {}, right = {};
    if (!ProbeStream(data, layout.images[chosen[0]].offset, layout.images[chosen[0]].size, &left,
                     &note) ||
        !ProbeStream(data, layout.images[chosen[1]].offset, layout.images[chosen[1]].size,
                     &right, &note)) {
        // Untyped, the second picture may be anything the file carries: one
        // the probe refuses leaves the first picture, as a lone one would.
        if (!typed) return Single(first, "MPO second picture refused: first view opened");
        return Refused(note);
    }
    if (left.streamWidth != right.streamWidth || left.streamHeight != right.streamHeight)
        return Single(first, "MPO views differ in size: first view opened");
    left.width = right.width = left.streamWidth;
    left.height = right.height = left.streamHeight;
    return Pair(left, right, size);
}

PairPlan PlanJps(const uint8_t* data, size_t size) {
    const char* note = nullptr;
    PairView whole = {};
    if (!ProbeStream(data, 0, size, &whole, &note)) return Refused(note);
    const JpsDescriptor d = QUB_ReadJps(data, size);
    const bool across = d.layout == kJpsSideBySide;
    const int halfW = across ? whole.streamWidth / 2 : whole.streamWidth;
    const int halfH = across ? whole.streamHeight : whole.streamHeight / 2;
    if (d.layout == kJpsNotAPair || halfW == 0 || halfH == 0)
        return Single(whole, "JPS without a side-by-side pair: opened as stored");
    PairView firstHalf = whole, secondHalf = whole;
    firstHalf.width = secondHalf.width = halfW;
    firstHalf.height = secondHalf.height = halfH;
    secondHalf.srcX = across ? whole.streamWidth - halfW : 0;
    secondHalf.srcY = across ? 0 : whole.streamHeight - halfH;
    return d.leftFirst ? Pair(firstHalf, secondHalf, size) : Pair(secondHalf, firstHalf, size);
}

}  // namespace

PairKind QUB_PairKindFromName(const wchar_t* name) { return KindFromName(name); }
PairKind QUB_PairKindFromName(const char* name) { return KindFromName(name); }

PairPlan QUB_PlanPair(PairKind kind, const uint8_t* data, size_t size) {
    if (kind == kPairMpo) return PlanMpo(data, size);
    if (kind == kPairJps) return PlanJps(data, size);
    return Refused("not a stereo file");
}
