// Which image slots the stereo routine works in. It prefers the slots users of
// the routine know (1 "Left side", 2 "Right side", 3 "Preview", 4 "buruburuL",
// 5 "buruburuR", 6 "savefile"), but a slot that already holds another window
// is never taken over: that role moves to the first free slot above 6.
#pragma once

enum StereoRole { kRoleLeft, kRoleRight, kRolePreview, kRoleFrameLeft, kRoleFrameRight,
                  kRoleSave, kStereoRoles };

struct StereoSlots {
    bool ok;                   // false when there are not enough free slots
    int slot[kStereoRoles];    // image slot of each role
};

// `isOpen(n)` tells whether image slot n (0-255) is taken. Slot 0 holds the
// pair and is never assigned.
StereoSlots AssignStereoSlots(bool (*isOpen)(int slot, void* context), void* context);
