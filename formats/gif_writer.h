// An animated GIF of a stereo pair's two views shown in turn forever: the
// "wiggle" that lets depth be seen without glasses. Written from the 32-bit
// pixels into a byte vector; nothing here opens a file.
//
// Both frames index one global palette of at most 256 colours built from
// both views, so a colour has the same index in either. A pair of at most
// 256 distinct colours is written exactly. Any other pair is reduced by
// median cut and ordered dithering whose threshold depends on the pixel's
// position alone: a part of the scene that is the same in both views gets
// the same indices in both and does not shimmer as the frames alternate.
//
// Memory: the file itself and about 2 MB of tables, whatever the picture
// size; pixels are mapped and compressed a row at a time.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

enum GifVerdict {
    kGifWritten = 0,
    kGifNoPixels,     // a view's pixels or the output vector is null
    kGifBadSize,      // a width or height below 1
    kGifTooLarge,     // a side past kGifMaxSide, or a buffer past the library's limit
    kGifBadStride,    // rows closer together than width * 4 bytes
    kGifSizesDiffer,  // the views are not the same size
};

constexpr int kGifMaxSide = 65535;  // the format's 16-bit sizes
constexpr int kGifMinDelay = 2;     // centiseconds; viewers slow shorter delays to 10
constexpr int kGifMaxDelay = 65535;

// One view: 4 bytes a pixel, B, G, R and an unused byte (the library's
// 0x00RRGGBB words on a little-endian machine), rows top-down and `stride`
// bytes apart. Only the first width * 4 bytes of the last row are read.
struct GifFrameView {
    const uint8_t* pixels;
    int width;
    int height;
    size_t stride;
};

// Writes the GIF89a file of `first` then `second`, each shown for
// `delayCentiseconds` (clamped to kGifMinDelay..kGifMaxDelay), looping
// forever, into `out`, replacing what it held. On a refusal `out` is left
// empty (when it is not null) and nothing outside the views is read.
GifVerdict QUB_WriteWiggleGif(const GifFrameView& first, const GifFrameView& second,
                              int delayCentiseconds, std::vector<uint8_t>* out);

// A short English reason, e.g. "views differ in size"; never null.
const char* QUB_GifVerdictText(GifVerdict verdict);
