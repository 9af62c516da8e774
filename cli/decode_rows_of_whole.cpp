#include "cli/cli_platform.h"

bool CliDecodeRowsOfWhole(const uint8_t* data, size_t size, int width, int height,
                          const std::function<bool(int y, const uint32_t* row)>& row,
                          std::string* error) {
    CliPicture whole;
    if (!CliDecode(data, size, width, height, &whole, error)) return false;
    for (int y = 0; y < height; ++y)
        if (!row(y, whole.pixels.data() + static_cast<size_t>(y) * width)) {
            error->clear();
            return false;
        }
    return true;
}
