// The dedicated host program on loopback with real copies of the game
// protocol as its clients: admission without a row for the host, relays, a
// kill booked and paid by the killer's copy, the event lines, a client's
// leave, and SIGTERM ending the match with status 0. Then two hosts on one
// address announced to a real lobby: both listed with their ports, both
// joinable, and a stopped one withdrawn.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "net/messages.h"
#include "protocol/chatbudget.h"
#include "protocol/gameprotocol.h"
#include "tests/support/combat_rig.h"
#include "tests/support/gameprocess.h"
#include "tests/support/hostprocess.h"
#include "tests/support/lobbyrig.h"
#include "tests/support/stagedhit.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A player's copy: its combat objects and its protocol, client role.
struct Client {
  CombatRig rig;
  GameProtocol protocol;
  bool ready = false;
  int wait = 30000;
  float guid;
  int hostLeft = 0;

  Client(float id, const std::string& name, int port) : guid(id) {
    rig.ship.name = name;
    protocol.InitMe(&rig.network, &rig.outbox, &rig.enemies, &rig.ship, &rig.explosions, &ready,
                    &wait, &guid);
    protocol.hostLeft = [this](const std::string&) { ++hostLeft; };
    rig.network.InitMe(false);
    rig.network.ConnectMe("127.0.0.1", port);
  }
  void Frame() {
    protocol.UpdateNetwork();
    protocol.Flush();
  }
  EnemyManager::player* Of(float id) {
    const int row = rig.enemies.playernumbyguid(id);
    return row < 0 ? nullptr : &rig.enemies.players[row];
  }
  template <class M>
  void Say(const M& m) {
    msg::Send(rig.network, m, Delivery::Reliable);
    rig.network.Flush();
  }
};

// Frames of every client every 5 ms until `done` (or `limit` passes).
template <typename F>
bool Frames(std::initializer_list<Client*> clients, F done, std::chrono::milliseconds limit = 3s) {
  const auto end = Clock::now() + limit;
  while (Clock::now() < end) {
    for (Client* c : clients) c->Frame();
    if (done()) return true;
    std::this_thread::sleep_for(5ms);
  }
  return done();
}

TEST(DedicatedHostTest, HostsAMatchWithoutBeingInItAndEndsItOnSigterm) {
  testsupport::TempDir dir;
  testsupport::HostProcess host;
  const auto started = Clock::now();
  ASSERT_TRUE(host.Start(dir.File("host.txt"), {"--no-master", "--port", "60391"}));
  Client alice(2.5f, "Alice", 60391);
  ASSERT_TRUE(Frames({&alice}, [&] { return alice.ready; })) << host.Output();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
  std::printf("start-up to the first admission: %lld ms\n", static_cast<long long>(ms.count()));
  Client bob(3.5f, "Bob", 60391);
  ASSERT_TRUE(Frames({&alice, &bob}, [&] { return bob.ready && alice.Of(3.5f); }));

  // Each sees the other and nobody else: the host has no row anywhere.
  EXPECT_EQ(alice.rig.enemies.players.size(), 1u);
  ASSERT_EQ(bob.rig.enemies.players.size(), 1u);
  EXPECT_EQ(bob.rig.enemies.players[0].name, "Alice");
  EXPECT_TRUE(host.WaitForOutput(" join: Bob (127.0.0.1)\n", 1s)) << host.Output();

  msg::FullState state;
  state.guid = 2.5f, state.x = 700, state.y = 800, state.alive = true, state.width = 96;
  state.height = 96, state.maxSpeed = 20;
  alice.Say(state);
  ASSERT_TRUE(Frames({&alice, &bob}, [&] { return bob.Of(2.5f)->width == 96; }));
  EXPECT_FLOAT_EQ(bob.Of(2.5f)->x, 700);

  // A late joiner learns Alice's speed limit with its admission, not at her
  // next full state (its prediction of her thrust would be wrong until then).
  Client carol(6.5f, "Carol", 60391);
  ASSERT_TRUE(Frames({&alice, &bob, &carol}, [&] { return carol.ready && carol.Of(2.5f); }));
  EXPECT_TRUE(Frames(
      {&alice, &bob, &carol}, [&] { return carol.Of(2.5f)->maxSpeed == 20; }, 1s));
  carol.rig.network.QuitClient();
  ASSERT_TRUE(Frames({&alice, &bob}, [&] { return !bob.Of(6.5f) && !alice.Of(6.5f); }));

  // A third connection may neither take Alice's identity nor speak for her.
  Client mallory(2.5f, "Mallory", 60391);
  Frames(
      {&alice, &bob, &mallory}, [&] { return false; }, 300ms);
  mallory.Say(msg::Join{"Mallory", 4.5f});
  state.x = 5;
  mallory.Say(state);
  mallory.Say(msg::Join{"Other", 5.5f});
  ASSERT_TRUE(Frames({&alice, &bob, &mallory}, [&] { return bob.Of(4.5f) != nullptr; }));
  EXPECT_FLOAT_EQ(bob.Of(2.5f)->x, 700) << "a state for Alice from another connection is dropped";
  EXPECT_EQ(bob.rig.enemies.players.size(), 2u);
  EXPECT_EQ(bob.Of(4.5f)->name, "Mallory") << "the connection stays bound to its first identity";
  mallory.rig.network.QuitClient();
  ASSERT_TRUE(Frames({&alice, &bob}, [&] { return !bob.Of(4.5f); }));

  // Alice's laser hits Bob, whose copy reports her as its killer: Alice's
  // copy books and pays it, at the bounty the host reckons Bob has (his
  // first life's 100, not the 200 he claims).
  const int credits = alice.rig.ship.credits;
  const testsupport::StagedHit hit = testsupport::Hit(2.5f, 3.5f, 700, 800, 12, 400);
  alice.Say(hit.fired);
  alice.Say(hit.ended);
  alice.Say(hit.damage);
  ASSERT_TRUE(Frames({&alice, &bob}, [&] { return bob.rig.enemies.myHullDamage > 0; }));
  bob.Say(msg::KillReport{3.5f, 2.5f, 200});
  bob.Say(msg::Chat{"Bob>nice shot"});
  ASSERT_TRUE(Frames({&alice, &bob}, [&] { return alice.rig.ship.credits > credits; }));
  EXPECT_EQ(alice.rig.ship.bounty, 44) << "100 x 0.45 is just below 45 in single precision";
  EXPECT_TRUE(host.WaitForOutput(" kill: Alice killed Bob\n", 1s)) << host.Output();
  EXPECT_TRUE(host.WaitForOutput(" chat: Bob>nice shot\n", 1s)) << host.Output();

  // A flood from one player: its burst is relayed, the rest refused, and only
  // the flooder is told.
  for (int i = 0; i < 30; ++i) bob.Say(msg::Chat{"Bob>flood"});
  auto count = [](const Client& c, const std::string& line) {
    return std::count(c.rig.messages.begin(), c.rig.messages.end(), line);
  };
  ASSERT_TRUE(Frames({&alice, &bob}, [&] { return count(bob, ChatBudget::kRefusal) == 1; }));
  Frames(
      {&alice, &bob}, [&] { return false; }, 300ms);
  EXPECT_GE(count(alice, "Bob>flood"), 14);
  EXPECT_LE(count(alice, "Bob>flood"), 16);
  EXPECT_EQ(count(alice, ChatBudget::kRefusal), 0);

  bob.rig.network.QuitClient();
  ASSERT_TRUE(Frames({&alice}, [&] { return !alice.Of(3.5f); }));
  EXPECT_TRUE(host.WaitForOutput(" leave: Bob\n", 1s)) << host.Output();

  host.Signal(SIGTERM);
  EXPECT_TRUE(Frames({&alice}, [&] { return alice.hostLeft == 1; }));
  EXPECT_EQ(host.WaitForExit(3s), 0) << host.Output();
  EXPECT_TRUE(alice.rig.enemies.players.empty());
}

TEST(DedicatedHostTest, TwoHostsOnOneAddressAreListedAndJoinedByTheirPorts) {
  testsupport::LobbyRig lobby;
  ASSERT_TRUE(lobby.Start());
  const std::string master = lobby.Master();

  testsupport::TempDir dir;
  testsupport::HostProcess first, second;
  ASSERT_TRUE(first.Start(dir.File("1.txt"), {"--port", "60392", "--name", "First", "--master",
                                              master, "--max-players", "8"}));
  ASSERT_TRUE(second.Start(dir.File("2.txt"), {"--port", "60393", "--name", "Second", "--master",
                                               master, "--bots", "1"}));
  masterServerQuery query;
  query.setMasterserver(master, NetworkHandler::kMasterPath);
  std::vector<masterServerQuery::tServerQueryItem> list;
  ASSERT_TRUE(
      testsupport::WaitFor([&] { return (list = query.requestServers()).size() == 2; }, 5s));
  if (list[0].port != 60392) std::swap(list[0], list[1]);
  EXPECT_EQ(list[0].name, "First");
  EXPECT_EQ(list[0].maxplayers, 8);
  EXPECT_EQ(list[1].port, 60393);
  EXPECT_EQ(list[1].name, "Second");
  EXPECT_EQ(list[0].players, 0);  // counts as the hosts told them
  EXPECT_EQ(list[1].players, 1);
  EXPECT_EQ(list[1].bots, 1);

  Client one(2.5f, "One", list[0].port), two(3.5f, "Two", list[1].port);
  ASSERT_TRUE(Frames({&one, &two}, [&] { return one.ready && two.ready; }));
  EXPECT_TRUE(one.rig.enemies.players.empty()) << "the games are apart";
  EXPECT_TRUE(first.WaitForOutput(" join: One ", 1s));
  EXPECT_TRUE(second.WaitForOutput(" join: Two ", 1s));

  second.Signal(SIGINT);
  EXPECT_EQ(second.WaitForExit(3s), 0);
  list = query.requestServers();
  ASSERT_EQ(list.size(), 1u) << "a stopped host is withdrawn at once";
  EXPECT_EQ(list[0].port, 60392);
}

// The computer players --bots asks for are in every client's match.
TEST(DedicatedHostTest, RunsTheComputerPlayersItIsAskedFor) {
  testsupport::TempDir dir;
  testsupport::HostProcess host;
  ASSERT_TRUE(host.Start(dir.File("host.txt"), {"--no-master", "--port", "60394", "--bots", "2"}));
  Client alice(2.5f, "Alice", 60394);
  ASSERT_TRUE(Frames({&alice}, [&] {
    return alice.ready && alice.rig.enemies.players.size() == 2;
  })) << host.Output();
  EXPECT_TRUE(host.WaitForOutput(" join: Devastator (computer player)\n", 1s)) << host.Output();
}

}  // namespace
