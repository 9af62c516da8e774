// Internal to imgproc: the buffer of an image slot as the pixel engine takes
// it. Looked up afresh by every call, because a toolbox command nested in a
// wait can change the current slot, and a resize replaces the buffer.
#pragma once
#include <cstdint>

#include "core/library_state.h"
#include "imgproc/transforms.h"

struct ImageTarget {
    int slot;
    int depth;       // 8 or 32
    int width, height;
    int stride;      // bytes per row of an 8-bit buffer
    uint32_t* p32;   // the buffer as words (32-bit images)
    uint8_t* p8;     // the same buffer as bytes
};

// False when n is out of range or its slot is closed.
inline bool QUB_ImageTarget(int n, ImageTarget* t) {
    if (n < 0 || n >= kImageSlots) return false;
    const ImageWindowRecord& r = qubState.images[n];
    if (!r.inUse) return false;
    t->slot = n;
    t->depth = r.depth;
    t->width = r.width;
    t->height = r.height;
    t->stride = QUB_Stride8(r.width);
    t->p32 = qubState.imageBits32[n];
    t->p8 = qubState.imageBits8[n];
    return true;
}

inline bool QUB_CurrentTarget(ImageTarget* t) { return QUB_ImageTarget(qubState.currentImage, t); }
