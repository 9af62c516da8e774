// Where the main window starts and comes to rest: a bar at the bottom centre
// of the screen that drops 55 pixels into place. Platform-free.
#pragma once

constexpr int kMainWidth = 240;
constexpr int kMainExtraHeight = 58;  // menu bar and status line below the caption
constexpr int kMainDropDistance = 55; // sum of the drop-in animation's steps

struct MainWindowPlace {
    int x, y;           // where the window is created
    int width, height;
};

// The window rests with its bottom edge at cyFullScreen + cyCaption, which is
// the bottom of the work area on Windows. Some platforms report a full-screen
// height larger than the screen; the window is then lifted so that it still
// rests inside the work area (whose bottom is workBottom) instead of hanging
// off the screen.
MainWindowPlace QUB_MainWindowPlace(int cxFullScreen, int cyFullScreen, int cyCaption,
                                    int workBottom);
