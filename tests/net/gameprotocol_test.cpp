// The game protocol between real copies on loopback: a host and clients,
// each with its own handler, opponent table, ship and explosions, exchanging
// through their protocol's per-frame update exactly as the in-game frame
// does. Joins and rosters, relays with latency correction, projectiles,
// damage and kills, leaves, and hostile input.
#include "protocol/gameprotocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/drawall.h"
#include "dedicated/dedicatedhost.h"
#include "net/messages.h"
#include "platform/globals.h"
#include "tests/support/combat_rig.h"
#include "tests/support/lossyrelay.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr unsigned short kPort = 60371;

// One copy of the game: its combat objects and its protocol.
struct Peer {
  CombatRig rig;
  GameProtocol protocol;
  bool ready = false;
  int wait = 30000;
  float guid;
  int hostLeftCalls = 0, giveUpCalls = 0;
  std::string lastNotice;
  // In play: every frame runs the whole simulation step, not only the
  // protocol. The damage handed to the ship is summed for the checks.
  bool playing = false;
  float energyTaken = 0, hullTaken = 0;

  Peer(float id, const std::string& name) : guid(id) {
    rig.ship.name = name;
    rig.ship.guid = id;
    protocol.InitMe(&rig.network, &rig.outbox, &rig.enemies, &rig.ship, &rig.explosions, &ready,
                    &wait, &guid);
    protocol.hostLeft = [this](const std::string& notice) {
      ++hostLeftCalls;
      lastNotice = notice;
    };
    protocol.giveUp = [this] { ++giveUpCalls; };
    protocol.latencyMs = [] { return 0; };  // loopback: no correction unless a test sets one
  }
  NetworkHandler& net() { return rig.network; }
  EnemyManager& table() { return rig.enemies; }
  void Frame() {
    if (playing) return Play();
    protocol.UpdateNetwork();
    protocol.Flush();
  }
  // The in-game frame's order: last frame's kills announced, opponent table,
  // protocol, own projectiles, ship.
  void Play() {
    std::vector<int> killed;
    rig.enemies.GetKills(killed);
    for (int victim : killed) {
      const std::string line = KillText(1, rig.ship.name, rig.enemies.GetName(victim));
      rig.messages.push_back(line);
      protocol.SendMessageA(line);
    }
    rig.enemies.MainLoop(guid);
    protocol.UpdateNetwork();
    rig.bullets.UpdateMe(rig.ship.x, rig.ship.y, rig.ship.hp, rig.ship.energy, rig.ship.team, guid);
    rig.bullets.PostProjectiles(guid);
    protocol.UpdateBots();
    float e = 0, h = 0;
    rig.enemies.MyDamage(e, h);
    energyTaken += e, hullTaken += h;
    rig.ship.UpdateMe(rig.keys, rig.outVx, rig.outVy, rig.ship.width, rig.ship.height,
                      rig.ship.shipTexture);
    rig.ship.PostState();
    protocol.Flush();
  }
  // In play at (x, y), facing along +x, announced to everyone.
  void Enter(float x, float y) {
    playing = true;
    rig.Spawn(x, y);
    rig.ship.angle = 0;
    rig.ship.sendFullStats = true;
  }
  int Row(float id) { return rig.enemies.playernumbyguid(id); }
  EnemyManager::player* Of(float id) {
    const int row = Row(id);
    return row < 0 ? nullptr : &rig.enemies.players[row];
  }
  bool Logged(const std::string& line) const {
    return std::find(rig.messages.begin(), rig.messages.end(), line) != rig.messages.end();
  }
  // Sends a message of the catalogue as the game's senders do.
  template <class M>
  void Say(const M& m, bool reliable = true) {
    msg::Send(rig.network, m, reliable ? Delivery::Reliable : Delivery::Unreliable);
    rig.network.Flush();
  }
};

class GameProtocolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host = std::make_unique<Peer>(1.5f, "Host");
    host->net().InitMe(true);
    ASSERT_TRUE(host->net().Listen(kPort, NetworkHandler::kMaxPlayers));
    host->ready = true;  // a host is admitted when it starts hosting
  }

  std::unique_ptr<Peer> Client(float id, const std::string& name) {
    auto c = std::make_unique<Peer>(id, name);
    c->net().InitMe(false);
    EXPECT_TRUE(c->net().ConnectMe("127.0.0.1", kPort));
    return c;
  }

  std::vector<Peer*> All() {
    std::vector<Peer*> all;
    if (host) all.push_back(host.get());
    for (auto& c : clients) all.push_back(c.get());
    return all;
  }

  // Runs frames of every copy until `done` holds (or three seconds pass).
  template <typename F>
  bool Frames(F done) {
    const auto end = Clock::now() + std::chrono::seconds(3);
    while (Clock::now() < end) {
      if (dedicated) dedicated->Frame();
      for (Peer* p : All()) p->Frame();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
  }

  Peer& Join(float id, const std::string& name) {
    clients.push_back(Client(id, name));
    Peer& c = *clients.back();
    EXPECT_TRUE(Frames([&] { return c.ready && (!host || host->Row(id) >= 0); }))
        << name << " not admitted";
    return c;
  }

  // A chat line from `from` seen by every other copy: what `from` sent
  // reliably before it has been handled everywhere.
  void Sync(Peer& from) {
    const std::string line = "sync " + std::to_string(++syncs);
    from.protocol.SendMessageA(line);
    from.net().Flush();
    ASSERT_TRUE(Frames([&] {
      for (Peer* p : All())
        if (p != &from && !p->Logged(line)) return false;
      return true;
    })) << line;
  }

  std::unique_ptr<Peer> host;
  // A dedicated host in the hosting copy's place (host is then null).
  NetworkHandler dedicatedNet;
  std::unique_ptr<DedicatedHost> dedicated;
  std::vector<std::unique_ptr<Peer>> clients;
  int syncs = 0;
};

template <class M = msg::ProjectileNew>
M Shot(float owner, float guid, float x, float y) {
  M m;
  m.owner = owner, m.texture = 7, m.x = x, m.y = y, m.width = 16, m.height = 32;
  m.direction = 0, m.style = 2, m.lifeLeft = 60, m.speed = 10, m.behaviour = 3;
  m.guid = guid;
  return m;
}

TEST_F(GameProtocolTest, JoinsBuildTheSameMatchEverywhereAndLeavesUndoIt) {
  Peer& a = Join(2.5f, "Alice");
  ASSERT_EQ(a.table().players.size(), 1u) << "the roster lists the host only";
  EXPECT_EQ(a.table().players[0].name, "Host");
  EXPECT_EQ(a.table().players[0].width, 128);
  EXPECT_TRUE(host->Logged("Alice has joined the game."));
  ASSERT_EQ(host->table().players.size(), 1u) << "a client asking every frame is added once";
  EXPECT_EQ(host->table().players[0].width, 128);

  Peer& b = Join(3.5f, "Bob");
  Sync(b);
  ASSERT_EQ(b.table().players.size(), 2u);
  EXPECT_EQ(b.table().players[0].name, "Alice");
  EXPECT_EQ(b.table().players[1].name, "Host") << "the host comes last in the roster";
  EXPECT_EQ(b.Row(b.guid), -1) << "nobody sees a copy of himself";
  EXPECT_TRUE(a.Logged("Bob has joined the game."));
  EXPECT_NE(a.Row(3.5f), -1);
  EXPECT_EQ(a.table().players.size(), 2u);
  EXPECT_EQ(host->table().players.size(), 2u);

  // Bob leaves claiming to be the host: the host passes it on as a player's
  // leave, so Alice goes on playing.
  b.Say(msg::Leave{3.5f, true});
  ASSERT_TRUE(Frames([&] { return a.Row(3.5f) == -1 && host->Row(3.5f) == -1; }));
  EXPECT_TRUE(host->Logged("Bob has left the game."));
  EXPECT_TRUE(a.Logged("Bob has left the game."));
  EXPECT_EQ(a.hostLeftCalls, 0);

  host->Say(msg::Leave{1.5f, true});
  ASSERT_TRUE(Frames([&] { return a.hostLeftCalls == 1; }));
  EXPECT_TRUE(a.Logged("Host has left the game."));
  EXPECT_EQ(a.Row(1.5f), -1);
}

// A copy that quits closes its connection right after its leave, which the
// library may then drop undelivered: the close alone is enough.
TEST_F(GameProtocolTest, ClosingTheConnectionLeavesTheMatch) {
  Peer& a = Join(2.5f, "Alice");
  Peer& b = Join(3.5f, "Bob");
  b.net().QuitClient();
  ASSERT_TRUE(Frames([&] { return a.Row(3.5f) == -1 && host->Row(3.5f) == -1; }));
  EXPECT_TRUE(host->Logged("Bob has left the game."));
  EXPECT_TRUE(a.Logged("Bob has left the game."));
  EXPECT_EQ(a.hostLeftCalls, 0);

  host->net().InitMe(true);  // the host's handler closes every connection
  ASSERT_TRUE(Frames([&] { return a.hostLeftCalls == 1; }));
  EXPECT_TRUE(a.Logged("Host has left the game."));
  EXPECT_TRUE(a.table().players.empty());
}

TEST_F(GameProtocolTest, StatesAreAdvancedByEachHopsLatencyAndKeepWhatTheShortFormLacks) {
  Peer& a = Join(2.5f, "Alice");
  Peer& b = Join(3.5f, "Bob");
  host->protocol.latencyMs = [] { return 50; };  // 100 ms round trip: 2 frames
  b.protocol.latencyMs = [] { return 24; };      // 49 ms round trip: none

  msg::FullState full;
  full.guid = 2.5f, full.x = 100, full.y = 200, full.alive = true, full.upHeld = true;
  full.frozenFrames = 7, full.bounty = 40, full.width = 96, full.height = 80;
  full.shipTexture = 12, full.vx = 1, full.maxSpeed = 20;
  a.Say(full);
  ASSERT_TRUE(Frames([&] { return b.Of(2.5f) && b.Of(2.5f)->width == 96; }));
  // Thrust along angle 0 for two frames: vx 1 -> 1.5 -> 2, x 100 -> 101.5 -> 103.5.
  for (Peer* p : {host.get(), &b}) {
    const EnemyManager::player& row = *p->Of(2.5f);
    EXPECT_FLOAT_EQ(row.x, 103.5f);
    EXPECT_FLOAT_EQ(row.vx, 2.0f);
    EXPECT_FLOAT_EQ(row.y, 200);
    EXPECT_EQ(row.frozenFrames, 7);
    EXPECT_EQ(row.maxSpeed, 20);
    EXPECT_EQ(row.texture, 12);
    EXPECT_EQ(row.height, 80);
  }

  // The short form: no keys, drifting 3 per frame; the freeze and the speed
  // limit of the full state stay.
  b.protocol.latencyMs = [] { return 50; };  // now the second hop corrects too
  msg::ShortState brief;
  brief.guid = 2.5f, brief.x = 500, brief.y = 600, brief.bounty = 41, brief.vx = 3;
  a.Say(brief, false);
  ASSERT_TRUE(Frames([&] { return b.Of(2.5f)->bounty == 41; }));
  EXPECT_FLOAT_EQ(host->Of(2.5f)->x, 506);
  EXPECT_FLOAT_EQ(b.Of(2.5f)->x, 512);
  EXPECT_EQ(b.Of(2.5f)->frozenFrames, 7);
  EXPECT_EQ(b.Of(2.5f)->maxSpeed, 20);

  // A peer that delays its pongs for a minute buys at most 40 frames.
  host->protocol.latencyMs = [] { return 60000; };
  brief.bounty = 42;
  a.Say(brief, false);
  ASSERT_TRUE(Frames([&] { return host->Of(2.5f)->bounty == 42; }));
  EXPECT_FLOAT_EQ(host->Of(2.5f)->x, 500 + 3 * GameProtocol::kMaxCorrectionFrames);
}

TEST_F(GameProtocolTest, ProjectilesLiveInTheOwnersRowOnEveryOtherCopy) {
  Peer& a = Join(2.5f, "Alice");
  Peer& b = Join(3.5f, "Bob");
  auto shots = [](Peer& p, float owner) -> std::vector<EnemyManager::bullet>& {
    return p.Of(owner)->bullets;
  };

  a.Say(Shot(2.5f, 11, 300, 400));  // fired with cost: reliable
  ASSERT_TRUE(Frames([&] { return shots(b, 2.5f).size() == 1; }));
  for (Peer* p : {host.get(), &b}) {
    const EnemyManager::bullet& s = shots(*p, 2.5f)[0];
    EXPECT_EQ(s.id, 11);
    EXPECT_EQ(s.x, 300) << "a new shot starts where it was fired";
    EXPECT_EQ(s.texture, 7);
    EXPECT_EQ(s.drawKind, 2);
    EXPECT_EQ(s.startLife, 60);
    EXPECT_EQ(s.behaviour, 3);
  }

  // Its short update is advanced by the stored speed: 10 a frame along x.
  host->protocol.latencyMs = [] { return 50; };
  msg::ProjectileShort moved;
  moved.owner = 2.5f, moved.x = 350, moved.y = 400, moved.lifeLeft = 55, moved.guid = 11;
  a.Say(moved);
  ASSERT_TRUE(Frames([&] { return shots(b, 2.5f)[0].life == 55; }));
  EXPECT_FLOAT_EQ(shots(*host, 2.5f)[0].x, 370);
  EXPECT_FLOAT_EQ(shots(b, 2.5f)[0].x, 370);

  // The full state of a projectile not seen yet creates it.
  a.Say(Shot<msg::ProjectileFull>(2.5f, 12, 0, 0));
  ASSERT_TRUE(Frames([&] { return shots(b, 2.5f).size() == 2; }));
  EXPECT_FLOAT_EQ(shots(*host, 2.5f)[1].x, 20);
  EXPECT_FLOAT_EQ(shots(b, 2.5f)[1].x, 20);
  // Its new message, overtaken on the way, makes no ghost beside it.
  a.Say(Shot(2.5f, 12, 0, 0), false);
  Sync(a);
  EXPECT_EQ(shots(*host, 2.5f).size(), 2u);
  EXPECT_EQ(shots(b, 2.5f).size(), 2u);

  a.Say(msg::ProjectileRemove{2.5f, 11});
  ASSERT_TRUE(Frames([&] { return shots(b, 2.5f).size() == 1; }));
  EXPECT_EQ(shots(*host, 2.5f).size(), 1u);
  EXPECT_EQ(shots(b, 2.5f)[0].id, 12);

  // Shots claimed for someone else, or for nobody in the match, go nowhere.
  a.Say(Shot(3.5f, 13, 0, 0));
  a.Say(Shot(99.5f, 14, 0, 0));
  Sync(a);
  EXPECT_TRUE(host->Of(3.5f)->bullets.empty());
  EXPECT_EQ(shots(b, 2.5f).size(), 1u);
  EXPECT_TRUE(a.Of(3.5f)->bullets.empty());
}

TEST_F(GameProtocolTest, DamageFreezesAndKillsReachOnlyTheirVictimAndPayTheKiller) {
  Peer& a = Join(2.5f, "Alice");
  Peer& b = Join(3.5f, "Bob");

  a.Say(msg::DamageReport{2.5f, 1.5f, 5, 50});
  a.Say(msg::DamageReport{2.5f, 3.5f, 7, 70});
  a.Say(msg::DamageReport{2.5f, 3.5f, -1000, -1000});  // a report never heals
  a.Say(msg::Freeze{1.5f, 50});
  a.Say(msg::Freeze{3.5f, 1000000000});
  Sync(a);
  EXPECT_EQ(host->table().myHullDamage, 5);
  EXPECT_EQ(host->table().myEnergyDamage, 50);
  EXPECT_EQ(host->table().lastAttacker, host->Row(2.5f));
  EXPECT_EQ(host->table().GetFrozenFrames(), 50);
  EXPECT_EQ(b.table().myHullDamage, 7);
  EXPECT_EQ(b.table().myEnergyDamage, 70);
  EXPECT_EQ(b.table().lastAttacker, b.Row(2.5f));
  EXPECT_EQ(b.table().GetFrozenFrames(), GameProtocol::kMaxFreezeFrames);
  EXPECT_EQ(a.table().myHullDamage, 0) << "nothing comes back to the attacker";

  // Alice dies to the host (own bounty 100, hers 200), then to Bob.
  host->rig.ship.bounty = 100;
  const int hostCredits = host->rig.ship.credits, bobCredits = b.rig.ship.credits;
  a.Say(msg::KillReport{2.5f, 1.5f, 200});
  a.Say(msg::KillReport{2.5f, 3.5f, 0});
  // Bob cannot die in Alice's name.
  b.Say(msg::KillReport{2.5f, 1.5f, 1000});
  Sync(a);
  Sync(b);
  EXPECT_EQ(host->rig.ship.credits - hostCredits, 53);
  EXPECT_EQ(host->rig.ship.bounty, 189) << "200 x 0.45 is just below 90 in single precision";
  EXPECT_EQ(host->table().kills, 1);
  EXPECT_EQ(host->table().killed, std::vector<int>{host->Row(2.5f)});
  EXPECT_EQ(b.rig.ship.credits, bobCredits) << "bounties of 0 pay nothing";
  EXPECT_EQ(b.table().kills, 1);
  // Every copy's scoreboard counts both deaths and each killer's win, the
  // host's kill included.
  EXPECT_EQ(host->table().players[host->Row(2.5f)].losses, 2);
  EXPECT_EQ(host->table().players[host->Row(3.5f)].wins, 1);
  EXPECT_EQ(b.table().players[b.Row(2.5f)].losses, 2);
  EXPECT_EQ(b.table().players[b.Row(1.5f)].wins, 1);

  // Bounties beyond reason are bounded and sums never wrap.
  host->rig.ship.bounty = INT_MAX - 5;
  a.Say(msg::KillReport{2.5f, 1.5f, INT_MAX});
  Sync(a);
  EXPECT_EQ(host->rig.ship.bounty, INT_MAX);
  EXPECT_GT(host->rig.ship.credits, hostCredits + 53);
}

// Two ships in play 300 units apart: a laser from the host crosses the
// match through the real projectile, opponent-table and ship paths.
TEST_F(GameProtocolTest, AShotAcrossCopiesDamagesKillsPaysAndTheVictimComesBack) {
  Peer& a = Join(2.5f, "Alice");
  host->Enter(1000, 1000);
  a.Enter(1300, 1000);
  ASSERT_TRUE(Frames([&] { return host->Of(2.5f)->x == 1300 && a.Of(1.5f)->x == 1000; }))
      << "each copy sees the other ship where it is";

  host->rig.keys[90] = true;  // Z: the laser of slot 0
  bool seen = false;
  ASSERT_TRUE(Frames([&] {
    seen = seen || !a.Of(1.5f)->bullets.empty();
    return a.energyTaken > 0;
  })) << "the hit reaches the victim";
  host->rig.keys[90] = false;
  EXPECT_TRUE(seen) << "the shot flies in the shooter's row on the victim's copy";
  EXPECT_EQ(a.table().lastAttacker, a.Row(1.5f));
  EXPECT_GE(a.energyTaken, 400);
  EXPECT_LE(a.energyTaken, 500);
  EXPECT_EQ(a.rig.ship.energy, 1500 - static_cast<int>(a.energyTaken));
  EXPECT_EQ(a.rig.ship.hp, 100 - static_cast<int>(0.1f * a.hullTaken)) << "shielded: a tenth";
  EXPECT_EQ(host->energyTaken, 0) << "the shooter takes nothing";
  EXPECT_TRUE(Frames([&] { return host->rig.ActiveBullets() == 0 && a.Of(1.5f)->bullets.empty(); }))
      << "a shot that hit is gone on both copies";

  // Unshielded and nearly dead, with a price on her head.
  a.rig.ship.energy = 0;
  a.rig.ship.recharge = 0;
  a.rig.ship.hp = 1;
  a.rig.ship.bounty = 200;
  host->rig.ship.bounty = 100;
  const int credits = host->rig.ship.credits;
  host->rig.keys[90] = true;
  const std::string line = KillText(1, "Host", "Alice");
  ASSERT_TRUE(Frames([&] { return !a.rig.ship.alive && a.Logged(line); }));
  host->rig.keys[90] = false;
  EXPECT_EQ(a.rig.ship.deaths, 1);
  EXPECT_TRUE(host->Logged(line));
  EXPECT_EQ(host->rig.ship.kills, 1);
  EXPECT_EQ(host->rig.ship.credits - credits, 53);
  EXPECT_EQ(host->rig.ship.bounty, 189);
  ASSERT_TRUE(Frames([&] { return host->Of(2.5f)->x == -30000; })) << "seen dead";

  a.rig.ship.respawnRequested = true;
  ASSERT_TRUE(Frames([&] { return a.rig.ship.alive && host->Of(2.5f)->x != -30000; }));
  Sync(a);
  EXPECT_NEAR(host->Of(2.5f)->x, a.rig.ship.x, 1) << "seen alive again where she is";
  EXPECT_NEAR(host->Of(2.5f)->y, a.rig.ship.y, 1);
  EXPECT_EQ(host->Of(2.5f)->bounty, a.rig.ship.bounty);

  // Between two clients everything passes through the host: Bob finishes her.
  Peer& b = Join(3.5f, "Bob");
  b.Enter(a.rig.ship.x - 300, a.rig.ship.y);
  ASSERT_TRUE(Frames([&] { return a.Of(3.5f)->x == b.rig.ship.x; }));
  a.rig.ship.energy = 0;
  a.rig.ship.hp = 1;
  b.rig.keys[90] = true;
  const std::string bobs = KillText(1, "Bob", "Alice");
  ASSERT_TRUE(Frames([&] { return a.rig.ship.deaths == 2 && host->Logged(bobs); }));
  b.rig.keys[90] = false;
  EXPECT_EQ(a.table().lastAttacker, a.Row(3.5f));
  EXPECT_EQ(b.rig.ship.kills, 1);
  EXPECT_EQ(host->rig.ship.kills, 1) << "the host was not the killer this time";
  EXPECT_EQ(b.rig.ship.credits, 50 + 25) << "her fresh bounty of 100, his own 0";
  EXPECT_EQ(b.rig.ship.bounty, 44);

  // And the host falls to a client: its report goes straight to Bob.
  host->Enter(b.rig.ship.x + 300, b.rig.ship.y);
  ASSERT_TRUE(Frames([&] { return b.Of(1.5f)->x == host->rig.ship.x; }));
  host->rig.ship.energy = 0;
  host->rig.ship.hp = 1;
  b.rig.keys[90] = true;
  ASSERT_TRUE(Frames([&] { return b.rig.ship.kills == 2; }));
  b.rig.keys[90] = false;
  EXPECT_EQ(host->rig.ship.deaths, 1);
  EXPECT_EQ(host->table().lastAttacker, host->Row(3.5f));
  EXPECT_EQ(a.rig.ship.kills, 0);
}

TEST_F(GameProtocolTest, ChatAndExplosionsAreSharedWithinBounds) {
  Peer& a = Join(2.5f, "Alice");
  Peer& b = Join(3.5f, "Bob");
  a.protocol.SendMessageA("Alice>hello");
  msg::Explosion blast{10, 20, 64, 64, 2, 1000000};
  a.Say(blast, false);
  ASSERT_TRUE(Frames([&] { return b.Logged("Alice>hello") && !b.rig.explosions.list.empty(); }));
  EXPECT_TRUE(host->Logged("Alice>hello"));
  for (Peer* p : {host.get(), &b}) {
    ASSERT_EQ(p->rig.explosions.list.size(), 1u);
    EXPECT_EQ(p->rig.explosions.list[0].loopSlot, 2);
    EXPECT_EQ(p->rig.explosions.list[0].frames, GameProtocol::kMaxExplosionFrames);
  }
  EXPECT_FALSE(a.Logged("Alice>hello")) << "the sender's own line is not echoed";

  // A flood: the sender's burst gets through, each line only so long, the
  // rest is refused and the sender alone is told; the budget refills.
  const std::string longLine(GameProtocol::kMaxChatLength + 50, 'x');
  for (int i = 0; i < 80; ++i) host->Frame();  // the budget spent on "hello" refills
  for (int i = 0; i < 40; ++i) a.protocol.SendMessageA(longLine);
  a.net().Flush();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  host->Frame();
  auto lines = [](const Peer& p) {
    return std::count_if(p.rig.messages.begin(), p.rig.messages.end(),
                         [](const std::string& s) { return s[0] == 'x'; });
  };
  EXPECT_EQ(lines(*host), GameProtocol::kChatBurst);
  EXPECT_EQ(host->rig.messages.back().size(), GameProtocol::kMaxChatLength);
  const std::string refusal = "Too many messages: your last lines were not sent.";
  ASSERT_TRUE(Frames([&] { return a.Logged(refusal) && lines(b) == lines(*host); }));
  EXPECT_FALSE(b.Logged(refusal));
  for (int i = 0; i < 40; ++i) host->Frame();  // one second
  a.protocol.SendMessageA("Alice>again");
  ASSERT_TRUE(Frames([&] { return b.Logged("Alice>again"); }));
}

// Bytes of every kind from a joined client and from a connection that never
// joined: nothing crashes, nothing unsound lands in a table, and the match
// goes on.
TEST_F(GameProtocolTest, HostileAndBrokenMessagesAreDroppedWithoutHarm) {
  Peer& a = Join(2.5f, "Alice");
  Peer& b = Join(3.5f, "Bob");
  std::mt19937 random(7);
  for (char id = 48; id <= 64; ++id) {
    for (int n = 0; n < 40; ++n) {
      a.net().WriteChar(id);
      const int bits = static_cast<int>(random() % 600);
      for (int k = 0; k < bits; ++k) a.net().WriteBool(random() & 1);
      a.net().Send(Delivery::Reliable);
    }
  }
  // Every valid message of Alice's cut short at every length.
  msg::FullState full;
  full.guid = 2.5f;
  BitStream whole;
  msg::Write(whole, full);
  for (size_t bytes = 1; bytes < whole.GetNumberOfBytesUsed(); ++bytes) {
    for (size_t k = 0; k < bytes; ++k) a.net().WriteChar(static_cast<char>(whole.GetData()[k]));
    a.net().Send(Delivery::Reliable);
  }
  // Numbers that are not numbers.
  full.x = std::numeric_limits<float>::quiet_NaN();
  a.Say(full);
  full.x = 0;
  full.vx = std::numeric_limits<float>::max();
  full.upHeld = true;
  host->protocol.latencyMs = [] { return 1000; };  // overflow to infinity on the way
  a.Say(full);
  Sync(a);
  host->protocol.latencyMs = [] { return 0; };

  // A connection that never joined speaks for Alice and the host, and asks
  // to join as them.
  NetworkHandler stranger;
  stranger.InitMe(false);
  ASSERT_TRUE(stranger.ConnectMe("127.0.0.1", kPort));
  ASSERT_TRUE(Frames([&] {
    stranger.ReceivePacket();
    return stranger.ClientConnected();
  }));
  auto say = [&](const auto& m) { msg::Send(stranger, m, Delivery::Reliable); };
  msg::FullState forged;
  forged.guid = 2.5f, forged.x = -777;
  say(forged);
  say(msg::Leave{2.5f, false});
  say(msg::Leave{1.5f, true});
  say(msg::Join{"Fake Alice", 2.5f});
  say(msg::Join{"Fake Host", 1.5f});
  say(msg::Chat{"spam"});
  stranger.Flush();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  // One connection is one player: the second of two identities is refused.
  a.Say(msg::Join{"Alice's twin", 4.5f});
  Sync(a);

  for (Peer* p : {host.get(), &b}) {
    ASSERT_NE(p->Of(2.5f), nullptr);
    EXPECT_TRUE(std::isfinite(p->Of(2.5f)->x));
    EXPECT_NE(p->Of(2.5f)->x, -777);
    EXPECT_EQ(p->table().players.size(), 2u);
    EXPECT_FALSE(p->Logged("spam"));
    EXPECT_EQ(p->hostLeftCalls, 0);
  }
  EXPECT_EQ(host->Row(4.5f), -1);
  EXPECT_LE(host->table().players.size(), static_cast<size_t>(EnemyManager::kMaxPlayers));

  // The match goes on.
  full = msg::FullState{};
  full.guid = 2.5f, full.x = 42, full.width = 128, full.height = 128;
  a.Say(full);
  ASSERT_TRUE(Frames([&] { return b.Of(2.5f)->x == 42 && host->Of(2.5f)->x == 42; }));
}

TEST_F(GameProtocolTest, AFullTableStillAdmitsButAddsNobody) {
  for (int i = 0; i < EnemyManager::kMaxPlayers; ++i)
    host->table().AddPlayer(64, 64, 0, 1000.0f + i, "Seat", false, 1, 1);
  clients.push_back(Client(2.5f, "Alice"));
  Peer& a = *clients.back();
  ASSERT_TRUE(Frames([&] { return a.ready; }));
  Sync(*host);
  EXPECT_EQ(host->Row(2.5f), -1);
  EXPECT_FALSE(host->Logged("Alice has joined the game."));
  // The roster names 63 seats and the host: Alice's table is full too.
  EXPECT_EQ(a.table().players.size(), static_cast<size_t>(EnemyManager::kMaxPlayers));
  EXPECT_NE(a.Row(1.5f), -1);
}

// A bare host that answers by hand: the client's side of the handshake.
class JoinWaitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server.InitMe(true);
    ASSERT_TRUE(server.Listen(kPort, NetworkHandler::kMaxPlayers));
  }
  // Runs client frames and the bare host's receive loop; counts joins.
  void Frames(Peer& c, int frames) {
    for (int i = 0; i < frames; ++i) {
      c.Frame();
      std::this_thread::sleep_for(std::chrono::milliseconds(3));
      for (char id; (id = server.ReceivePacket()) != '0'; server.ClearIncomingPacket())
        if (id == msg::kJoin) ++joins;
    }
  }
  void Roster(const msg::Roster& r) {
    msg::Send(server, r, Delivery::Reliable);
    server.Flush();
  }
  NetworkHandler server;
  int joins = 0;
};

TEST_F(JoinWaitTest, AWaitingClientAsksEveryFrameAndTakesTheRostersOfItsFrame) {
  Peer c(2.5f, "Alice");
  c.net().InitMe(false);
  ASSERT_TRUE(c.net().ConnectMe("127.0.0.1", kPort));
  for (int i = 0; i < 300 && !c.net().ClientConnected(); ++i) Frames(c, 1);
  ASSERT_TRUE(c.net().ClientConnected());
  joins = 0;
  c.wait = 2;
  Frames(c, 60);
  EXPECT_FALSE(c.ready);
  EXPECT_GT(joins, 20) << "one join a frame while connected";
  EXPECT_TRUE(c.Logged("Connection issues...")) << "connected at the end of the wait";
  EXPECT_EQ(c.giveUpCalls, 0) << "a connected client keeps waiting";

  // Two rosters and a newcomer's join in one frame: nobody twice, never
  // ourselves, and the join after the admitting roster is not lost.
  msg::Roster r;
  r.entries = {{"Bob", 3.5f}, {"Alice", 2.5f}, {"Host", 1.5f}};
  Roster(r);
  Roster(r);
  msg::Send(server, msg::Join{"Carol", 4.5f}, Delivery::Reliable);
  msg::Send(server, msg::Chat{"after"}, Delivery::Reliable);
  server.Flush();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  c.Frame();
  EXPECT_TRUE(c.ready);
  ASSERT_EQ(c.table().players.size(), 3u);
  EXPECT_EQ(c.table().players[0].name, "Bob");
  EXPECT_EQ(c.table().players[1].name, "Host");
  EXPECT_EQ(c.table().players[2].name, "Carol");
  EXPECT_TRUE(c.Logged("after"));

  // Admitted: later rosters change nothing, and garbage from the host
  // harms nothing.
  r.entries = {{"Dave", 5.5f}, {"Host", 1.5f}};
  Roster(r);
  std::mt19937 random(11);
  for (char id = 48; id <= 64; ++id) {
    for (int n = 0; n < 30; ++n) {
      server.WriteChar(id);
      const int bits = static_cast<int>(random() % 600);
      for (int k = 0; k < bits; ++k) server.WriteBool(random() & 1);
      server.Send(Delivery::Reliable);
    }
  }
  msg::Send(server, msg::Chat{"still here"}, Delivery::Reliable);
  server.Flush();
  ASSERT_TRUE([&] {
    for (int i = 0; i < 300 && !c.Logged("still here"); ++i) Frames(c, 1);
    return c.Logged("still here");
  }());
  EXPECT_EQ(c.Row(5.5f), -1);
  EXPECT_LE(c.table().players.size(), static_cast<size_t>(EnemyManager::kMaxPlayers));
  for (const EnemyManager::player& p : c.table().players) {
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    EXPECT_LE(p.name.size(), GameProtocol::kMaxNameLength);
  }
}

TEST(JoinWait, AClientNeverConnectedGivesUpOnceWhenTheWaitRunsOut) {
  Peer c(2.5f, "Alice");  // nobody listens on the port
  c.net().InitMe(false);
  ASSERT_TRUE(c.net().ConnectMe("127.0.0.1", kPort));
  c.wait = 5;
  for (int i = 0; i < 4; ++i) c.Frame();
  EXPECT_EQ(c.giveUpCalls, 0);
  c.Frame();
  EXPECT_EQ(c.giveUpCalls, 1);
  EXPECT_FALSE(c.Logged("Connection issues..."));
  c.Frame();
  EXPECT_EQ(c.giveUpCalls, 1) << "the verdict is given once";
}

// A host and eight clients over a link that loses 7 % of the datagrams both
// ways and delays them 20 +- 5 ms, for a minute of play: every chat line,
// kill line, join and leave reaches every other copy exactly once, and once
// the ships stop, every copy sees every ship where it is.
TEST(LossyMatch, NothingReliableIsLostAndPositionsAgree) {
  using namespace std::chrono_literals;
  constexpr unsigned short kRelayPort = kPort + 1;
  constexpr int kClients = 8;
  constexpr int kPlayFrames = 60 * 40;
  Peer host(1.5f, "Host");
  host.net().InitMe(true);
  host.net().connectionsPerAddress = kClients;  // all come through the relay's one address
  ASSERT_TRUE(host.net().Listen(kPort, NetworkHandler::kMaxPlayers));
  host.ready = true;
  testsupport::LossyRelay relay(kRelayPort, kPort, {0.07, 20, 5, 20261207});
  ASSERT_TRUE(relay.Running());
  std::vector<std::unique_ptr<Peer>> clients;
  std::vector<Peer*> all{&host};
  auto frames = [&](int n) {
    for (int i = 0; i < n; ++i) {
      for (Peer* p : all) p->Frame();
      std::this_thread::sleep_for(25ms);
    }
  };
  // One at a time, each admitted before the next connects.
  for (int k = 0; k < kClients; ++k) {
    clients.push_back(std::make_unique<Peer>(10.0f + k, "P" + std::to_string(k)));
    Peer& c = *clients.back();
    c.net().InitMe(false);
    ASSERT_TRUE(c.net().ConnectMe("127.0.0.1", kRelayPort));
    all.push_back(&c);
    for (int i = 0; i < 600 && !c.ready; ++i) frames(1);
    ASSERT_TRUE(c.ready) << c.rig.ship.name << " was not admitted";
  }
  for (size_t i = 0; i < all.size(); ++i) {
    all[i]->Enter(2000.0f + 1500.0f * i, 3000.0f + 700.0f * (i % 3));
    all[i]->rig.keys[vk::Up] = true;
    all[i]->rig.keys[i % 2 ? vk::Left : vk::Right] = true;
  }

  // Chat lines every half second, in turn; kills in rings of growing reach.
  std::vector<std::pair<Peer*, std::string>> lines;
  int kills = 0;
  for (int f = 0; f < kPlayFrames; ++f) {
    if (f % 20 == 0) {
      Peer& from = *clients[(f / 20) % kClients];
      const std::string line = from.rig.ship.name + ">line " + std::to_string(f);
      from.protocol.SendMessageA(line);
      lines.push_back({&from, line});
    }
    if (f % 60 == 30 && kills < 3 * kClients) {
      Peer& victim = *clients[kills % kClients];
      Peer& killer = *clients[(kills % kClients + 1 + kills / kClients) % kClients];
      victim.Say(msg::KillReport{victim.guid, killer.guid, 100});
      lines.push_back({&killer, KillText(1, killer.rig.ship.name, victim.rig.ship.name)});
      ++kills;
    }
    frames(1);
  }
  for (Peer* p : all) {
    p->rig.keys[vk::Up] = p->rig.keys[vk::Left] = p->rig.keys[vk::Right] = false;
    p->rig.ship.vx = p->rig.ship.vy = 0;
    p->rig.ship.sendFullStats = true;
  }
  frames(80);

  int sent = 0, delivered = 0, lost = 0, duplicated = 0;
  for (const auto& [from, line] : lines) {
    for (Peer* p : all) {
      if (p == from) continue;
      ++sent;
      const auto n = std::count(p->rig.messages.begin(), p->rig.messages.end(), line);
      n == 0 ? ++lost : ++delivered;
      duplicated += n > 1;
    }
  }
  std::printf(
      "lossy match: %d line deliveries sent, %d delivered, %d lost, %d twice; "
      "relay forwarded %llu and dropped %llu datagrams\n",
      sent, delivered, lost, duplicated, static_cast<unsigned long long>(relay.Totals().forwarded),
      static_cast<unsigned long long>(relay.Totals().dropped));
  EXPECT_EQ(lost, 0);
  EXPECT_EQ(duplicated, 0);
  for (Peer* p : all) {
    for (Peer* o : all) {
      if (o == p) continue;
      const EnemyManager::player* row = p->Of(o->guid);
      ASSERT_NE(row, nullptr) << o->rig.ship.name << " missing on " << p->rig.ship.name;
      EXPECT_NEAR(row->x, o->rig.ship.x, 1.0f) << o->rig.ship.name << " on " << p->rig.ship.name;
      EXPECT_NEAR(row->y, o->rig.ship.y, 1.0f) << o->rig.ship.name << " on " << p->rig.ship.name;
    }
  }
  for (int k = 0; k < kClients; ++k) {
    const std::string joined = clients[k]->rig.ship.name + " has joined the game.";
    for (Peer* p : all) {
      const bool before = p == &host || (p != clients[k].get() && p->guid < clients[k]->guid);
      EXPECT_EQ(std::count(p->rig.messages.begin(), p->rig.messages.end(), joined), before ? 1 : 0)
          << joined << " on " << p->rig.ship.name;
    }
  }

  // The last two leave as the quit confirmation makes them.
  for (int k : {kClients - 1, kClients - 2}) clients[k]->protocol.SendLeave();
  frames(40);
  for (int k : {kClients - 1, kClients - 2}) {
    clients[k]->net().Close();
    all.pop_back();
  }
  frames(40);
  for (Peer* p : all) {
    for (int k : {kClients - 1, kClients - 2}) {
      const std::string left = clients[k]->rig.ship.name + " has left the game.";
      EXPECT_EQ(std::count(p->rig.messages.begin(), p->rig.messages.end(), left), 1)
          << left << " on " << p->rig.ship.name;
      EXPECT_EQ(p->Row(clients[k]->guid), -1);
    }
  }
}

// ---- Computer players of a hosting copy ----

class ComputerPlayersTest : public GameProtocolTest {
 protected:
  struct Vec {
    float x, y;
  };
  // The host keeps `count` computer players among at most `room` others, in
  // the arena with its walls.
  void Bots(int count, int room = NetworkHandler::kMaxPlayers) {
    host->rig.world.BuildDefaultMap();
    host->protocol.SetBots(count, room, &host->rig.world, &host->rig.utility);
    host->Enter(600, 600);
    host->Frame();
  }
  std::vector<float> BotGuids() {
    std::vector<float> guids;
    for (int k = 0; k < host->protocol.BotCount(); ++k)
      guids.push_back(host->protocol.BotPlayer(k).guid);
    return guids;
  }
  // A free spot of the arena for a ship of 256 units.
  Vec Open(float x, float y) {
    World& arena = host ? host->rig.world : dedicatedArena;
    while (arena.CollisionObjects(x - 200, y - 200, 400, 400)) x += 250;
    return {x, y};
  }
  World dedicatedArena;  // the arena when a dedicated host runs them

  // Bob (guid 3.5, bounty 100) shoots down `prey` (bounty 200): he is paid
  // 53 credits for it, as for a player.
  void ExpectBobPaidFor(Peer& bob, AiPlayer& prey) {
    prey.bounty = 200;
    bob.rig.ship.bounty = 100;
    const int credits = bob.rig.ship.credits;
    bob.Say(msg::DamageReport{3.5f, prey.guid, 100000, 100000});
    ASSERT_TRUE(Frames([&] { return bob.rig.ship.credits > credits; }));
    EXPECT_EQ(bob.rig.ship.credits - credits, 53);
  }
};

bool IsKillLine(const std::string& line, const std::string& killer, const std::string& victim) {
  for (int phrase = 1; phrase <= kKillPhrases; ++phrase)
    if (line == KillText(phrase, killer, victim)) return true;
  return false;
}

TEST_F(ComputerPlayersTest, TheyArePlayersEverywhereKillAndArePaidAndPayTheirKiller) {
  Bots(3);
  ASSERT_EQ(host->protocol.BotCount(), 3);
  Peer& a = Join(2.5f, "Alice");
  Peer& b = Join(3.5f, "Bob");
  a.Enter(15000, 15000);
  b.Enter(16000, 15000);
  Sync(b);
  const std::vector<float> bots = BotGuids();
  for (Peer* p : {&a, &b}) {
    ASSERT_EQ(p->table().players.size(), 5u) << "3 computer players, the host and the other client";
    for (float g : bots) {
      ASSERT_NE(p->Of(g), nullptr);
      EXPECT_EQ(p->Of(g)->name, host->Of(g)->name);
      EXPECT_GT(p->Of(g)->maxSpeed, 0) << "a late joiner knows their speed limit";
    }
  }
  std::vector<std::string> names;
  for (float g : bots) names.push_back(host->Of(g)->name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::unique(names.begin(), names.end()), names.end()) << "no two share a name";

  // They fly, and every copy sees them where the host has them.
  std::vector<float> startX;
  for (float g : bots) startX.push_back(host->Of(g)->x);
  for (int f = 0; f < 200; ++f) Frames([] { return true; });
  Sync(host.operator*());
  for (size_t k = 0; k < bots.size(); ++k) {
    const AiPlayer& ai = host->protocol.BotPlayer(static_cast<int>(k));
    for (Peer* p : {&a, &b}) {
      EXPECT_NEAR(p->Of(bots[k])->x, ai.x, 160) << "bot " << k << " on " << p->rig.ship.name;
      EXPECT_NEAR(p->Of(bots[k])->y, ai.y, 160) << "bot " << k << " on " << p->rig.ship.name;
    }
  }

  // Alice, unshielded with one hull point, sits before a computer player
  // while the host's invulnerable ship stays in its firing range.
  AiPlayer& hunter = host->protocol.BotPlayer(0);
  const Vec spot = Open(6000, 6000);
  hunter.x = spot.x, hunter.y = spot.y, hunter.vx = hunter.vy = 0;
  hunter.SetUpWeapons(15, 1, 12, 0);  // gauss rifles, laser, lightning: all fire close by
  a.rig.Spawn(spot.x + 200, spot.y);
  a.rig.ship.energy = a.rig.ship.recharge = 0;
  a.rig.ship.hp = 1;
  a.rig.ship.bounty = 300;
  a.rig.ship.sendFullStats = true;
  // Another computer player roaming by may get to Alice first: the kill is
  // checked for whichever of them made it.
  std::vector<int> bountyBefore, winsBefore;
  for (float g : bots) {
    bountyBefore.push_back(host->protocol.BotPlayer(static_cast<int>(bountyBefore.size())).bounty);
    winsBefore.push_back(host->Of(g)->wins);
  }
  ASSERT_TRUE(Frames([&] {
    host->rig.Spawn(hunter.x, hunter.y + 330);  // within close range of the hunter
    host->rig.ship.hp = 1000000;
    return !a.rig.ship.alive;
  })) << "Alice survived the computer player";
  // The host announces its computer player's kill when it books Alice's
  // report; its own line sent after that reaches every copy behind it.
  size_t killer = bots.size();
  const auto shown = [&](const std::string& l) {
    return killer < bots.size() && IsKillLine(l, host->Of(bots[killer])->name, "Alice");
  };
  ASSERT_TRUE(Frames([&] {
    for (killer = 0; killer < bots.size(); ++killer)
      if (std::any_of(host->rig.messages.begin(), host->rig.messages.end(), shown)) return true;
    return false;
  })) << "no computer player's kill of Alice announced";
  Sync(*host);
  const float killerGuid = bots[killer];
  for (Peer* p : {host.get(), &a, &b}) {
    EXPECT_EQ(std::count_if(p->rig.messages.begin(), p->rig.messages.end(), shown), 1)
        << "kill lines on " << p->rig.ship.name;
    EXPECT_EQ(p->Of(killerGuid)->wins, host->Of(killerGuid)->wins) << p->rig.ship.name;
  }
  EXPECT_GT(host->Of(killerGuid)->wins, winsBefore[killer]);
  EXPECT_EQ(b.Of(2.5f)->losses, 1);
  EXPECT_EQ(host->protocol.BotPlayer(static_cast<int>(killer)).bounty, bountyBefore[killer] + 134)
      << "by 0.45 of the victim's, as a player's";

  // Bob's shot kills the second computer player: Bob is paid for it.
  AiPlayer& prey = host->protocol.BotPlayer(1);
  // It may already have fallen in the hunter's crossfire: Bob's kill adds one.
  const int lossesBefore = host->Of(prey.guid)->losses;
  ExpectBobPaidFor(b, prey);
  EXPECT_EQ(b.rig.ship.kills, 1);
  const std::string line = KillText(1, "Bob", host->Of(prey.guid)->name);
  EXPECT_TRUE(Frames([&] { return host->Logged(line) && a.Logged(line); }));
  EXPECT_EQ(host->Of(prey.guid)->losses, lossesBefore + 1);
  // A new ship's bounty: 100, plus what the new ship may have earned while
  // the kill line travelled (it fights on); its old 200 is gone.
  EXPECT_GE(prey.bounty, 100);
  EXPECT_LT(prey.bounty, 200);
}

TEST_F(ComputerPlayersTest, AJoiningHumanTakesTheSeatOfOneAndTheyComeBackWhenHumansLeave) {
  Bots(3, 4);
  Peer& a = Join(2.5f, "Alice");
  EXPECT_EQ(host->protocol.BotCount(), 3) << "four others fit";
  const std::vector<float> before = BotGuids();
  Peer& b = Join(3.5f, "Bob");
  Sync(b);
  ASSERT_EQ(host->protocol.BotCount(), 2);
  const float gone = before.back();
  EXPECT_EQ(a.Row(gone), -1);
  EXPECT_EQ(b.Row(gone), -1);
  EXPECT_EQ(a.table().players.size(), 4u);
  EXPECT_EQ(b.table().players.size(), 4u);
  int leaves = 0;
  for (const std::string& line : a.rig.messages)
    leaves += line.find("has left the game.") != std::string::npos;
  EXPECT_EQ(leaves, 1);

  // A human named like a computer player takes its name too.
  const std::string botName = host->Of(before[0])->name;
  b.net().QuitClient();
  ASSERT_TRUE(Frames([&] { return host->protocol.BotCount() == 3; }));
  clients.erase(clients.begin() + 1);
  Peer& c = Join(4.5f, botName);
  Sync(c);
  EXPECT_EQ(host->protocol.BotCount(), 2);
  EXPECT_EQ(host->Row(before[0]), -1);
  for (Peer* p : {host.get(), &a, &c}) {
    int named = 0;
    for (const EnemyManager::player& row : p->table().players) named += row.name == botName;
    EXPECT_EQ(named, p == &c ? 0 : 1) << p->rig.ship.name;
  }
}

// Eight computer players and two clients flying and firing on a script for
// 20,000 frames, as fast as the copies run.
TEST_F(ComputerPlayersTest, ASeededSoakKeepsEveryShipFiniteOutOfWallsAndEveryKillAnnouncedOnce) {
  GameSeed(20261207);
  Bots(8);
  GameSeed(20261207);
  Peer& a = Join(2.5f, "Alice");
  Peer& b = Join(3.5f, "Bob");
  a.Enter(Open(9000, 9000).x, 9000);
  b.Enter(Open(12000, 12000).x, 12000);
  std::vector<Peer*> all = All();
  std::mt19937 script(7);
  for (int frame = 0; frame < 20000; ++frame) {
    for (Peer* c : {&a, &b}) {
      if (frame % 40 == 0)
        for (int key : {37, 38, 39, 40, 90, 88}) c->rig.keys[key] = script() % 2;
      if (!c->rig.ship.alive) c->rig.ship.respawnRequested = true;
    }
    if (!host->rig.ship.alive) host->rig.ship.respawnRequested = true;
    for (Peer* p : all) p->Frame();
    if (frame % 1000 == 0) {
      for (Peer* p : all)
        for (const EnemyManager::player& row : p->table().players)
          ASSERT_TRUE(std::isfinite(row.x) && std::isfinite(row.y)) << row.name << " @" << frame;
      for (int k = 0; k < host->protocol.BotCount(); ++k) {
        const AiPlayer& ai = host->protocol.BotPlayer(k);
        ASSERT_FALSE(host->rig.world.CollisionObjects(ai.x - ai.width / 2, ai.y - ai.height / 2,
                                                      ai.width, ai.height))
            << "computer player " << k << " in a wall at frame " << frame;
      }
    }
  }
  // Each kill is booked once on the host and announced once on every copy.
  std::vector<std::string> names{"Host"};
  for (const EnemyManager::player& row : host->table().players) names.push_back(row.name);
  auto killLines = [&](const Peer& p) {
    std::vector<std::string> lines;
    for (const std::string& l : p.rig.messages)
      for (const std::string& k : names)
        for (const std::string& v : names)
          if (IsKillLine(l, k, v)) lines.push_back(l);
    std::sort(lines.begin(), lines.end());
    return lines;
  };
  auto booked = [&] {
    int n = host->rig.ship.kills;
    for (const EnemyManager::player& row : host->table().players) n += row.wins;
    return n;
  };
  // The computer players fight on while the copies catch up, so a kill can be
  // in flight at any one moment: compare once a round of lines from every
  // copy finds no kill on its way (a lost or doubled line never settles).
  for (int round = 0; round < 10; ++round) {
    for (Peer* p : all) Sync(*p);
    const std::vector<std::string> onHost = killLines(*host);
    if (killLines(a) == onHost && killLines(b) == onHost &&
        static_cast<int>(onHost.size()) == booked())
      break;
  }
  const std::vector<std::string> onHost = killLines(*host);
  EXPECT_GT(booked(), 10) << "a fight took place";
  EXPECT_EQ(static_cast<int>(onHost.size()), booked());
  EXPECT_EQ(killLines(a), onHost);
  EXPECT_EQ(killLines(b), onHost);
}

// ---- Computer players of a dedicated host ----

class DedicatedComputerPlayersTest : public ComputerPlayersTest {
 protected:
  void SetUp() override {}
  void Start(int count, unsigned short room = NetworkHandler::kMaxPlayers) {
    dedicated = std::make_unique<DedicatedHost>(dedicatedNet);
    dedicated->latencyMs = [] { return 0; };
    ASSERT_TRUE(dedicated->Start(kPort, room));
    dedicated->SetBots(count);
    dedicated->Frame();
    dedicatedArena.BuildDefaultMap();
  }
  AiPlayer& Bot(int k) { return dedicated->BotPlayer(k); }
};

TEST_F(DedicatedComputerPlayersTest, TheyArePlayersOnEveryClientKillAndPayTheirKiller) {
  Start(3);
  ASSERT_EQ(dedicated->BotCount(), 3);
  Peer& a = Join(2.5f, "Alice");
  Peer& b = Join(3.5f, "Bob");
  a.Enter(15000, 15000);
  b.Enter(16000, 15000);
  for (int f = 0; f < 200; ++f) Frames([] { return true; });
  Sync(a);
  for (Peer* p : {&a, &b}) {
    ASSERT_EQ(p->table().players.size(), 4u) << "3 computer players and the other client";
    for (int k = 0; k < 3; ++k) {
      ASSERT_NE(p->Of(Bot(k).guid), nullptr) << k;
      EXPECT_NEAR(p->Of(Bot(k).guid)->x, Bot(k).x, 160) << k << " on " << p->rig.ship.name;
      EXPECT_NEAR(p->Of(Bot(k).guid)->y, Bot(k).y, 160) << k << " on " << p->rig.ship.name;
    }
  }

  // A computer player next to Alice, unshielded with one hull point (they
  // may have met before: only what follows counts, once what Alice already
  // said of an earlier death has reached Bob).
  Sync(a);
  const int lossesBefore = b.Of(2.5f)->losses;
  a.rig.messages.clear();
  b.rig.messages.clear();
  AiPlayer& hunter = Bot(0);
  const Vec spot = Open(6000, 6000);
  hunter.x = spot.x, hunter.y = spot.y, hunter.vx = hunter.vy = 0;
  hunter.SetUpWeapons(15, 1, 12, 0);
  a.rig.Spawn(spot.x + 200, spot.y);
  a.rig.ship.energy = a.rig.ship.recharge = 0;
  a.rig.ship.hp = 1;
  a.rig.ship.sendFullStats = true;
  ASSERT_TRUE(Frames([&] { return !a.rig.ship.alive; })) << "Alice survived";
  // Whichever computer player made the kill (another may roam by).
  std::string killer;
  const auto shown = [&](const std::string& l) { return IsKillLine(l, killer, "Alice"); };
  ASSERT_TRUE(Frames([&] {
    for (const EnemyManager::player& row : b.table().players) {
      killer = row.name;
      if (std::any_of(b.rig.messages.begin(), b.rig.messages.end(), shown)) return true;
    }
    return false;
  })) << "no computer player's kill of Alice shown to Bob";
  Sync(b);
  for (Peer* p : {&a, &b})
    EXPECT_EQ(std::count_if(p->rig.messages.begin(), p->rig.messages.end(), shown), 1)
        << p->rig.ship.name;
  EXPECT_EQ(b.Of(2.5f)->losses, lossesBefore + 1);

  // Bob's shot kills a computer player: Bob is paid for it.
  ExpectBobPaidFor(b, Bot(1));
}

TEST_F(DedicatedComputerPlayersTest, AJoiningClientTakesTheSeatOfOne) {
  Start(3, 4);
  Peer& a = Join(2.5f, "Alice");
  EXPECT_EQ(dedicated->BotCount(), 3) << "four fit";
  Peer& b = Join(3.5f, "Bob");
  Sync(b);
  EXPECT_EQ(dedicated->BotCount(), 2);
  EXPECT_EQ(a.table().players.size(), 3u);
  EXPECT_EQ(b.table().players.size(), 3u);
  b.net().QuitClient();
  EXPECT_TRUE(Frames([&] { return dedicated->BotCount() == 3 && a.table().players.size() == 3u; }));
}

}  // namespace
