#include "formats/picture_probe.h"

#include <cstring>

#include "formats/probe_parts.h"
#include "image/buffer_layout.h"

namespace {

bool Starts(const uint8_t* data, size_t size, const char* magic, size_t length) {
    return size >= length && std::memcmp(data, magic, length) == 0;
}

// The signature decides the format; ICO and plain WMF have weak ones (a few
// small numbers), so their fields are checked a little further before the
// file is taken for one.
PictureFormat Sniff(const uint8_t* d, size_t n) {
    if (Starts(d, n, "BM", 2)) return kPictureBmp;
    if (Starts(d, n, "\xFF\xD8", 2)) return kPictureJpeg;
    if (Starts(d, n, "GIF87a", 6) || Starts(d, n, "GIF89a", 6)) return kPictureGif;
    if (Starts(d, n, "\x89PNG\r\n\x1A\n", 8)) return kPicturePng;
    if (Starts(d, n, "II*\0", 4) || Starts(d, n, "MM\0*", 4)) return kPictureTiff;
    if (Starts(d, n, "II+\0", 4) || Starts(d, n, "MM\0+", 4)) return kPictureTiff;  // BigTIFF
    if (Starts(d, n, "\xD7\xCD\xC6\x9A", 4)) return kPictureWmf;
    if (n >= 44 && probe::Le32(d) == 1 && std::memcmp(d + 40, " EMF", 4) == 0) return kPictureEmf;
    if (n >= 6 && probe::Le16(d) == 0 && probe::Le16(d + 2) == 1 && probe::Le16(d + 4) != 0)
        return kPictureIco;
    if (n >= 6 && (probe::Le16(d) == 1 || probe::Le16(d) == 2) && probe::Le16(d + 2) == 9 &&
        (probe::Le16(d + 4) == 0x100 || probe::Le16(d + 4) == 0x300))
        return kPictureWmf;
    return kPictureUnknown;
}

}  // namespace

namespace probe {

ProbeVerdict ToPixels(int64_t value, int* out) {
    if (value < 1) return kProbeBadDimensions;
    if (value > INT32_MAX) return kProbeTooLarge;
    *out = static_cast<int>(value);
    return kProbeSound;
}

}  // namespace probe

PictureProbe QUB_ProbePicture(const uint8_t* data, size_t size) {
    PictureProbe out{};
    out.format = data ? Sniff(data, size) : kPictureUnknown;
    out.verdict = kProbeNotAPicture;
    switch (out.format) {
        case kPictureBmp: probe::ProbeBmp(data, size, &out); break;
        case kPictureJpeg: probe::ProbeJpeg(data, size, &out); break;
        case kPictureGif: probe::ProbeGif(data, size, &out); break;
        case kPicturePng: probe::ProbePng(data, size, &out); break;
        case kPictureTiff: probe::ProbeTiff(data, size, &out); break;
        case kPictureIco: probe::ProbeIco(data, size, &out); break;
        case kPictureWmf: probe::ProbeWmf(data, size, &out); break;
        case kPictureEmf: probe::ProbeEmf(data, size, &out); break;
        case kPictureUnknown: break;
    }
    if (out.verdict != kProbeSound) out.needsEndMarker = false;
    return out;
}

ProbeVerdict QUB_CheckPictureBudget(int width, int height, int64_t leastFileBytes,
                                    size_t fileSize) {
    if (width < 1 || height < 1) return kProbeBadDimensions;
    int64_t bytes = 0;
    if (!QUB_BufferBytes(width, height, 32, &bytes)) return kProbeTooLarge;
    const int64_t pixels = static_cast<int64_t>(width) * height;
    if (pixels > kProportionFloorPixels && leastFileBytes > 0 &&
        static_cast<uint64_t>(leastFileBytes) > fileSize)
        return kProbeOutOfProportion;
    return kProbeSound;
}

const char* QUB_ProbeVerdictText(ProbeVerdict verdict) {
    switch (verdict) {
        case kProbeSound: return "sound";
        case kProbeNotAPicture: return "not a picture";
        case kProbeTruncated: return "truncated";
        case kProbeBadHeader: return "bad header";
        case kProbeBadDimensions: return "no usable width or height";
        case kProbeUnsupported: return "unsupported coding";
        case kProbeNoColourTable: return "no colour table";
        case kProbeBadStructure: return "damaged structure";
        case kProbeBadOrder: return "picture data before its header";
        case kProbeNoPictureData: return "no picture data";
        case kProbeBadRecord: return "bad record";
        case kProbeNoEndRecord: return "no end record";
        case kProbeTooLarge: return "too large for a picture buffer";
        case kProbeOutOfProportion: return "size too large for the file";
        case kProbeExcessData: return "more data than the picture takes";
    }
    return "unknown verdict";
}

const char* QUB_PictureFormatName(PictureFormat format) {
    switch (format) {
        case kPictureBmp: return "BMP";
        case kPictureJpeg: return "JPEG";
        case kPictureGif: return "GIF";
        case kPicturePng: return "PNG";
        case kPictureTiff: return "TIFF";
        case kPictureIco: return "ICO";
        case kPictureWmf: return "WMF";
        case kPictureEmf: return "EMF";
        case kPictureUnknown: break;
    }
    return "unknown";
}
