// What the opponent table puts on the wire: damage reports (52), the kill
// report of the local player's death (53) and the roster (54), received by a
// real client handler over loopback and decoded with the catalogue's reads.
#include "sim/enemymanager.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "net/messages.h"
#include "net/networkhandler.h"
#include "net/outbox.h"
#include "render/glwrapper.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr float kMyGuid = 4242;
int g_nextPort = 43000 + getpid() % 8000;

struct Packet {
  char id;
  std::vector<unsigned char> bytes;
};

class TableOnTheWire : public ::testing::Test {
 protected:
  void SetUp() override {
    GameSeed(3);
    port = (unsigned short)g_nextPort++;
    host.InitMe(true);
    ASSERT_TRUE(host.Listen(port, 32));
    guest.InitMe(false);
    ASSERT_TRUE(guest.ConnectMe("127.0.0.1", port));
    const auto end = Clock::now() + std::chrono::seconds(3);
    // Both ends must have seen the connection before the host's sends reach it.
    bool accepted = false, joined = false;
    while (!(accepted && joined) && Clock::now() < end) {
      for (char id; (id = host.ReceivePacket()) != '0'; host.ClearIncomingPacket())
        joined |= id == netid::NewIncomingConnection;
      for (char id; (id = guest.ReceivePacket()) != '0'; guest.ClearIncomingPacket())
        accepted |= id == netid::ConnectionAccepted;
    }
    ASSERT_TRUE(accepted && joined);
    table.InitMe(&utility, EnemyManager::AppendTo(log), nullptr, &posted, nullptr);
  }
  static void Drain(NetworkHandler& n) {
    while (n.ReceivePacket() != '0') n.ClearIncomingPacket();
  }
  // Game messages of one kind the guest receives within `ms`, read by `read`.
  template <class M>
  std::vector<M> Receive(char want, int ms, int* others = nullptr) {
    std::vector<M> out;
    posted.SendTo(host);
    host.Flush();
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
      Drain(host);
      for (char id; (id = guest.ReceivePacket()) != '0'; guest.ClearIncomingPacket()) {
        if (id == want) {
          M m;
          EXPECT_TRUE(msg::Read(guest, m));
          out.push_back(m);
        } else if (others && msg::IsGameMessage(id)) {
          ++*others;
        }
      }
    }
    return out;
  }

  unsigned short port = 0;
  GlWrapper utility;
  NetworkHandler host, guest;
  Outbox posted;  // the table's messages, sent when the guest listens
  std::vector<std::string> log;
  EnemyManager table;
};

TEST_F(TableOnTheWire, OneDamageReportPerRowAndFrameWithBothSums) {
  const int a = table.AddPlayer(128, 128, 0, 11, "Ann", false, 1, 1);
  const int b = table.AddPlayer(128, 128, 0, 22, "Bob", false, 1, 1);
  table.AddPlayer(128, 128, 0, 33, "Cid", false, 1, 1);
  table.DamagePlayer(a, 100, 10);
  table.DamagePlayer(a, 100, 10);
  table.DamagePlayer(b, 50, 0);  // energy damage alone still reports
  table.MainLoop(kMyGuid);
  table.MainLoop(kMyGuid);  // nothing new: nothing sent
  int others = 0;
  const auto got = Receive<msg::DamageReport>(msg::kDamageReport, 400, &others);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(others, 0);
  EXPECT_EQ(got[0].attacker, kMyGuid);
  EXPECT_EQ(got[0].victim, 11);
  EXPECT_EQ(got[0].hullDamage, 20);
  EXPECT_EQ(got[0].energyDamage, 200);
  EXPECT_EQ(got[1].victim, 22);
  EXPECT_EQ(got[1].hullDamage, 0);
  EXPECT_EQ(got[1].energyDamage, 50);
}

TEST_F(TableOnTheWire, ADeathIsReportedOnlyToAHumanKiller) {
  const int human = table.AddPlayer(128, 128, 0, 11, "Ann", false, 1, 1);
  const int bot = table.AddPlayer(128, 128, 0, 22, "Devastator", true, 2, 1);
  table.GetDamaged(10, 10, bot);
  table.PostDeath("Me", kMyGuid, 300);
  EXPECT_EQ(log.size(), 1u) << "a computer player's kill is a text";
  int others = 0;
  EXPECT_TRUE(Receive<msg::KillReport>(msg::kKillReport, 200, &others).empty());
  EXPECT_EQ(others, 0);

  table.GetDamaged(10, 10, human);
  table.PostDeath("Me", kMyGuid, 300);
  EXPECT_EQ(log.size(), 1u) << "no text for a human's kill";
  const auto got = Receive<msg::KillReport>(msg::kKillReport, 400);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].victim, kMyGuid);
  EXPECT_EQ(got[0].killer, 11);
  EXPECT_EQ(got[0].bounty, 300);

  table.RemoveEnemy(human);  // the killer left before the death was reported
  table.PostDeath("Me", kMyGuid, 300);
  EXPECT_EQ(log.size(), 2u);
  EXPECT_TRUE(Receive<msg::KillReport>(msg::kKillReport, 200).empty());
}

}  // namespace
