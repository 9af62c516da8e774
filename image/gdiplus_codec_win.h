// GDI+ codecs without the library's state: the encoder lookup and JPEG
// encoding into memory, shared by the library and the command-line companion.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// QUB_FindEncoder is declared with the library's file calls (image_file.h).
bool QUB_FindEncoder(const wchar_t* mimeType, CLSID* classId);

// w x h 32-bit pixels, rows `stride` pixels apart, as a JPEG of `quality`
// (0-100) in `out`. False when GDI+ cannot encode them.
bool QUB_EncodeJpeg(const uint32_t* pixels, int width, int height, size_t stride, int quality,
                    std::vector<uint8_t>* out);
