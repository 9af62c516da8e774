// Where a new library window goes on the screen. Platform-free.
//
// A caller gives a position or asks for the system's default for x, for y, or
// for both. The system can only choose both coordinates together, so a window
// with one coordinate given is created at the default place and then moved to
// the given coordinate, keeping the system's choice for the other. Whatever
// was asked, the window ends where its caption can be seen and grabbed.
#pragma once
#include "core/snap.h"

// The part of a window, in pixels, that stays on the screen on each side it
// could otherwise leave: enough caption to grab and drag it back.
constexpr int kMinVisiblePixels = 32;

struct WindowPlace {
    int x, y;  // the window's outer top-left corner
};

// `created` is the window's outer rectangle as the system made it; x and y are
// the asked coordinates, used unless marked default. `screen` is the area the
// window must stay on: the top edge of the window never lies above its top,
// and at least kMinVisiblePixels (or the whole window when it is smaller) of
// its width and of its height lie inside it.
WindowPlace QUB_PlaceWindow(int x, int y, bool xDefault, bool yDefault, const SnapRect& created,
                            const SnapRect& screen);
