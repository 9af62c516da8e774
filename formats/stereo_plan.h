// How a stereo file (.mpo, .jps) opens: as one 32-bit picture holding both
// views side by side, the left view in the left half, which the stereo
// routine takes as it is -- or, when the file holds no usable pair, as a
// single picture with the reason, or not at all. Decided from the file's
// bytes before anything is decoded.
#pragma once
#include <cstddef>
#include <cstdint>

enum PairKind {
    kPairNone = 0,  // any other picture: opened as before
    kPairMpo,
    kPairJps,
};

// From the file name's extension, in any case; kPairNone for other names.
PairKind QUB_PairKindFromName(const wchar_t* name);
PairKind QUB_PairKindFromName(const char* name);

// A rectangle of one decoded JPEG stream, drawn at (destX, 0) of the window.
struct PairView {
    uint64_t offset;  // of the stream in the file
    uint64_t size;    // of the stream
    int streamWidth, streamHeight;  // the stream's own size, as probed
    int srcX, srcY, width, height;
    int destX;
};

struct PairPlan {
    bool refused;      // nothing opens; `note` says why
    bool pair;         // two views; otherwise views[0] alone at its size
    int width, height; // of the window
    int viewCount;     // 0 when refused
    PairView views[2]; // left view first
    const char* note;  // for the status line when not opened as a pair, or null
};

// The plan for `size` bytes of a file of this kind (not kPairNone), as the
// decoder gets them: a JPEG cut before its end already has its end marker.
// The views' streams are probed: a stream the probe refuses, or a pair whose
// window would pass the library's size limit, refuses the file.
//
// MPO: the first two pictures of type disparity or multi-angle are the left
// and the right view; without two such, the first two pictures whatever
// their types. A file with one picture, no index, or views of different
// sizes opens its first picture alone; a broken index refuses it.
//
// JPS: the halves the descriptor gives (side by side or over and under); an
// odd width or height leaves out the middle column or row. A monoscopic,
// interleaved or anaglyph JPS opens as stored.
PairPlan QUB_PlanPair(PairKind kind, const uint8_t* data, size_t size);
