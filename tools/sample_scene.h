// The sample stereo pair's scene: a brick wall with a wooden panel, a
// checkerboard and a ball in front of it at increasing nearness, rendered for
// either eye with the geometry of sample_pair_params.h. Deterministic: the
// textures come from a hash of the position and a fixed seed.
#pragma once
#include <cstdint>

enum class SampleEye { Left, Right };

// Layer numbers, far to near, as written to `layers`; kLayerMixed marks an
// edge pixel that shows more than one layer.
enum SampleLayer : uint8_t { kLayerWall = 0, kLayerPanel, kLayerBoard, kLayerBall, kLayerMixed = 255 };

// Renders one view, kSampleViewWidth x kSampleViewHeight pixels 0x00RRGGBB
// (stride = width). If `layers` is not null it receives, per pixel, the layer
// the pixel shows.
void RenderSampleView(SampleEye eye, uint32_t* pixels, uint8_t* layers);
