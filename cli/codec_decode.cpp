// The decoding entry points of cli_platform.h over libjpeg and libpng: a
// JPEG streams row by row, a PNG is read into the cuts.
#include <cstring>

#include "cli/codecs.h"

// Row y of the picture into the cuts that cover it.
void PutCutsRow(const CliCut* cuts, int count, int y, const uint32_t* row) {
    for (int c = 0; c < count; ++c) {
        CliPicture& to = *cuts[c].to;
        if (y >= cuts[c].y && y < cuts[c].y + to.height)
            std::memcpy(to.pixels.data() + static_cast<size_t>(y - cuts[c].y) * to.width,
                        row + cuts[c].x, static_cast<size_t>(to.width) * 4);
    }
}

// The inverse, for an interlaced PNG: its rows are completed over seven
// passes, and each pass must find what the earlier ones wrote. Gathering the
// row from the cuts before a pass spares a buffer of the whole picture.
void GetCutsRow(const CliCut* cuts, int count, int y, uint32_t* row) {
    for (int c = 0; c < count; ++c) {
        const CliPicture& from = *cuts[c].to;
        if (y >= cuts[c].y && y < cuts[c].y + from.height)
            std::memcpy(row + cuts[c].x,
                        from.pixels.data() + static_cast<size_t>(y - cuts[c].y) * from.width,
                        static_cast<size_t>(from.width) * 4);
    }
}

namespace {

bool IsJpeg(const uint8_t* data, size_t size) { return size >= 3 && data[0] == 0xFF && data[1] == 0xD8; }

}  // namespace

bool CliDecodeRows(const uint8_t* data, size_t size, int width, int height,
                   const std::function<bool(int y, const uint32_t* row)>& row, std::string* error,
                   std::string* warning) {
    if (IsJpeg(data, size)) return JpegDecodeRows(data, size, width, height, row, error, warning);
    return CliDecodeRowsOfWhole(data, size, width, height, row, error, warning);
}

bool CliDecodeCuts(const uint8_t* data, size_t size, int width, int height, const CliCut* cuts,
                   int count, std::string* error, std::string* warning) {
    for (int c = 0; c < count; ++c)
        cuts[c].to->pixels.assign(
            static_cast<size_t>(cuts[c].to->width) * static_cast<size_t>(cuts[c].to->height), 0);
    if (IsJpeg(data, size))
        return JpegDecodeRows(data, size, width, height,
                              [cuts, count](int y, const uint32_t* row) {
                                  PutCutsRow(cuts, count, y, row);
                                  return true;
                              },
                              error, warning);
    if (size >= 8 && std::memcmp(data, "\x89PNG", 4) == 0)
        return PngDecodeCuts(data, size, width, height, cuts, count, error, warning);
    *error = "this build reads JPEG, PNG, MPO and JPS only";
    return false;
}
