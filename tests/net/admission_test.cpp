// Who gets a connection to the dedicated host program: connections that
// never join (from many loopback addresses) neither keep a real player out
// nor hold their slots past the join deadline, and one address gets at most
// its share of connections unless the host is told otherwise.
#include <enet/enet.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "protocol/gameprotocol.h"
#include "tests/support/combat_rig.h"
#include "tests/support/hostprocess.h"
#include "tests/support/testenv.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Bare connections from one loopback address that never send a thing.
struct Squatters {
  ENetHost* host = nullptr;
  std::vector<ENetPeer*> peers;

  Squatters(const std::string& from, int count, unsigned short port) {
    enet_initialize();
    ENetAddress local{};
    enet_address_set_host_ip(&local, from.c_str());
    host = enet_host_create(&local, count, 1, 0, 0);
    if (host) enet_host_compress_with_range_coder(host);  // the host's datagrams are coded
    ENetAddress to{};
    enet_address_set_host_ip(&to, "127.0.0.1");
    to.port = port;
    for (int i = 0; host && i < count; ++i) peers.push_back(enet_host_connect(host, &to, 1, 0));
  }
  ~Squatters() {
    if (host) enet_host_destroy(host);
  }
  void Service() {
    ENetEvent event;
    while (host && enet_host_service(host, &event, 0) > 0)
      if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
  }
  int Connected() const {
    int n = 0;
    for (const ENetPeer* p : peers) n += p && p->state == ENET_PEER_STATE_CONNECTED;
    return n;
  }
};

using Crowd = std::vector<std::unique_ptr<Squatters>>;

int Connected(const Crowd& crowd) {
  int n = 0;
  for (const auto& s : crowd) n += s->Connected();
  return n;
}

// A player's copy of the game protocol, client role.
struct Player {
  CombatRig rig;
  GameProtocol protocol;
  bool ready = false;
  int wait = 30000;
  float guid;
  Player(float id, unsigned short port) : guid(id) {
    rig.ship.name = "Real";
    protocol.InitMe(&rig.network, &rig.outbox, &rig.enemies, &rig.ship, &rig.explosions, &ready,
                    &wait, &guid);
    rig.network.InitMe(false);
    rig.network.ConnectMe("127.0.0.1", port);
  }
  void Frame() {
    protocol.UpdateNetwork();
    protocol.Flush();
  }
};

// Services everyone every 5 ms until `done` or the time is up.
template <typename F>
bool Serve(Crowd& crowd, Player* player, std::chrono::milliseconds limit, F done) {
  const auto end = Clock::now() + limit;
  while (Clock::now() < end) {
    for (auto& s : crowd) s->Service();
    if (player) player->Frame();
    if (done()) return true;
    std::this_thread::sleep_for(5ms);
  }
  return done();
}

TEST(Admission, ASlotFloodNeitherKeepsAPlayerOutNorHoldsItsSlots) {
  constexpr unsigned short kPort = 60411;
  testsupport::TempDir dir;
  testsupport::HostProcess host;
  ASSERT_TRUE(host.Start(dir.File("host.txt"), {"--no-master", "--port", std::to_string(kPort)}));
  // 40 connections, four from each of ten addresses, more than the 32 slots.
  Crowd crowd;
  for (int a = 0; a < 10; ++a)
    crowd.push_back(std::make_unique<Squatters>("127.0.3." + std::to_string(10 + a), 4, kPort));
  ASSERT_TRUE(Serve(crowd, nullptr, 3s, [&] { return Connected(crowd) >= 32; })) << host.Output();
  Serve(crowd, nullptr, 300ms, [] { return false; });
  EXPECT_LE(Connected(crowd), 32);

  const auto knocked = Clock::now();
  Player real(2.5f, kPort);
  ASSERT_TRUE(Serve(crowd, &real, 5s, [&] { return real.ready; })) << host.Output();
  std::printf("a real player admitted %lld ms after knocking, beside %d idle connections\n",
              static_cast<long long>((Clock::now() - knocked) / 1ms), Connected(crowd));

  // The idle ones are closed at their deadline; the player stays.
  EXPECT_TRUE(Serve(crowd, &real, 7s, [&] { return Connected(crowd) == 0; }));
  Serve(crowd, &real, 500ms, [] { return false; });
  EXPECT_TRUE(real.rig.network.ClientConnected());
}

TEST(Admission, OneAddressGetsFourConnectionsUnlessTheHostIsToldMore) {
  constexpr unsigned short kPort = 60421;
  testsupport::TempDir dir;
  testsupport::HostProcess strict, party;
  ASSERT_TRUE(
      strict.Start(dir.File("strict.txt"), {"--no-master", "--port", std::to_string(kPort)}));
  ASSERT_TRUE(party.Start(
      dir.File("party.txt"),
      {"--no-master", "--port", std::to_string(kPort + 1), "--connections-per-address", "6"}));
  Crowd crowd;
  crowd.push_back(std::make_unique<Squatters>("127.0.4.1", 6, kPort));
  crowd.push_back(std::make_unique<Squatters>("127.0.4.2", 1, kPort));
  crowd.push_back(std::make_unique<Squatters>("127.0.4.3", 6, kPort + 1));
  ASSERT_TRUE(Serve(crowd, nullptr, 3s,
                    [&] {
                      return crowd[0]->Connected() == 4 && crowd[1]->Connected() == 1 &&
                             crowd[2]->Connected() == 6;
                    }))
      << strict.Output() << party.Output();
  Serve(crowd, nullptr, 1500ms, [] { return false; });  // the surplus stays out
  EXPECT_EQ(crowd[0]->Connected(), 4);
}

TEST(Admission, AFullGameTurnsANewcomerAwayAndItsCopyKnowsWhy) {
  constexpr unsigned short kPort = 60431;
  testsupport::TempDir dir;
  testsupport::HostProcess host;
  ASSERT_TRUE(host.Start(dir.File("host.txt"),
                         {"--no-master", "--port", std::to_string(kPort), "--max-players", "1"}));
  Crowd nobody;
  Player first(2.5f, kPort);
  ASSERT_TRUE(Serve(nobody, &first, 5s, [&] { return first.ready; })) << host.Output();
  Player second(3.5f, kPort);
  int gaveUp = 0;
  second.protocol.giveUp = [&] { ++gaveUp; };
  ASSERT_TRUE(Serve(nobody, &second, 5s, [&] {
    first.Frame();
    return gaveUp > 0;
  })) << host.Output();
  EXPECT_TRUE(second.rig.network.TurnedAway());
  EXPECT_FALSE(second.ready);
  EXPECT_TRUE(first.rig.network.ClientConnected());
  EXPECT_FALSE(first.rig.network.TurnedAway());
}

}  // namespace
