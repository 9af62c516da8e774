// What a picture file is, how large it says it is, and whether it is sound
// enough to hand to the platform's decoder -- read from the file's bytes
// alone, without decoding a pixel and without allocating anything.
//
// The probe takes the whole file. Every format is checked beyond its header
// (the JPEG segment walk, the GIF block walk, the PNG chunk walk and the
// size its image data inflates to, the TIFF strips, the ICO images, the
// metafile record walks), so a prefix would be refused as truncated. The work
// is one pass over the bytes at most.
//
// Sizes are those the decoder reports: for raster formats the stored pixel
// size; for metafiles the size they are drawn at (see QUB_ProbePicture). A
// refused file still reports its format and, when the header got that far,
// the size it claims; only a sound verdict makes them trustworthy.
#pragma once
#include <cstddef>
#include <cstdint>

enum PictureFormat {
    kPictureUnknown = 0,
    kPictureBmp,
    kPictureJpeg,
    kPictureGif,
    kPicturePng,
    kPictureTiff,
    kPictureIco,
    kPictureWmf,  // placeable (Aldus header) or plain
    kPictureEmf,
};

enum ProbeVerdict {
    kProbeSound = 0,
    kProbeNotAPicture,      // no signature of a format the dialogs offer
    kProbeTruncated,        // a part the header announces runs past the end
    kProbeBadHeader,        // a header field holds a value the format forbids
    kProbeBadDimensions,    // zero, negative or undefined width or height
    kProbeUnsupported,      // a coding the platform decoders do not read
    kProbeNoColourTable,    // indexed pixels with no palette to index
    kProbeBadStructure,     // segments, chunks, blocks or directory malformed
    kProbeBadOrder,         // picture data before the header that describes it
    kProbeNoPictureData,    // the header is there, the pixels are not
    kProbeBadRecord,        // a metafile record too small or pointing outside itself
    kProbeNoEndRecord,      // a metafile whose record walk ends without EOF
    kProbeTooLarge,         // the picture's buffer would pass the library's limit
    kProbeOutOfProportion,  // the claimed size cannot fit in a file this small
    kProbeExcessData,       // more coded data than the size takes: a PNG stream
                            // inflating past its rows, a JPEG of endless scans
};

struct PictureProbe {
    PictureFormat format;  // from the signature; kept when refused
    ProbeVerdict verdict;  // kProbeSound: safe to decode
    int width;             // pixels; 0 until the header gives it
    int height;            // pixels, positive also for top-down BMPs
    int depth;             // bits per pixel as stored; 32 for metafiles
    bool needsEndMarker;   // JPEG cut before its EOI: decode the bytes + FF D9
};

// Probes `size` bytes (the whole file). Never reads outside them; `data` may
// be null when `size` is 0.
//
// Metafile sizes: a placeable WMF is drawn at 96 dpi, so its bounding box in
// logical units becomes |right - left| * 96 / inch pixels (likewise the
// height), rounded. A plain WMF carries no size of its own; its first
// SetWindowExt record gives it, one logical unit a pixel (the MM_TEXT and
// MM_ANISOTROPIC default), and without one it is refused. An EMF is drawn at
// its reference device's resolution: the frame rectangle (in 0.01 mm) times
// szlDevice / (100 * szlMillimeters); an empty frame falls back to rclBounds,
// which is already in device pixels and inclusive.
//
// ICO: the largest image's size and depth (the directory's 0 meaning 256 is
// taken from the image itself, not the directory). Every image is checked.
PictureProbe QUB_ProbePicture(const uint8_t* data, size_t size);

// A short English reason for the verdict, e.g. "truncated"; never null.
const char* QUB_ProbeVerdictText(ProbeVerdict verdict);

// "BMP", "JPEG", ... "unknown"; never null.
const char* QUB_PictureFormatName(PictureFormat format);

// The memory budget every probe ends with. Refuses a width x height claim
// (kProbeBadDimensions below 1, kProbeTooLarge when a 32-bit buffer of that
// size fails QUB_BufferBytes) and one for which a file of `fileSize` bytes is
// too small: `leastFileBytes` is the fewest bytes any file of the format and
// coding could hold such a picture in (0 for vector pictures, which draw at
// any size). Claims of at most kProportionFloorPixels are never refused for
// proportion: their buffer costs less than the decoder's own working set.
// Cheap whatever the claim: no allocation.
constexpr int64_t kProportionFloorPixels = int64_t{1} << 20;
ProbeVerdict QUB_CheckPictureBudget(int width, int height, int64_t leastFileBytes,
                                    size_t fileSize);
