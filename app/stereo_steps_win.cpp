#include "app/stereo_steps_win.h"

#include <windows.h>

#include <cstring>

#include "app/compose.h"
#include "core/library_state.h"
#include "image/image_window.h"
#include "imgproc/image_drawing.h"

namespace {

constexpr int kPairSlot = 0;

uint32_t* Bits(const StereoWindows& w, StereoRole role) {
    return qubState.imageBits32[w.slots.slot[role]];
}

}  // namespace

// Only the columns the line left and entered change: redisplaying the whole
// pair would stretch all of its pixels again for two columns.
void StereoMoveGuide(const StereoWindows& w, int from, int to) {
    QUB_SelectImage(kPairSlot);
    QUB_XorLine(from, 0, from, w.height);
    QUB_XorLine(to, 0, to, w.height);
    QUB_DisplayImageRect(kPairSlot, from, 0, 1, w.height);
    QUB_DisplayImageRect(kPairSlot, to, 0, 1, w.height);
}

void StereoRecompose(const StereoWindows& w, const StereoAlignment& state, int a) {
    const int i = state.verticalOffset;
    if (state.wiggleMode)
        MakeWiggleFrames(w.half, w.height, Bits(w, kRoleLeft), Bits(w, kRoleRight),
                         Bits(w, kRoleFrameLeft), Bits(w, kRoleFrameRight), a, i);
    else
        MakeAnaglyph(w.half, w.height, Bits(w, kRoleLeft), Bits(w, kRoleRight),
                     Bits(w, kRolePreview), a, i);
    QUB_DisplayImage(w.slots.slot[kRolePreview]);
}

void StereoWiggleStep(const StereoWindows& w, StereoAlignment& state) {
    const StereoRole source = NextWiggleFrame(state) == 1 ? kRoleFrameLeft : kRoleFrameRight;
    std::memcpy(Bits(w, kRolePreview), Bits(w, source),
                static_cast<size_t>(w.half) * static_cast<size_t>(w.height) * 4);
    QUB_DisplayImage(w.slots.slot[kRolePreview]);
}
