// The free-slot list must hand out exactly the slot a walk from the front
// would find, also across its 64- and 4096-slot word boundaries: the order
// of a list's slots decides the order of its random draws.
#include "game/freeslots.h"

#include <gtest/gtest.h>

#include <set>

TEST(FreeSlotsTest, HandsOutTheLowestFreeSlotAndGrowsWhenNoneIsFree) {
  FreeSlots slots;
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(slots.Take(), i);
  std::set<int> free;  // what a walk from the front would see
  for (int slot : {4999, 4097, 4096, 4095, 64, 63, 3})
    slots.Release(slot), free.insert(slot);
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
