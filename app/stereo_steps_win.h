// The stereo routine's redisplaying steps (the work of one pass of its loop),
// apart from the loop so that the benchmark times the routine's own code.
#pragma once
#include <cstdint>

#include "app/alignment.h"
#include "app/stereo_slots.h"

// The routine's windows: the pair in slot 0 and the roles' slots.
struct StereoWindows {
    StereoSlots slots;
    int width, height, half;  // the pair's size and the width of one view
};

// The guide line at `from` erased and drawn at `to` in the pair, and shown.
void StereoMoveGuide(const StereoWindows& w, int from, int to);
// The anaglyph, or in wiggle mode the two frames, for (a, state's i); the
// preview shown.
void StereoRecompose(const StereoWindows& w, const StereoAlignment& state, int a);
// The next wiggle frame copied into the preview and shown.
void StereoWiggleStep(const StereoWindows& w, StereoAlignment& state);
