// What the companion needs from its platform: files by UTF-8 name, the
// picture decoder and the JPEG encoder (libjpeg and libpng, codecs.h; GDI+
// in the i686 Windows build), the number of cores. Everything else is
// platform-free.
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

// The whole file; false with a reason when it cannot be read ("cannot be
// read (no such file)", "(not a regular file)", ...) or is larger than any
// picture the companion could open (1 GiB). Only regular files are opened,
// so a FIFO or a device never blocks the run.
bool CliReadFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* error);

// A file's identity: device and inode, or on Windows the volume serial and
// the file index. Two spellings of one file have the same identity.
struct CliFileId {
    uint64_t volume = 0;
    uint64_t index = 0;
};
inline bool operator<(const CliFileId& a, const CliFileId& b) {
    return a.volume != b.volume ? a.volume < b.volume : a.index < b.index;
}
// False when nothing has the name. `follow`: of a link's target, else of the
// link itself.
bool CliFileIdentity(const std::string& path, bool follow, CliFileId* id);

// Writes `bytes` to a new temporary file beside the output name `beside` (a
// ".tmp" name no other job or run can have); *temp receives its name.
// Nothing is left behind on failure, and the reason says why ("cannot
// write X (disk full)").
bool CliWriteTemp(const std::string& beside, const std::vector<uint8_t>& bytes, std::string* temp,
                  std::string* error);

enum class PlaceResult { Placed, Taken, Failed };
// Gives the temporary file the name `path`, in one step: without `replace`
// only when nothing has that name (Taken otherwise, atomically, so parallel
// jobs never take one name). After Placed the temporary name is gone; after
// Taken or Failed the temporary file is still there, to try another name.
PlaceResult CliNameTemp(const std::string& temp, const std::string& path, bool replace,
                        std::string* error);
void CliRemoveFile(const std::string& path);

bool CliIsFolder(const std::string& path);
// Makes the folder and any missing parents; true when it exists afterwards,
// else false with the reason.
bool CliMakeFolder(const std::string& path, std::string* error);

// An entry of a folder that looks like a file but cannot be read: a link
// whose target is missing or that loops, a FIFO, a device.
struct CliBrokenEntry {
    std::string name;
    std::string reason;  // e.g. "dangling link", "symbolic link loop"
};
// The names (not paths) of the regular files in a folder, and of the entries
// that are neither regular files nor folders; false when it cannot be listed
// (the reason in *error).
bool CliListFolder(const std::string& path, std::vector<std::string>* names,
                   std::vector<CliBrokenEntry>* broken, std::string* error);

// A part of a picture that a decoder writes: the to->width x to->height
// pixels from (x, y), which lie inside the picture. The decoder sizes
// to->pixels.
struct CliCut {
    int x, y;
    CliPicture* to;
};

// Decodes a picture the probe found sound straight into the parts `cuts`
// name: no buffer of the whole picture exists besides them (GDI+ keeps its
// own decoded copy). False with a reason when the platform's decoder
// refuses it or reports another size than `width` x `height`. `warning`, when
// given, receives the decoder's first complaint about damaged data that it
// decoded past (e.g. "Corrupt JPEG data: premature end of data segment"), or
// stays empty. 16-bit PNGs without gamma information are read as sRGB, as
// viewers show them; transparent parts come out on black.
bool CliDecodeCuts(const uint8_t* data, size_t size, int width, int height, const CliCut* cuts,
                   int count, std::string* error, std::string* warning = nullptr);

// The whole picture: one cut.
bool CliDecode(const uint8_t* data, size_t size, int width, int height, CliPicture* out,
               std::string* error, std::string* warning = nullptr);

// The same, row by row from the top: `row` gets each row of `width` words as
// soon as it is decoded, and returning false from it stops the decoder (the
// result is then false with an empty reason). Lets a caller work on the
// first rows while later ones are still being decoded, with no buffer of the
// whole picture.
bool CliDecodeRows(const uint8_t* data, size_t size, int width, int height,
                   const std::function<bool(int y, const uint32_t* row)>& row, std::string* error,
                   std::string* warning = nullptr);

// CliDecodeRows for decoders that work on whole pictures: CliDecode, then the
// rows handed on in order.
bool CliDecodeRowsOfWhole(const uint8_t* data, size_t size, int width, int height,
                          const std::function<bool(int y, const uint32_t* row)>& row,
                          std::string* error, std::string* warning);

// A JPEG encoder fed one row at a time, top to bottom: Begin, then exactly
// `height` rows of `width` words, then End with the file. Null or false on
// failure; End always releases the writer. `fullChroma`: colour at full
// resolution (4:4:4) rather than halved across and down (4:2:0, as cameras
// write). The GDI+ encoder of the i686 build has no such choice: 4:2:0.
struct CliJpegWriter;
CliJpegWriter* CliBeginJpeg(int width, int height, int quality, bool fullChroma);
bool CliJpegRow(CliJpegWriter* writer, const uint32_t* row);
bool CliEndJpeg(CliJpegWriter* writer, std::vector<uint8_t>* out);

// w x h pixels, rows `stride` words apart, as a baseline 4:2:0 JPEG of
// `quality`.
bool CliEncodeJpeg(const uint32_t* pixels, int width, int height, size_t stride, int quality,
                   std::vector<uint8_t>* out);

int CliCores();
bool CliIsTerminal(FILE* stream);
