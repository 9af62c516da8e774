// Stereo pairs of known truth for the alignment tests and benchmark: the right
// view misaligned by a known similarity (app/auto_align.h), exposed and noisy.
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
    // Two cameras: with u, v the offset from the centre over half the larger
    // side, divided by 1 + keystoneX u + keystoneY v, then scaled by
    // 1 + radial (u^2 + v^2), in both directions.
    double keystoneX = 0, keystoneY = 0, radial = 0;
};

// Where the ideal right view shows what the misaligned one shows at (x, y).
void MisalignedToIdeal(const Misalignment& m, int width, int height, double x, double y,
                       double& ix, double& iy);
// Bilinear RGB at (x, y); false outside the view.
bool SampleView(const TestView& v, double x, double y, double rgb[3]);
// `ideal` seen through the misalignment, exposed and noisy.
TestView Misalign(const TestView& ideal, const Misalignment& m);
// A binary PPM (P6, 8 bits) as the build wrote it; empty when unreadable.
TestView ReadPpm(const char* path);

// The sample scene's views, the right one misaligned by `m` in total (the
// generator's 6-row offset included): parallax -d for a layer of disparity d.
TestView SampleLeft();
TestView SampleRight(const Misalignment& m);
// Value noise in three octaves: the background at `farParallax`, a disc a third
// of the height across at `nearParallax`; the right view goes through `m`.
struct TexturedPair {
    TestView left, right;
};
TexturedPair MakeTexturedPair(int width, int height, double farParallax, double nearParallax,
                              const Misalignment& m, uint32_t textureSeed);
