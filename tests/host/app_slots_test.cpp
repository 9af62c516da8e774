// Which slots the stereo routine works in.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "app/stereo_slots.h"

namespace {

bool IsOpenIn(int slot, void* context) {
    return static_cast<std::set<int>*>(context)->count(slot) != 0;
}

StereoSlots Assign(std::set<int> open) { return AssignStereoSlots(IsOpenIn, &open); }

TEST(StereoSlots, KnownSlotsFirstNeverAnotherWindowsAndRefusedWhenTooFewAreFree) {
    std::set<int> all;
    for (int n = 0; n < 256; ++n) all.insert(n);
    std::set<int> oneShort = all, justEnough = all;
    for (int n : {1, 2, 3, 4, 5}) oneShort.erase(n), justEnough.erase(n);
    justEnough.erase(255);
    const struct {
        std::set<int> open;
        std::vector<int> slots;  // left, right, preview, the two frames, save
    } cases[] = {
        {{0}, {1, 2, 3, 4, 5, 6}},
        {{0, 1, 2, 7, 9}, {8, 10, 3, -1, -1, 6}},  // three dropped files and two of the user's
        {oneShort, {}},
        {justEnough, {-1, -1, -1, -1, -1, 255}},
    };
    for (const auto& c : cases) {
        const StereoSlots s = Assign(c.open);
        ASSERT_EQ(s.ok, !c.slots.empty()) << c.open.size();
        if (!s.ok) continue;
        for (int r = 0; r < kStereoRoles; ++r) {
            EXPECT_FALSE(c.open.count(s.slot[r])) << r;
            if (c.slots[static_cast<size_t>(r)] >= 0) {
                EXPECT_EQ(s.slot[r], c.slots[static_cast<size_t>(r)]) << r;
            }
        }
        EXPECT_EQ(std::set<int>(s.slot, s.slot + kStereoRoles).size(),
                  static_cast<size_t>(kStereoRoles));
    }
}

}  // namespace
