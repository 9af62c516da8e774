// The geometry of the project's sample stereo pair (samples/stereo_pair.jpg),
// shared by the generator that draws it and by tests that align it.
//
// A feature at scene position (u, v) on a layer of disparity d appears in the
// left view at (u + d, v) and in the right view at (u, v + kSampleVerticalShift):
// the right camera sat a little low. Everything is in whole pixels, so the
// background of the two views matches exactly once aligned.
#pragma once

constexpr int kSampleViewWidth = 640;   // each view; the pair is twice as wide
constexpr int kSampleViewHeight = 480;
constexpr int kSamplePairWidth = 2 * kSampleViewWidth;

// Disparities of the scene's layers, far to near.
constexpr int kSampleBackgroundDisparity = 12;  // brick wall
constexpr int kSamplePanelDisparity = 20;       // wooden panel
constexpr int kSampleBoardDisparity = 28;       // checkerboard
constexpr int kSampleBallDisparity = 36;        // ball, nearest

// Rows by which the right view is lower than the left.
constexpr int kSampleVerticalShift = 6;

// The alignment that brings the background into register, in the stereo
// routine's terms: a = left x - right x of a background feature, and i such
// that the left view's row y meets the right view's row y + shift (i < 0 reads
// the right view further down). From the start (0, 0) that is 12 presses of
// the right arrow (each raises a by 1) and 6 of the down arrow (each lowers i
// by 1).
constexpr int kSampleAlignA = kSampleBackgroundDisparity;
constexpr int kSampleAlignI = -kSampleVerticalShift;

// The file Save writes for that alignment.
constexpr int kSampleAlignedSaveWidth = 2 * (kSampleViewWidth - kSampleAlignA);
constexpr int kSampleAlignedSaveHeight = kSampleViewHeight - kSampleVerticalShift;

// Seed of the generator's texture noise; change it and the picture changes.
constexpr unsigned kSampleSeed = 0x5EED2008u;
