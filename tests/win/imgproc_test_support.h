// Helpers for the drawing and transform tests: a copy of an image slot's
// buffer for the pixel engine to work on, and noise to start from. Call them
// on the worker thread, which owns the image windows.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/library_state.h"
#include "imgproc/transforms.h"

constexpr uint32_t kInk = 0x00A0B0C0u;  // drawColour of the tests (index 0xC0 in 8 bits)

struct Copy {
    int depth = 32;
    int width = 0, height = 0;
    int stride = 0;  // bytes per 8-bit row
    std::vector<uint8_t> bytes;

    static size_t BytesOf(int n) {
        const ImageWindowRecord& r = qubState.images[n];
        return r.depth == 32 ? static_cast<size_t>(r.width) * 4u * static_cast<size_t>(r.height)
                             : static_cast<size_t>(QUB_Stride8(r.width)) * static_cast<size_t>(r.height);
    }
    static Copy Of(int n) {
        const ImageWindowRecord& r = qubState.images[n];
        Copy c;
        c.depth = r.depth;
        c.width = r.width;
        c.height = r.height;
        c.stride = QUB_Stride8(r.width);
        const uint8_t* p = qubState.imageBits8[n];
        c.bytes.assign(p, p + BytesOf(n));
        return c;
    }
    bool Is32() const { return depth == 32; }
    uint32_t* P32() { return reinterpret_cast<uint32_t*>(bytes.data()); }
    uint8_t* P8() { return bytes.data(); }
    size_t Bytes() const { return bytes.size(); }
    // The whole buffer, padding included, and the same size.
    bool SameAs(int n) const {
        const ImageWindowRecord& r = qubState.images[n];
        return r.inUse && r.depth == depth && r.width == width && r.height == height &&
               std::memcmp(qubState.imageBits8[n], bytes.data(), bytes.size()) == 0;
    }
};

// Pixel (x, y) of image slot n: 0x00RRGGBB in 32 bits, the index in 8 bits.
inline uint32_t PixelAt(int n, int x, int y) {
    const ImageWindowRecord& r = qubState.images[n];
    return r.depth == 32 ? qubState.imageBits32[n][static_cast<size_t>(y) * r.width + x] & 0xFFFFFFu
                         : qubState.imageBits8[n][static_cast<size_t>(y) * QUB_Stride8(r.width) + x];
}

// Deterministic noise with a zero top byte in 32 bits; padding stays 0.
inline void FillNoise(int n, uint32_t seed) {
    const ImageWindowRecord& r = qubState.images[n];
    uint32_t s = seed * 2654435761u + 1u;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            s = s * 1664525u + 1013904223u;
            if (r.depth == 32)
                qubState.imageBits32[n][static_cast<size_t>(y) * r.width + x] = (s >> 8) & 0xFFFFFFu;
            else
                qubState.imageBits8[n][static_cast<size_t>(y) * QUB_Stride8(r.width) + x] =
                    static_cast<uint8_t>(s >> 24);
        }
}
