// What the companion needs from its platform: files by UTF-8 name, the
// picture decoder and the JPEG encoder (GDI+ on Windows; libjpeg and libpng
// elsewhere), the number of cores. Everything else is platform-free.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// A decoded picture: 0x00RRGGBB words, rows top-down, stride = width.
struct CliPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// The whole file; false with a reason when it cannot be read or is larger
// than any picture the companion could open (1 GiB).
bool CliReadFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error);

enum class PlaceResult { Placed, Taken, Failed };
// Writes `bytes` to a temporary file beside `path` and gives it that name:
// without `replace`, only when no file has it (Taken otherwise, atomically, so
// parallel jobs never take the same name). Nothing is left behind on failure.
PlaceResult CliPlaceFile(const std::string& path, const std::vector<uint8_t>& bytes, bool replace,
                         std::string* error);

bool CliIsFolder(const std::string& path);
// Makes the folder (its parent must exist); true when it exists afterwards.
bool CliMakeFolder(const std::string& path);
// The names (not paths) of the plain files in a folder; false when it cannot
// be listed.
bool CliListFolder(const std::string& path, std::vector<std::string>* names);

// Decodes a picture the probe found sound. False with a reason when the
// platform's decoder refuses it or reports another size than `width` x `height`.
bool CliDecode(const uint8_t* data, size_t size, int width, int height, CliPicture* out,
               std::string* error);

// The same, row by row from the top: `row` gets each row of `width` words as
// soon as it is decoded, and returning false from it stops the decoder (the
// result is then false with an empty reason). Lets a caller work on the
// first rows while later ones are still being decoded, with no buffer of the
// whole picture.
bool CliDecodeRows(const uint8_t* data, size_t size, int width, int height,
                   const std::function<bool(int y, const uint32_t* row)>& row, std::string* error);

// CliDecodeRows for decoders that work on whole pictures: CliDecode, then the
// rows handed on in order.
bool CliDecodeRowsOfWhole(const uint8_t* data, size_t size, int width, int height,
                          const std::function<bool(int y, const uint32_t* row)>& row,
                          std::string* error);

// A JPEG encoder fed one row at a time, top to bottom: Begin, then exactly
// `height` rows of `width` words, then End with the file. Null or false on
// failure; End always releases the writer.
struct CliJpegWriter;
CliJpegWriter* CliBeginJpeg(int width, int height, int quality);
bool CliJpegRow(CliJpegWriter* writer, const uint32_t* row);
bool CliEndJpeg(CliJpegWriter* writer, std::vector<uint8_t>* out);

// w x h pixels, rows `stride` words apart, as a baseline JPEG of `quality`.
bool CliEncodeJpeg(const uint32_t* pixels, int width, int height, size_t stride, int quality,
                   std::vector<uint8_t>* out);

int CliCores();
bool CliIsTerminal(FILE* stream);
