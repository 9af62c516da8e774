// The companion's codecs on every platform that links libjpeg (as
// libjpeg-turbo ships it) and libpng: natively the distribution's, on
// Windows x86_64 the static ones scripts/setup-codecs.sh builds. The
// platform files keep only what talks to the system; the decoding entry
// points of cli_platform.h (codec_decode.cpp) dispatch here.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "cli/cli_platform.h"

// A JPEG, row by row from the top into `sink`, as CliDecodeRows describes
// it (its reason is prefixed "JPEG decoder: ").
bool JpegDecodeRows(const uint8_t* data, size_t size, int width, int height,
                    const std::function<bool(int y, const uint32_t* row)>& sink, std::string* error,
                    std::string* warning);

// A PNG into the cuts, as CliDecodeCuts describes it; the cuts are sized
// already.
bool PngDecodeCuts(const uint8_t* data, size_t size, int width, int height, const CliCut* cuts,
                   int count, std::string* error, std::string* warning);

// Row y of the picture into the cuts that cover it, and the inverse.
void PutCutsRow(const CliCut* cuts, int count, int y, const uint32_t* row);
void GetCutsRow(const CliCut* cuts, int count, int y, uint32_t* row);
