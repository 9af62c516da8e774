// The steps of a pick tool, apart from the windows: what a move, a click, a
// right or middle press or a stop does to the points and the rubber band.
//
// The window side draws the band with XOR, so it only needs to know, for each
// event, whether to erase the band at the points as they were before and
// whether to draw it at the points as they are after.
#pragma once

enum class PickPhase {
    kFirst,      // waiting for the (first) click
    kSecond,     // two-point tools: first point taken, band follows the mouse
    kDone,       // points taken
    kCancelled,  // right or middle press before the first point
    kStopped,    // a stop request ended the wait
};

enum class PickEvent { kMove, kClick, kCancel, kStop };

enum class PickPrompt { kNone, kFirst, kSecond };  // prompt to show after the step

struct PickState {
    bool twoPoints;   // line, rectangle, circle
    bool hasBand;     // every tool but the plain point
    PickPhase phase;
    bool bandShown;   // the band is in the picture now
    // One-point tools keep the mouse (the band's place) and the click in both
    // points; two-point tools keep the first point in (x1, y1).
    int x1, y1, x2, y2;
};

struct PickStep {
    bool eraseBefore;  // erase the band at the points from before the step
    bool drawAfter;    // draw it at the points after the step
    PickPrompt prompt;
};

// A tool at its start: one-point tools with a band show it at once at the last
// recorded mouse position (mx, my); two-point tools show nothing before the
// first click.
PickState QUB_PickStart(bool twoPoints, bool hasBand, int mx, int my);

// Applies one event at (x, y) (unused for kCancel and kStop). Events after the
// tool has ended change nothing. A stop erases the band like a cancel does.
PickStep QUB_PickApply(PickState* s, PickEvent event, int x, int y);

inline bool QUB_PickEnded(const PickState& s) {
    return s.phase != PickPhase::kFirst && s.phase != PickPhase::kSecond;
}
