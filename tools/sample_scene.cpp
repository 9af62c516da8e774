#include "tools/sample_scene.h"

#include <cmath>

#include "tools/sample_pair_params.h"

namespace {

// ---------------------------------------------------------------------------
// Noise: a hash of integer lattice points, smoothly interpolated
// ---------------------------------------------------------------------------

uint32_t Hash(int32_t x, int32_t y, uint32_t salt) {
    uint32_t h = kSampleSeed ^ salt;
    h ^= static_cast<uint32_t>(x) * 0x9E3779B1u;
    h = (h ^ (h >> 15)) * 0x85EBCA77u;
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h = (h ^ (h >> 13)) * 0x27D4EB2Fu;
    return h ^ (h >> 16);
}

double Unit(uint32_t h) { return (h >> 8) * (1.0 / 16777216.0); }

double ValueNoise(double u, double v, uint32_t salt) {
    const double fu = std::floor(u), fv = std::floor(v);
    const int32_t iu = static_cast<int32_t>(fu), iv = static_cast<int32_t>(fv);
    double tu = u - fu, tv = v - fv;
    tu = tu * tu * (3 - 2 * tu);
    tv = tv * tv * (3 - 2 * tv);
    const double a = Unit(Hash(iu, iv, salt)), b = Unit(Hash(iu + 1, iv, salt));
    const double c = Unit(Hash(iu, iv + 1, salt)), d = Unit(Hash(iu + 1, iv + 1, salt));
    return (a + (b - a) * tu) + ((c + (d - c) * tu) - (a + (b - a) * tu)) * tv;
}

// Three octaves, result in 0..1.
double Fbm(double u, double v, double scale, uint32_t salt) {
    double sum = 0, weight = 0.5, total = 0;
    for (int octave = 0; octave < 3; ++octave) {
        sum += weight * ValueNoise(u / scale, v / scale, salt + static_cast<uint32_t>(octave));
        total += weight;
        scale /= 2;
        weight /= 2;
    }
    return sum / total;
}

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb p, Rgb q, double t) {
    return {p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t};
}

Rgb Scale(Rgb p, double k) { return {p.r * k, p.g * k, p.b * k}; }

// ---------------------------------------------------------------------------
// The layers, in scene coordinates (u, v)
// ---------------------------------------------------------------------------

Rgb Wall(double u, double v) {
    const double brickW = 52, brickH = 22;
    const double row = std::floor(v / brickH);
    const double shifted = u + (static_cast<int>(row) % 2 != 0 ? brickW / 2 : 0);
    const double col = std::floor(shifted / brickW);
    const double bu = shifted - col * brickW, bv = v - row * brickH;
    const double grain = Fbm(u, v, 16, 1);
    if (bu < 3 || bv < 3) return Scale({200, 196, 184}, 0.8 + 0.3 * grain);  // mortar
    const double tone = Unit(Hash(static_cast<int32_t>(col), static_cast<int32_t>(row), 2));
    const Rgb brick = Mix({150, 62, 40}, {196, 110, 70}, tone);
    return Scale(brick, 0.75 + 0.45 * grain);
}

bool InPanel(double u, double v) { return u >= 70 && u < 290 && v >= 150 && v < 420; }

Rgb Panel(double u, double v) {
    const double warp = Fbm(u, v, 40, 3);
    const double ring = 0.5 + 0.5 * std::sin(v * 0.21 + 9 * warp + 0.02 * u);
    const Rgb wood = Mix({110, 70, 34}, {186, 138, 80}, ring);
    return Scale(wood, 0.85 + 0.25 * Fbm(u, v, 6, 4));
}

bool InBoard(double u, double v) { return u >= 360 && u < 560 && v >= 50 && v < 250; }

Rgb Board(double u, double v) {
    const bool dark = (static_cast<int>(std::floor((u - 360) / 25)) +
                       static_cast<int>(std::floor((v - 50) / 25))) % 2 != 0;
    const Rgb base = dark ? Rgb{30, 60, 150} : Rgb{235, 205, 60};
    return Scale(base, 0.8 + 0.35 * Fbm(u, v, 10, 5));
}

constexpr double kBallU = 430, kBallV = 340, kBallRadius = 80;

bool InBall(double u, double v) {
    const double du = u - kBallU, dv = v - kBallV;
    return du * du + dv * dv < kBallRadius * kBallRadius;
}

Rgb Ball(double u, double v) {
    const double nx = (u - kBallU) / kBallRadius, ny = (v - kBallV) / kBallRadius;
    const double nz = std::sqrt(std::fmax(0.0, 1 - nx * nx - ny * ny));
    // Light from the upper left, a little in front.
    const double light = std::fmax(0.0, -0.5 * nx - 0.6 * ny + 0.62 * nz);
    const double spots = Fbm(u, v, 18, 6) > 0.58 ? 0.6 : 1.0;
    const Rgb colour = Scale({150, 70, 190}, spots);
    const double highlight = std::pow(light, 24) * 180;
    const Rgb lit = Scale(colour, 0.25 + 0.85 * light);
    return {lit.r + highlight, lit.g + highlight, lit.b + highlight};
}

// The colour seen through view position (x, y); `layer` receives the layer hit.
Rgb Shade(SampleEye eye, double x, double y, SampleLayer& layer) {
    // Left view: u = x - d, v = y. Right view: u = x, v = y - shift.
    const double v = eye == SampleEye::Left ? y : y - kSampleVerticalShift;
    auto u = [&](int disparity) { return eye == SampleEye::Left ? x - disparity : x; };
    if (InBall(u(kSampleBallDisparity), v)) {
        layer = kLayerBall;
        return Ball(u(kSampleBallDisparity), v);
    }
    if (InBoard(u(kSampleBoardDisparity), v)) {
        layer = kLayerBoard;
        return Board(u(kSampleBoardDisparity), v);
    }
    if (InPanel(u(kSamplePanelDisparity), v)) {
        layer = kLayerPanel;
        return Panel(u(kSamplePanelDisparity), v);
    }
    layer = kLayerWall;
    return Wall(u(kSampleBackgroundDisparity), v);
}

uint32_t Channel(double value) {
    if (value <= 0) return 0;
    if (value >= 255) return 255;
    return static_cast<uint32_t>(value + 0.5);
}

}  // namespace

void RenderSampleView(SampleEye eye, uint32_t* pixels, uint8_t* layers) {
    // 2 x 2 samples per pixel for smooth edges. The sample positions move by
    // whole pixels with the disparities, so a surface looks the same in both
    // views wherever it is not partly covered.
    constexpr double kOffsets[2] = {0.25, 0.75};
    for (int y = 0; y < kSampleViewHeight; ++y) {
        for (int x = 0; x < kSampleViewWidth; ++x) {
            Rgb sum{0, 0, 0};
            SampleLayer shown = kLayerWall;
            bool first = true;
            for (double oy : kOffsets)
                for (double ox : kOffsets) {
                    SampleLayer layer = kLayerWall;
                    const Rgb c = Shade(eye, x + ox, y + oy, layer);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                    if (first) shown = layer;
                    else if (layer != shown) shown = kLayerMixed;
                    first = false;
                }
            const size_t k = static_cast<size_t>(y) * kSampleViewWidth + x;
            pixels[k] = (Channel(sum.r / 4) << 16) | (Channel(sum.g / 4) << 8) | Channel(sum.b / 4);
            if (layers != nullptr) layers[k] = shown;
        }
    }
}
