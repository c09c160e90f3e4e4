// The lobby's table of announced games: the probe's gate, refresh, removal,
// expiry and the size caps.
#include "lobby/lobbytable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::chrono_literals;

LobbyEntry Game(const std::string& ip, uint16_t port, const std::string& name = "g") {
  LobbyEntry e;
  e.ip = ip;
  e.port = port;
  e.name = name;
  return e;
}

const LobbyClock::time_point t0{};

// Heartbeats that are confirmed at once, as a reachable game's are.
LobbyTable::Result Listed(LobbyTable& table, const LobbyEntry& e, LobbyClock::time_point t) {
  const LobbyTable::Result r = table.Heartbeat(e, t);
  table.Confirm(e.ip, e.port);
  return r;
}

TEST(LobbyTableTest, OnlyConfirmedGamesAreListedInArrivalOrderUntilRemoved) {
  LobbyTable table;
  EXPECT_EQ(table.Heartbeat(Game("1.1.1.1", 9928, "Old"), t0), LobbyTable::Result::Added);
  EXPECT_EQ(table.Heartbeat(Game("1.1.1.2", 9928), t0), LobbyTable::Result::Added);
  EXPECT_EQ(table.Heartbeat(Game("1.1.1.3", 1), t0), LobbyTable::Result::Added);
  EXPECT_EQ(table.Heartbeat(Game("1.1.1.3", 1), t0), LobbyTable::Result::Waiting);
  EXPECT_TRUE(table.Servers(t0).empty());
  EXPECT_FALSE(table.Confirm("1.1.1.1", 9929));  // a pong from a port nobody announced
  EXPECT_TRUE(table.Confirm("1.1.1.2", 9928));
  EXPECT_TRUE(table.Confirm("1.1.1.1", 9928));
  EXPECT_EQ(table.Heartbeat(Game("1.1.1.1", 9928, "New"), t0 + 5s), LobbyTable::Result::Refreshed);
  const auto servers = table.Servers(t0 + 5s);
  ASSERT_EQ(servers.size(), 2u);
  EXPECT_EQ(servers[0].name, "New");  // keeps its place, takes the new name
  EXPECT_EQ(servers[1].ip, "1.1.1.2");
  EXPECT_TRUE(table.Remove("1.1.1.1", 9928));
  EXPECT_FALSE(table.Remove("1.1.1.1", 9928));
  EXPECT_EQ(table.Servers(t0 + 5s).size(), 1u);
}

TEST(LobbyTableTest, HostsThatStopAnnouncingAreForgotten) {
  LobbyTable table(LobbyLimits{256, 4, 120s});
  Listed(table, Game("1.1.1.1", 1), t0);
  Listed(table, Game("1.1.1.2", 1), t0 + 60s);
  EXPECT_EQ(table.Servers(t0 + 120s).size(), 2u);  // exactly at the limit: still live
  const auto later = table.Servers(t0 + 121s);
  ASSERT_EQ(later.size(), 1u);
  EXPECT_EQ(later[0].ip, "1.1.1.2");
  // A refresh keeps a host alive past its first expiry.
  table.Heartbeat(Game("1.1.1.2", 1), t0 + 170s);
  EXPECT_EQ(table.Servers(t0 + 250s).size(), 1u);
  EXPECT_EQ(table.Size(), 1u);
}

TEST(LobbyTableTest, TableAndEachAddressAreCappedAndWaitingRowsApart) {
  LobbyTable table(LobbyLimits{2, 2, 120s, 3, 2});
  EXPECT_EQ(table.Heartbeat(Game("1.1.1.1", 1), t0), LobbyTable::Result::Added);
  EXPECT_EQ(table.Heartbeat(Game("1.1.1.1", 2), t0), LobbyTable::Result::Added);
  EXPECT_EQ(table.Heartbeat(Game("1.1.1.1", 3), t0), LobbyTable::Result::Full);
  EXPECT_EQ(Listed(table, Game("2.2.2.2", 1), t0), LobbyTable::Result::Added);
  // The waiting set is full of young rows: nothing new until one has had
  // its chance to answer, then the oldest makes room.
  EXPECT_EQ(table.Heartbeat(Game("3.3.3.3", 1), t0 + 1s), LobbyTable::Result::Added);
  EXPECT_EQ(table.Heartbeat(Game("4.4.4.4", 1), t0 + 1s), LobbyTable::Result::Full);
  EXPECT_EQ(table.Heartbeat(Game("4.4.4.4", 1), t0 + 3s), LobbyTable::Result::Added);
  EXPECT_FALSE(table.Confirm("1.1.1.1", 1));  // evicted
  EXPECT_EQ(table.Pending(), 3u);
  // Waiting rows take no room from listed ones.
  EXPECT_TRUE(table.Confirm("4.4.4.4", 1));
  EXPECT_EQ(table.Servers(t0 + 3s).size(), 2u);
  EXPECT_EQ(table.Heartbeat(Game("5.5.5.5", 1), t0 + 6s), LobbyTable::Result::Full);
  // A full table still takes refreshes, and makes room as hosts expire.
  EXPECT_EQ(table.Heartbeat(Game("2.2.2.2", 1), t0 + 100s), LobbyTable::Result::Refreshed);
  EXPECT_EQ(table.Heartbeat(Game("5.5.5.5", 1), t0 + 130s), LobbyTable::Result::Added);
  EXPECT_EQ(table.Size(), 2u);
}

TEST(LobbyTableTest, ListedGamesAreProbedAgainAndDroppedWhenTheyStopAnswering) {
  LobbyLimits limits{16, 4, 1000s};
  limits.recheck = 60s;
  LobbyTable table(limits);
  Listed(table, Game("1.1.1.1", 1), t0);
  Listed(table, Game("1.1.1.2", 1), t0);
  EXPECT_TRUE(table.DueProbes(t0).empty());
  EXPECT_EQ(table.DueProbes(t0 + 76s).size(), 2u);  // within 45-75 s
  // One answers every probe, the other never again.
  for (auto t = t0 + 77s; t < t0 + 400s; t += 1s)
    for (const LobbyAddress& due : table.DueProbes(t))
      if (due.ip == "1.1.1.1") table.Confirm(due.ip, due.port);
  const auto servers = table.Servers(t0 + 400s);
  ASSERT_EQ(servers.size(), 1u);
  EXPECT_EQ(servers[0].ip, "1.1.1.1");
}

}  // namespace
