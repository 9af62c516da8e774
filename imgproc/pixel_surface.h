// Internal to imgproc: the two buffer layouts behind one small interface, so
// that each primitive is written once as a template and instantiated for 32-bit
// and 8-bit images. Callers clip first; these accessors do not check bounds.
#pragma once
#include <cstddef>
#include <cstdint>

namespace qub_px {

// 32-bit pixels 0x00RRGGBB, top-down, stride = width words. Inversion leaves the
// top byte as it was, so XOR twice always restores the exact word.
struct Surface32 {
    uint32_t* pixels;
    int width;
    int height;

    using Value = uint32_t;
    static Value Stored(uint32_t colour) { return colour; }
    Value* Row(int y) const { return pixels + static_cast<size_t>(y) * static_cast<size_t>(width); }
    Value Get(int x, int y) const { return Row(y)[x]; }
    void Set(int x, int y, Value v) const { Row(y)[x] = v; }
    void Invert(int x, int y) const { Row(y)[x] ^= 0x00FFFFFFu; }
    void SetSpan(int x0, int x1, int y, Value v) const {
        Value* p = Row(y);
        for (int x = x0; x <= x1; ++x) p[x] = v;
    }
    void InvertSpan(int x0, int x1, int y) const {
        Value* p = Row(y);
        for (int x = x0; x <= x1; ++x) p[x] ^= 0x00FFFFFFu;
    }
};

// 8-bit palette indices; rows are `stride` bytes apart. A colour written here
// keeps only its low byte (0x808080 stores index 128); inversion is 255 - i.
struct Surface8 {
    uint8_t* pixels;
    int width;
    int height;
    int stride;

    using Value = uint8_t;
    static Value Stored(uint32_t colour) { return static_cast<uint8_t>(colour & 255u); }
    Value* Row(int y) const { return pixels + static_cast<size_t>(y) * static_cast<size_t>(stride); }
    Value Get(int x, int y) const { return Row(y)[x]; }
    void Set(int x, int y, Value v) const { Row(y)[x] = v; }
    void Invert(int x, int y) const { Row(y)[x] = static_cast<uint8_t>(~Row(y)[x]); }
    void SetSpan(int x0, int x1, int y, Value v) const {
        Value* p = Row(y);
        for (int x = x0; x <= x1; ++x) p[x] = v;
    }
    void InvertSpan(int x0, int x1, int y) const {
        Value* p = Row(y);
        for (int x = x0; x <= x1; ++x) p[x] = static_cast<uint8_t>(~p[x]);
    }
};

// Unsigned comparison puts negative coordinates outside too. 64-bit so that
// shape arithmetic (a centre plus a huge radius) can be checked before it is
// narrowed.
template <class S>
inline bool Inside(const S& s, int64_t x, int64_t y) {
    return static_cast<uint64_t>(x) < static_cast<uint64_t>(s.width) &&
           static_cast<uint64_t>(y) < static_cast<uint64_t>(s.height);
}

// Inclusive horizontal run from x0 to x1 (either order) on row y, clipped.
template <class S, class Op>
inline void ClippedSpan(const S& s, int64_t x0, int64_t x1, int64_t y, Op op) {
    if (static_cast<uint64_t>(y) >= static_cast<uint64_t>(s.height)) return;
    if (x0 > x1) {
        const int64_t t = x0;
        x0 = x1;
        x1 = t;
    }
    if (x0 < 0) x0 = 0;
    if (x1 > s.width - 1) x1 = s.width - 1;
    if (x0 > x1) return;
    op.Span(s, static_cast<int>(x0), static_cast<int>(x1), static_cast<int>(y));
}

// The two ways a shape can be drawn: storing a colour or inverting.
template <class S>
struct SetOp {
    typename S::Value value;
    void Point(const S& s, int x, int y) const { s.Set(x, y, value); }
    void Span(const S& s, int x0, int x1, int y) const { s.SetSpan(x0, x1, y, value); }
};

template <class S>
struct InvertOp {
    void Point(const S& s, int x, int y) const { s.Invert(x, y); }
    void Span(const S& s, int x0, int x1, int y) const { s.InvertSpan(x0, x1, y); }
};

}  // namespace qub_px
