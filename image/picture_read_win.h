// Opening a picture file for the platform decoder: the file is read whole,
// its bytes are checked by the picture probe, and only a sound picture is
// decoded -- from those same bytes, so the file cannot change in between.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <vector>

#include "formats/picture_probe.h"

struct PictureFile {
    std::vector<uint8_t> bytes;  // the file, with FF D9 added to a JPEG cut before its end
    PictureProbe probe;          // kProbeSound when the bytes may be decoded
    bool read;                   // false: the file could not be read at all
};

// Reads and probes `path`. Files larger than the library's largest picture
// could come from are refused as too large without being read, and so is a
// picture whose header claims a buffer past the library's limit, after only
// the head of the file is read (the probe then holds that header's format and
// size).
PictureFile QUB_ReadPictureFile(const wchar_t* path);

// Decodes a sound picture's bytes through GDI+; null when refused or when the
// decoder fails. The image keeps its own stream: release it with
// GdipDisposeImage as usual.
Gdiplus::GpImage* QUB_DecodePicture(const PictureFile& file);

// The same for bytes the caller has probed itself, such as one JPEG stream of
// a multi-picture file. They must outlive the image.
Gdiplus::GpImage* QUB_DecodeBytes(const uint8_t* data, size_t size);

// Copies the part (srcX, srcY, width, height) of a decoded bitmap without
// transparency (a JPEG) into the current 32-bit window with its top-left
// corner at (x, y), clipped to the buffer, the top bytes cleared. The pixels
// go from the decoder straight into the buffer. False, the buffer untouched,
// when the current window is not a 32-bit one or the decoder cannot.
bool QUB_DecodeInto32(Gdiplus::GpImage* picture, int srcX, int srcY, int width, int height, int x,
                      int y);

// Width and height of a sound picture as the decoder reports them. Raster
// formats are sized from the probe without decoding; icons and metafiles,
// whose drawn size is the decoder's choice, are opened to ask it. False when
// the picture is refused or has no size.
bool QUB_PictureSize(const PictureFile& file, UINT* width, UINT* height);

// A tag for the name of a temporary file written beside its target, new on
// every call and unlike other threads' and processes'.
unsigned QUB_TempTag();
