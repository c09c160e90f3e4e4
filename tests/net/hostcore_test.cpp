// One table of relay cases run against both hosts: the player's hosting
// copy and the dedicated host. Alice (a client, at times a cheating one)
// sends ordinary and hostile messages over real loopback connections; Bob,
// another client, records exactly what the host relays to him. Both hosts
// must relay the same messages, field for field.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "dedicated/dedicatedhost.h"
#include "net/messages.h"
#include "protocol/gameprotocol.h"
#include "tests/support/combat_rig.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr unsigned short kPort = 60381;
constexpr float kAlice = 2.5f, kBob = 3.5f, kStranger = 9.5f;

// A message as it travels: its id and its fields' bytes.
struct Wire {
  std::vector<unsigned char> bytes;
  bool operator==(const Wire&) const = default;
};

void PrintTo(const Wire& w, std::ostream* os) {
  for (unsigned char b : w.bytes) *os << (b < 16 ? "0" : "") << std::hex << int(b) << std::dec;
}

bool Earlier(const Wire& a, const Wire& b) { return a.bytes < b.bytes; }

template <class M>
Wire WireOf(const M& m) {
  BitStream out;
  msg::Write(out, m);
  return {{out.GetData(), out.GetData() + out.GetNumberOfBytesUsed()}};
}

// Decodes the message being handled and writes it again: a time stamp or a
// bundle's framing never shows in the comparison.
template <class M>
bool Take(NetworkHandler& net, std::vector<Wire>& into) {
  M m;
  if (!msg::Read(net, m)) return false;
  into.push_back(WireOf(m));
  return true;
}

bool Record(char id, NetworkHandler& net, std::vector<Wire>& into) {
  switch (id) {
    case msg::kJoin: return Take<msg::Join>(net, into);
    case msg::kFullState: return Take<msg::FullState>(net, into);
    case msg::kDamageReport: return Take<msg::DamageReport>(net, into);
    case msg::kKillReport: return Take<msg::KillReport>(net, into);
    case msg::kChat: return Take<msg::Chat>(net, into);
    case msg::kExplosion: return Take<msg::Explosion>(net, into);
    case msg::kFreeze: return Take<msg::Freeze>(net, into);
    case msg::kLeave: return Take<msg::Leave>(net, into);
    case msg::kProjectileFull: return Take<msg::ProjectileFull>(net, into);
    case msg::kProjectileRemove: return Take<msg::ProjectileRemove>(net, into);
    case msg::kProjectileNew: return Take<msg::ProjectileNew>(net, into);
    case msg::kShortState: return Take<msg::ShortState>(net, into);
    case msg::kProjectileShort: return Take<msg::ProjectileShort>(net, into);
    default: return false;  // rosters and notifications
  }
}

// A bare client: joins, says what it is told, records what reaches it.
struct Client {
  NetworkHandler net;
  float guid;
  std::vector<Wire> heard;

  explicit Client(float id) : guid(id) {
    net.InitMe(false);
    net.ConnectMe("127.0.0.1", kPort);
  }
  template <class M>
  void Say(const M& m) {
    msg::Send(net, m, Delivery::Reliable);
  }
  void Frame() {
    for (char id; (id = net.ReceivePacket()) != netid::NoPacket; net.ClearIncomingPacket())
      Record(id, net, heard);
    net.Flush();
  }
};

// The host under test, whichever program it is.
struct Host {
  virtual ~Host() = default;
  virtual void Frame() = 0;
  virtual float OwnGuid() const = 0;
};

struct HostingCopy final : Host {
  CombatRig rig;
  GameProtocol protocol;
  bool ready = true;
  int wait = 0;
  float guid = 1.5f;
  HostingCopy() {
    rig.ship.name = "Host";
    protocol.InitMe(&rig.network, &rig.outbox, &rig.enemies, &rig.ship, &rig.explosions, &ready,
                    &wait, &guid);
    protocol.latencyMs = [] { return 0; };
    rig.network.InitMe(true);
    EXPECT_TRUE(rig.network.Listen(kPort, NetworkHandler::kMaxPlayers));
  }
  void Frame() override {
    rig.enemies.MainLoop(guid);
    protocol.UpdateNetwork();
    protocol.Flush();
  }
  float OwnGuid() const override { return guid; }
};

struct Dedicated final : Host {
  NetworkHandler net;
  DedicatedHost host{net};
  Dedicated() {
    host.latencyMs = [] { return 0; };
    EXPECT_TRUE(host.Start(kPort, NetworkHandler::kMaxPlayers));
  }
  void Frame() override { host.Frame(); }
  float OwnGuid() const override { return host.Guid(); }
};

msg::FullState StateOf(float guid, float x) {
  msg::FullState m;
  m.guid = guid, m.x = x, m.y = 900, m.alive = true, m.width = 96, m.height = 96;
  m.maxSpeed = 20;
  return m;
}

template <class M = msg::ProjectileNew>
M Shot(float owner, float guid) {
  M m;
  m.owner = owner, m.texture = 7, m.x = 500, m.y = 600, m.width = 16, m.height = 32;
  m.style = 2, m.lifeLeft = 60, m.speed = 10, m.behaviour = 3, m.guid = guid;
  return m;
}

// One case: what Alice sends in one frame, and what Bob must hear of it.
struct Case {
  const char* name;
  std::function<void(Client& alice, float host)> send;
  std::function<std::vector<Wire>(float host)> relayed;
};

std::vector<Wire> None(float) { return {}; }

template <class M>
std::vector<Wire> Copies(const M& m, int n) {
  return std::vector<Wire>(static_cast<size_t>(n), WireOf(m));
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"own full state", [](Client& a, float) { a.Say(StateOf(kAlice, 700)); },
       [](float) { return std::vector<Wire>{WireOf(StateOf(kAlice, 700))}; }},
      {"state for another player", [](Client& a, float) { a.Say(StateOf(kBob, 5)); }, None},
      {"state for nobody", [](Client& a, float) { a.Say(StateOf(kStranger, 5)); }, None},
      {"damage to Bob",
       [](Client& a, float) {
         a.Say(msg::DamageReport{kAlice, kBob, 30, 10});
       },
       [](float) {
         return std::vector<Wire>{WireOf(msg::DamageReport{kAlice, kBob, 30, 10})};
       }},
      {"damage in Bob's name",
       [](Client& a, float) {
         a.Say(msg::DamageReport{kBob, kBob, 30, 10});
       },
       None},
      {"damage to the host is not relayed",
       [](Client& a, float host) {
         a.Say(msg::DamageReport{kAlice, host, 30, 10});
       },
       None},
      {"own death named to Bob",
       [](Client& a, float) {
         a.Say(msg::KillReport{kAlice, kBob, 150});
       },
       [](float) {
         return std::vector<Wire>{WireOf(msg::KillReport{kAlice, kBob, 150})};
       }},
      {"Bob's death claimed",
       [](Client& a, float) {
         a.Say(msg::KillReport{kBob, kAlice, 150});
       },
       None},
      {"overlong freeze is capped",
       [](Client& a, float) {
         a.Say(msg::Freeze{kBob, 9999});
       },
       [](float) {
         return std::vector<Wire>{WireOf(msg::Freeze{kBob, ProtocolLimits::kMaxFreezeFrames})};
       }},
      {"freeze of the host is not relayed",
       [](Client& a, float host) {
         a.Say(msg::Freeze{host, 50});
       },
       None},
      {"explosions capped in length and number",
       [](Client& a, float) {
         for (int i = 0; i < 70; ++i) a.Say(msg::Explosion{100, 200, 64, 64, 2, 9999});
       },
       [](float) {
         return Copies(msg::Explosion{100, 200, 64, 64, 2, ProtocolLimits::kMaxExplosionFrames},
                       ProtocolLimits::kMaxExplosionsPerFrame);
       }},
      {"a chat flood is cut to the burst",
       [](Client& a, float) {
         for (int i = 0; i < 30; ++i) a.Say(msg::Chat{"Alice>flood"});
       },
       [](float) {
         return Copies(msg::Chat{"Alice>flood"}, static_cast<int>(ProtocolLimits::kChatBurst));
       }},
      {"projectile life cycle",
       [](Client& a, float) {
         a.Say(Shot(kAlice, 71));
         a.Say(Shot<msg::ProjectileFull>(kAlice, 71));
         a.Say(msg::ProjectileShort{kAlice, 510, 600, 0, 59, 0, 0, 0, 71});
         a.Say(msg::ProjectileRemove{kAlice, 71});
       },
       [](float) {
         return std::vector<Wire>{
             WireOf(Shot(kAlice, 71)), WireOf(Shot<msg::ProjectileFull>(kAlice, 71)),
             WireOf(msg::ProjectileShort{kAlice, 510, 600, 0, 59, 0, 0, 0, 71}),
             WireOf(msg::ProjectileRemove{kAlice, 71})};
       }},
      {"projectiles in Bob's name",
       [](Client& a, float) {
         a.Say(Shot(kBob, 72));
         a.Say(Shot<msg::ProjectileFull>(kBob, 72));
         a.Say(msg::ProjectileRemove{kBob, 72});
       },
       None},
      {"Bob's leave claimed",
       [](Client& a, float) {
         a.Say(msg::Leave{kBob, false});
       },
       None},
      {"a client cannot end the match",
       [](Client& a, float) {
         a.Say(msg::Leave{kAlice, true});
       },
       [](float) {
         return std::vector<Wire>{WireOf(msg::Leave{kAlice, false})};
       }},
  };
  return cases;
}

class HostCoreTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam())
      host = std::make_unique<Dedicated>();
    else
      host = std::make_unique<HostingCopy>();
    alice = std::make_unique<Client>(kAlice);
    ASSERT_TRUE(Frames([&] { return alice->net.ClientConnected(); }));
    alice->Say(msg::Join{"Alice", kAlice});
    Settle();
    bob = std::make_unique<Client>(kBob);
    ASSERT_TRUE(Frames([&] { return bob->net.ClientConnected(); }));
    bob->Say(msg::Join{"Bob", kBob});
    ASSERT_TRUE(Frames([&] { return !alice->heard.empty(); })) << "Bob's join not relayed";
    Settle();
  }

  template <class F>
  bool Frames(F done, std::chrono::milliseconds limit = std::chrono::seconds(3)) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
      host->Frame();
      for (Client* c : {alice.get(), bob.get()})
        if (c) c->Frame();
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(25));  // the game's step
    }
    return done();
  }
  // Frames until what was sent has been relayed and has arrived; the
  // records then start afresh.
  void Settle() {
    Frames([] { return false; }, std::chrono::milliseconds(150));
    for (Client* c : {alice.get(), bob.get()})
      if (c) c->heard.clear();
  }

  std::unique_ptr<Host> host;
  std::unique_ptr<Client> alice, bob;
};

TEST_P(HostCoreTest, RelaysExactlyWhatTheRulesAllow) {
  float mark = 10000;
  for (const Case& c : Cases()) {
    c.send(*alice, host->OwnGuid());
    // A state of Alice's own, sent last and relayed reliably, marks the end
    // of the case: whatever the host relays of it is in before the mark.
    const Wire marker = WireOf(StateOf(kAlice, ++mark));
    alice->Say(StateOf(kAlice, mark));
    alice->net.Flush();
    ASSERT_TRUE(Frames([&] {
      return std::find(bob->heard.begin(), bob->heard.end(), marker) != bob->heard.end();
    })) << c.name
        << ": the mark never arrived";
    Frames([] { return false; }, std::chrono::milliseconds(75));  // the unreliable kind
    std::erase(bob->heard, marker);
    // Reliable and unreliable messages travel apart: only what is relayed
    // counts, not how the two kinds interleave.
    std::vector<Wire> expected = c.relayed(host->OwnGuid());
    std::sort(expected.begin(), expected.end(), Earlier);
    std::sort(bob->heard.begin(), bob->heard.end(), Earlier);
    EXPECT_EQ(bob->heard, expected) << c.name;
    Settle();
  }
}

INSTANTIATE_TEST_SUITE_P(BothHosts, HostCoreTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "DedicatedHost" : "HostingCopy");
                         });

}  // namespace
