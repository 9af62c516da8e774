#include "imgproc/pick_state.h"

PickState QUB_PickStart(bool twoPoints, bool hasBand, int mx, int my) {
    PickState s = {};
    s.twoPoints = twoPoints;
    s.hasBand = hasBand;
    s.phase = PickPhase::kFirst;
    s.bandShown = hasBand && !twoPoints;
    s.x1 = s.x2 = mx;
    s.y1 = s.y2 = my;
    return s;
}

namespace {

// Takes the band out of the picture (if it is there) and ends the tool.
PickStep End(PickState* s, PickPhase phase) {
    const PickStep step = {s->bandShown, false, PickPrompt::kNone};
    s->bandShown = false;
    s->phase = phase;
    return step;
}

// Moves the band: erased where it was, drawn at the new second point.
PickStep Follow(PickState* s, int x, int y) {
    const PickStep step = {s->bandShown, s->hasBand, PickPrompt::kNone};
    if (!s->twoPoints) {
        s->x1 = x;
        s->y1 = y;
    }
    s->x2 = x;
    s->y2 = y;
    s->bandShown = s->hasBand;
    return step;
}

}  // namespace

PickStep QUB_PickApply(PickState* s, PickEvent event, int x, int y) {
    const PickStep nothing = {false, false, PickPrompt::kNone};
    if (QUB_PickEnded(*s)) return nothing;
    const bool second = s->phase == PickPhase::kSecond;
    switch (event) {
        case PickEvent::kStop: return End(s, PickPhase::kStopped);
        case PickEvent::kMove:
            // Before the first click a two-point tool has no band to move.
            if (s->twoPoints && !second) return nothing;
            return Follow(s, x, y);
        case PickEvent::kClick:
            if (s->twoPoints && !second) {
                // The band starts as a single pixel (a one-pixel box, a
                // circle of radius 0) on the first point.
                s->x1 = s->x2 = x;
                s->y1 = s->y2 = y;
                s->phase = PickPhase::kSecond;
                s->bandShown = s->hasBand;
                return {false, s->hasBand, PickPrompt::kSecond};
            }
            {
                PickStep step = Follow(s, x, y);
                step.drawAfter = false;
                s->bandShown = false;
                s->phase = PickPhase::kDone;
                return step;
            }
        case PickEvent::kCancel:
            if (!second) return End(s, PickPhase::kCancelled);
            // After the first point a cancel only starts the tool over.
            {
                PickStep step = End(s, PickPhase::kFirst);
                step.prompt = PickPrompt::kFirst;
                return step;
            }
    }
    return nothing;
}
