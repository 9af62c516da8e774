// The marker segments at the head of a JPEG stream, before its first frame
// header: where an application segment is, and where a new one goes.
#pragma once
#include <cstddef>
#include <cstdint>

// The body of the first APPn segment (marker 0xE0 + n) before the frame
// header whose body starts with the `idBytes` bytes of `id`: its offset in
// the stream and its length, the identifier included. False when there is
// none or the walk leaves the stream first.
bool QUB_FindJpegApp(const uint8_t* data, size_t size, uint8_t marker, const char* id,
                     size_t idBytes, size_t* bodyOffset, size_t* bodyBytes);

// Where a segment may be inserted: after SOI and the APP0 (JFIF) and APP1
// (Exif) segments that readers expect first. 0 when the stream does not
// start with SOI or those segments run past its end.
size_t QUB_JpegInsertPoint(const uint8_t* data, size_t size);
