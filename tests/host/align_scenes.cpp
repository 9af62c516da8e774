#include "tests/host/align_scenes.h"
#include <cmath>
#include <cstdio>
#include "tools/sample_pair_params.h"
#include "tools/sample_scene.h"

namespace {
// Gain, bias and noise, then rounding to 8 bits.
uint32_t Expose(const Misalignment& m, const double rgb[3], uint32_t& state) {
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        state = state * 1664525u + 1013904223u;
        const double n = m.noise * ((state >> 8) * (2.0 / 16777216.0) - 1.0);
        double v = m.gain * rgb[c] + m.bias + n + 0.5;
        v = v < 0 ? 0 : v > 255 ? 255 : v;
        out = (out << 8) | static_cast<uint32_t>(v);
    }
    return out;
}

}  // namespace

// M^-1 (x, y) of auto_align.h: turn back by the rotation, divide by the scale,
// then undo the two cameras' differences.
void MisalignedToIdeal(const Misalignment& m, int width, int height, double x, double y,
                       double& ix, double& iy) {
    const double cx = (width - 1) / 2.0, cy = (height - 1) / 2.0, unit = cx > cy ? cx : cy;
    const double a = m.rotationDegrees * 3.14159265358979323846 / 180;
    const double X = x - cx, Y = y - m.offset - cy;
    const double u = (std::cos(a) * X + std::sin(a) * Y) / m.scale / unit;
    const double v = (-std::sin(a) * X + std::cos(a) * Y) / m.scale / unit;
    const double w = 1 + m.keystoneX * u + m.keystoneY * v;
    const double k = (1 + m.radial * (u * u + v * v)) / w * unit;
    ix = cx + u * k;
    iy = cy + v * k;
}

bool SampleView(const TestView& v, double x, double y, double rgb[3]) {
    if (!(x >= 0 && y >= 0 && x <= v.width - 1 && y <= v.height - 1)) return false;
    const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
    const int x1 = x0 + 1 < v.width ? x0 + 1 : x0, y1 = y0 + 1 < v.height ? y0 + 1 : y0;
    const double fx = x - x0, fy = y - y0;
    auto at = [&](int px, int py, int shift) {
        return double(v.pixels[size_t(py) * size_t(v.width) + size_t(px)] >> shift & 255);
    };
    for (int c = 0; c < 3; ++c) {
        const int shift = 16 - 8 * c;
        const double top = at(x0, y0, shift) * (1 - fx) + at(x1, y0, shift) * fx;
        const double bottom = at(x0, y1, shift) * (1 - fx) + at(x1, y1, shift) * fx;
        rgb[c] = top * (1 - fy) + bottom * fy;
    }
    return true;
}

namespace {

// `source` resampled through the misalignment at origin (originX, originY).
TestView ResampleThrough(const TestView& source, int originX, int originY, int width, int height,
                         const Misalignment& m) {
    TestView out{width, height, {}};
    out.pixels.resize(static_cast<size_t>(width) * height);
    uint32_t state = m.seed;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double mx, my, rgb[3] = {0, 0, 0};
            MisalignedToIdeal(m, width, height, x, y, mx, my);
            SampleView(source, mx + originX, my + originY, rgb);
            out.pixels[static_cast<size_t>(y) * width + x] = Expose(m, rgb, state);
        }
    return out;
}
}  // namespace

TestView Misalign(const TestView& ideal, const Misalignment& m) {
    return ResampleThrough(ideal, 0, 0, ideal.width, ideal.height, m);
}

TestView ReadPpm(const char* path) {
    TestView v;
    FILE* file = std::fopen(path, "rb");
    int width = 0, height = 0, depth = 0;
    if (file && std::fscanf(file, "P6 %d %d %d", &width, &height, &depth) == 3 && depth == 255 &&
        width > 0 && height > 0 && width <= 10000 && height <= 10000 && std::fgetc(file) != EOF) {
        std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
        if (std::fread(rgb.data(), 1, rgb.size(), file) == rgb.size()) {
            v = {width, height, std::vector<uint32_t>(rgb.size() / 3)};
            for (size_t k = 0; k < v.pixels.size(); ++k)
                v.pixels[k] = uint32_t{rgb[3 * k]} << 16 | uint32_t{rgb[3 * k + 1]} << 8 | rgb[3 * k + 2];
        }
    }
    if (file) std::fclose(file);
    return v;
}

TestView SampleLeft() {
    TestView v{kSampleViewWidth, kSampleViewHeight,
               std::vector<uint32_t>(size_t{kSampleViewWidth} * kSampleViewHeight)};
    RenderSampleView(SampleEye::Left, v.pixels.data(), nullptr);
    return v;
}

TestView SampleRight(const Misalignment& m) {
    TestView r{kSampleViewWidth, kSampleViewHeight,
               std::vector<uint32_t>(size_t{kSampleViewWidth} * kSampleViewHeight)};
    RenderSampleView(SampleEye::Right, r.pixels.data(), nullptr);
    // The rendered view is the ideal one moved down by the generator's shift.
    return ResampleThrough(r, 0, kSampleVerticalShift, r.width, r.height, m);
}

namespace {

uint32_t Hash(int32_t x, int32_t y, uint32_t salt) {
    uint32_t h = salt * 0x9E3779B1u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA77u;
    h = (h ^ (h >> 15)) * 0xC2B2AE3Du;
    h ^= static_cast<uint32_t>(y) * 0x27D4EB2Fu;
    h = (h ^ (h >> 13)) * 0x165667B1u;
    return h ^ (h >> 16);
}

double Lattice(int32_t x, int32_t y, uint32_t salt) {
    return (Hash(x, y, salt) >> 8) * (1.0 / 16777216.0);
}
// Value noise, smoothly interpolated, 0..1.
double Noise(double u, double v, uint32_t salt) {
    const double fu = std::floor(u), fv = std::floor(v);
    const int32_t iu = static_cast<int32_t>(fu), iv = static_cast<int32_t>(fv);
    double tu = u - fu, tv = v - fv;
    tu = tu * tu * (3 - 2 * tu);
    tv = tv * tv * (3 - 2 * tv);
    const double a = Lattice(iu, iv, salt), b = Lattice(iu + 1, iv, salt);
    const double c = Lattice(iu, iv + 1, salt), d = Lattice(iu + 1, iv + 1, salt);
    return (a + (b - a) * tu) + ((c + (d - c) * tu) - (a + (b - a) * tu)) * tv;
}

// A surface's colour at scene point (u, v): coarse patches of colour with
// grain at two finer scales, in units of the view's size so that a large
// view looks like a small one photographed at a higher resolution.
void Surface(double u, double v, double unit, uint32_t salt, double rgb[3]) {
    const double coarse = Noise(u / (24 * unit), v / (24 * unit), salt);
    const double middle = Noise(u / (6 * unit), v / (6 * unit), salt + 1);
    const double fine = Noise(u / (2 * unit), v / (2 * unit), salt + 2);
    const double tone = 0.45 * coarse + 0.35 * middle + 0.2 * fine;
    const double hue = Noise(u / (40 * unit), v / (40 * unit), salt + 3);
    rgb[0] = 255 * tone * (0.6 + 0.4 * hue);
    rgb[1] = 255 * tone * 0.8;
    rgb[2] = 255 * tone * (1.0 - 0.4 * hue);
}
}  // namespace

TexturedPair MakeTexturedPair(int width, int height, double farParallax, double nearParallax,
                              const Misalignment& m, uint32_t textureSeed) {
    TexturedPair pair{{width, height, {}}, {width, height, {}}};
    pair.left.pixels.resize(static_cast<size_t>(width) * height);
    pair.right.pixels.resize(static_cast<size_t>(width) * height);
    const double unit = width / 640.0;
    const double discX = 0.62 * width, discY = 0.55 * height, radius = height / 6.0;
    // Scene point (u, v) of the left view at (u, v); of the ideal right view
    // at (u + p, v), p the layer's parallax.
    auto shade = [&](double x, double y, bool right, double rgb[3]) {
        const double nu = right ? x - nearParallax : x;
        if ((nu - discX) * (nu - discX) + (y - discY) * (y - discY) < radius * radius) {
            Surface(nu, y, unit, textureSeed + 100, rgb);
            return;
        }
        Surface(right ? x - farParallax : x, y, unit, textureSeed, rgb);
    };
    Misalignment exact;
    uint32_t state = 7;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double rgb[3];
            shade(x, y, false, rgb);
            pair.left.pixels[static_cast<size_t>(y) * width + x] = Expose(exact, rgb, state);
        }
    state = m.seed;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double mx, my, rgb[3];
            MisalignedToIdeal(m, width, height, x, y, mx, my);
            shade(mx, my, true, rgb);
            pair.right.pixels[static_cast<size_t>(y) * width + x] = Expose(m, rgb, state);
        }
    return pair;
}
