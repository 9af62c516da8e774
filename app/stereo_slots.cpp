#include "app/stereo_slots.h"

namespace {

constexpr int kPreferred[kStereoRoles] = {1, 2, 3, 4, 5, 6};
constexpr int kSlots = 256;
constexpr int kFirstSpare = 7;

}  // namespace

StereoSlots AssignStereoSlots(bool (*isOpen)(int slot, void* context), void* context) {
    StereoSlots result = {true, {}};
    int spare = kFirstSpare;
    for (int role = 0; role < kStereoRoles; ++role) {
        int slot = kPreferred[role];
        if (isOpen(slot, context)) {
            while (spare < kSlots && isOpen(spare, context)) ++spare;
            if (spare >= kSlots) return {false, {}};
            slot = spare++;
        }
        result.slot[role] = slot;
    }
    return result;
}
