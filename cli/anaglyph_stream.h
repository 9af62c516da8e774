// The anaglyph of a side-by-side JPEG as a stream: one thread decodes rows,
// the caller's thread composes each row as soon as it is there and feeds it
// to the encoder. No buffer of the whole picture exists, and decoding and
// encoding overlap on two cores -- the common case of a folder of camera
// pairs, made as fast as the codecs allow.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/pair_input.h"

enum class StreamResult {
    Done,          // `file` holds the anaglyph
    Failed,        // `error` says why; the input is bad
    NotStreamable, // another input or option: take the general path
};

// Streams when the opened input is one plain side-by-side JPEG and no row
// offset is asked for (a manual horizontal offset is fine; automatic
// alignment is not). `views` receives the input's description and the
// decoder's warning for the report line, and no pixels.
StreamResult StreamAnaglyph(const PairSource& source, const CliOptions& options,
                            std::vector<uint8_t>* file, PairViews* views, std::string* error);
