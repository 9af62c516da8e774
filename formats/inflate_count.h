// How many bytes a zlib stream inflates to, found without inflating it: the
// DEFLATE blocks are walked code by code and only the output's length is
// kept, so the walk needs no window and allocates nothing. It stops as soon
// as the count passes a limit, which is how a PNG whose IDAT stream would
// inflate to gigabytes is refused before any decoder sees it.
//
// What the walk calls broken is what zlib's inflate refuses: a bad header or
// preset dictionary, a block type of 3, a stored length whose complement is
// wrong, an over-subscribed or incomplete code (a single one-bit length or
// distance code excepted), a repeat with nothing before it or past the
// lengths, no end-of-block code, a length or distance symbol with no
// meaning, and a distance reaching back before the first byte.
#pragma once
#include <cstddef>
#include <cstdint>

namespace probe {

// The stream as it lies in the file, in pieces (a PNG's IDAT chunks): `next`
// gives the next piece and returns false after the last.
struct ByteSpans {
    bool (*next)(void* context, const uint8_t** data, size_t* size);
    void* context;
};

enum InflateOutcome {
    kInflateEnds = 0,   // the final block ended within the limit
    kInflateCut,        // the pieces ran out before the final block ended
    kInflatePastLimit,  // the output would pass the limit
    kInflateBroken,     // something inflate refuses (see above)
};

// Walks the zlib stream in `spans` against `limit` output bytes. Bytes after
// the final block (the Adler-32 and anything else) are not read: decoders
// stop there too. `*produced` is the count reached, at most limit + 258 (or
// a stored block's length) when the limit is passed.
InflateOutcome CountInflated(ByteSpans spans, uint64_t limit, uint64_t* produced);

}  // namespace probe
