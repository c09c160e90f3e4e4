// The master-server heartbeat count-down of the window thread's tick.
#include "app/heartbeat.h"

#include <gtest/gtest.h>

#include "platform/globals.h"

namespace {

class HeartbeatTest : public ::testing::Test {
 protected:
  void SetUp() override { timetilheartbeat = 1; }
};

TEST_F(HeartbeatTest, FirstTickWhileHostingSendsThenEvery1750) {
  EXPECT_TRUE(HeartbeatTick(true, 0));
  int sent = 0, ticks = 0;
  while (sent == 0 && ticks < 5000) {
    ++ticks;
    if (HeartbeatTick(true, 2)) ++sent;
  }
  EXPECT_EQ(ticks, kHeartbeatTicks);
}

TEST_F(HeartbeatTest, NothingCountsWhileNotHosting) {
  for (int i = 0; i < 3000; ++i) ASSERT_FALSE(HeartbeatTick(false, 0));
  EXPECT_EQ(timetilheartbeat, 1);
  EXPECT_TRUE(HeartbeatTick(true, 0));
}

TEST_F(HeartbeatTest, GamesAgainstComputerPlayersAreNeverAnnounced) {
  for (int i = 0; i < 4000; ++i) ASSERT_FALSE(HeartbeatTick(true, 1));
}

TEST_F(HeartbeatTest, TickUsesTheInstalledHooks) {
  static int sends = 0;
  static bool hosting = false;
  sends = 0;
  SetHeartbeatHooks([] { return hosting; }, [] { ++sends; });
  Game = 0;
  OnHeartbeatTick();
  EXPECT_EQ(sends, 0);
  hosting = true;
  OnHeartbeatTick();
  EXPECT_EQ(sends, 1);
  SetHeartbeatHooks(nullptr, nullptr);
  timetilheartbeat = 1;
  OnHeartbeatTick();
  EXPECT_EQ(sends, 1);
}

}  // namespace
