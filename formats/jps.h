// Stereo JPEG (.jps): one JPEG holding both views, described by an optional
// APP3 segment "_JPSJPS_" whose 32-bit stereoscopic descriptor gives the
// layout and which half holds the left view. Without a descriptor a JPS is
// side by side and cross-eyed: the right view in the left half.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

enum JpsLayout {
    kJpsSideBySide = 0,
    kJpsOverUnder,
    kJpsNotAPair,  // monoscopic, interleaved or anaglyph: shown as stored
};

struct JpsDescriptor {
    bool present;     // a well-formed descriptor was found
    JpsLayout layout;
    bool leftFirst;   // the left view is the left (or upper) half
    bool halfWidth;   // each view was squeezed to half its width
    bool halfHeight;
};

// The stream's descriptor, or the cross-eyed side-by-side default when it has
// none or its descriptor is cut short. Never reads outside the `size` bytes.
JpsDescriptor QUB_ReadJps(const uint8_t* data, size_t size);

// `jpeg` with a side-by-side descriptor inserted after its SOI and APP0 /
// APP1 segments; `leftFirst` false for the cross-eyed order viewers expect.
// False, `out` emptied, when the stream does not start with SOI or its head
// segments run past its end.
bool QUB_WriteJps(const uint8_t* jpeg, size_t size, bool leftFirst, std::vector<uint8_t>* out);
