// Stereo pairs with known truth for the alignment engine's tests and
// benchmark: the sample scene, and photograph-like textured pairs of any
// size, with the right view misaligned by a known similarity (the geometry of
// app/auto_align.h) and given its own exposure and noise.
#pragma once
#include <cstdint>
#include <vector>

struct TestView {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, stride = width
};

// How the right view is spoilt, about the left view's centre.
struct Misalignment {
    double offset = 0;           // t, rows
    double rotationDegrees = 0;  // theta, clockwise
    double scale = 1;            // s
    double gain = 1;             // right = gain * value + bias + noise, per channel
    double bias = 0;
    double noise = 0;            // amplitude of uniform noise, 8-bit levels
    uint32_t seed = 1;
};

// Where the right view shows the ideal right view's point: M(q) of auto_align.h.
// (mx, my) = M^-1 (x, y), computed with cos and sin.
void InverseMisalignment(const Misalignment& m, int width, int height, double x, double y,
                         double& mx, double& my);

// Bilinear sample of a view at (x, y); false outside.
bool SampleView(const TestView& v, double x, double y, double rgb[3]);

// Gain, bias and noise, then rounding to 8 bits.
uint32_t Expose(const Misalignment& m, const double rgb[3], uint32_t& noiseState);

// The sample scene's left view, and its right view misaligned by `m` in
// total (the generator's own 6-row offset included), so that the truth is
// `m` itself and parallax -d for a layer of disparity d.
TestView SampleLeft();
TestView SampleRight(const Misalignment& m);

// A textured pair: value noise in three octaves and colours, the background
// at parallax `farParallax`, a disc a third of the height across at
// `nearParallax`. The right view goes through `m`.
struct TexturedPair {
    TestView left, right;
};
TexturedPair MakeTexturedPair(int width, int height, double farParallax, double nearParallax,
                              const Misalignment& m, uint32_t textureSeed);

// A view of `source` resampled through the misalignment, with a horizontal
// parallax p added (a flat scene): right(q) = source(M^-1(q) - (p, 0) + origin).
TestView ResampleThrough(const TestView& source, int originX, int originY, int width, int height,
                         double parallax, const Misalignment& m);
