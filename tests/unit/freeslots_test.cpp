// The free-slot list must hand out exactly the slot a walk from the front
// would find, also across its 64- and 4096-slot word boundaries: the order
// of a list's slots decides the order of its random draws.
#include "sim/freeslots.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

TEST(FreeSlotsTest, HandsOutTheLowestFreeSlotAndGrowsWhenNoneIsFree) {
  FreeSlots slots;
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(slots.Take(), i);
  std::set<int> free;  // what a walk from the front would see
  for (int slot : {4999, 4097, 4096, 4095, 64, 63, 3}) slots.Release(slot), free.insert(slot);
  while (!free.empty()) {
    EXPECT_EQ(slots.Take(), *free.begin());
    free.erase(free.begin());
  }
  EXPECT_EQ(slots.Take(), 5000) << "all taken: a new slot at the end";
  slots.Release(10);
  slots.Release(5000);
  EXPECT_EQ(slots.Take(), 10);
  EXPECT_EQ(slots.Take(), 5000);
  slots.Clear();
  EXPECT_EQ(slots.Take(), 0);
  EXPECT_EQ(slots.Size(), 1);
}

// The walks of the projectile and explosion lists visit exactly the taken
// slots, lowest first, also in a partial last word and while the visit
// releases the slot it is given.
TEST(FreeSlotsTest, VisitsEveryTakenSlotInOrderWhileTheyAreReleased) {
  FreeSlots slots;
  for (int i = 0; i < 4200; ++i) slots.Take();
  std::set<int> taken;
  for (int i = 0; i < 4200; ++i) {
    if (i % 7 == 0 || i == 4199)
      taken.insert(i);
    else
      slots.Release(i);
  }
  std::vector<int> seen;
  slots.ForEachTaken([&](int slot) {
    seen.push_back(slot);
    slots.Release(slot);
  });
  EXPECT_EQ(seen, std::vector<int>(taken.begin(), taken.end()));
  slots.ForEachTaken([](int slot) { ADD_FAILURE() << slot << " was released"; });
  EXPECT_EQ(slots.Take(), 0);
}
