// Frame pacing: a frame only when strictly more than 25 ms have passed, and
// the sleep that gets there without spinning.
#include "app/gameloop.h"

#include <gtest/gtest.h>

namespace {

TEST(GameLoopTest, FrameDueStrictlyAfterTheStep) {
  EXPECT_FALSE(FrameDue(1025, 1000));
  EXPECT_TRUE(FrameDue(1026, 1000));
  EXPECT_FALSE(FrameDue(1000, 1000));
}

TEST(GameLoopTest, SleepLandsOnTheFirstDueMillisecond) {
  EXPECT_EQ(MsUntilFrame(1000, 1000), 26u);
  EXPECT_EQ(MsUntilFrame(1025, 1000), 1u);
  EXPECT_EQ(MsUntilFrame(1026, 1000), 0u);
  EXPECT_TRUE(FrameDue(1000 + MsUntilFrame(1010, 1000) + 10, 1000));
}

TEST(GameLoopTest, TickCounterWrapAround) {
  const uint32_t start = 0xFFFFFFF0u;
  EXPECT_FALSE(FrameDue(start + 20, start));
  EXPECT_TRUE(FrameDue(start + 30, start));  // wrapped past zero
  EXPECT_EQ(MsUntilFrame(start + 10, start), 16u);
}

}  // namespace
