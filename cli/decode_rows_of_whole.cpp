// The decoding entry points that every platform builds from CliDecodeCuts.
#include "cli/cli_platform.h"

bool CliDecode(const uint8_t* data, size_t size, int width, int height, CliPicture* out,
               std::string* error, std::string* warning) {
    out->width = width;
    out->height = height;
    const CliCut whole = {0, 0, out};
    return CliDecodeCuts(data, size, width, height, &whole, 1, error, warning);
}

bool CliDecodeRowsOfWhole(const uint8_t* data, size_t size, int width, int height,
                          const std::function<bool(int y, const uint32_t* row)>& row,
                          std::string* error, std::string* warning) {
    CliPicture whole;
    if (!CliDecode(data, size, width, height, &whole, error, warning)) return false;
    for (int y = 0; y < height; ++y)
        if (!row(y, whole.pixels.data() + static_cast<size_t>(y) * width)) {
            error->clear();
            return false;
        }
    return true;
}
