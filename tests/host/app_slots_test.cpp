// Which slots the stereo routine works in.
#include <gtest/gtest.h>

#include <set>

#include "app/stereo_slots.h"

namespace {

bool IsOpenIn(int slot, void* context) { return static_cast<std::set<int>*>(context)->count(slot) != 0; }

StereoSlots Assign(std::set<int> open) { return AssignStereoSlots(IsOpenIn, &open); }

TEST(StereoSlots, PrefersTheKnownSlots) {
    StereoSlots s = Assign({0});
    ASSERT_TRUE(s.ok);
    const int expected[kStereoRoles] = {1, 2, 3, 4, 5, 6};
    for (int r = 0; r < kStereoRoles; ++r) EXPECT_EQ(s.slot[r], expected[r]) << r;
}

TEST(StereoSlots, NeverTakesAnotherWindowsSlot) {
    // Three dropped files fill 0-2, and the user opened 7 and 9.
    StereoSlots s = Assign({0, 1, 2, 7, 9});
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.slot[kRoleLeft], 8);
    EXPECT_EQ(s.slot[kRoleRight], 10);
    EXPECT_EQ(s.slot[kRolePreview], 3);
    EXPECT_EQ(s.slot[kRoleSave], 6);
    std::set<int> distinct(s.slot, s.slot + kStereoRoles);
    EXPECT_EQ(distinct.size(), static_cast<size_t>(kStereoRoles));
}

TEST(StereoSlots, RefusesWhenTooFewAreFree) {
    std::set<int> open;
    for (int n = 0; n < 256; ++n) open.insert(n);
    for (int n : {1, 2, 3, 4, 5}) open.erase(n);  // one short
    EXPECT_FALSE(Assign(open).ok);
    open.erase(255);
    StereoSlots s = Assign(open);
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.slot[kRoleSave], 255);
}

}  // namespace
