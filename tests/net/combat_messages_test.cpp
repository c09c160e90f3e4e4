// The ship's and the projectiles' messages on the wire: the host's senders
// (ship state 50 and 62; projectiles 57, 59, 60, 61, 63) decoded field by
// field on the other end of a real loopback ENet connection, with the
// field order read straight from the bits rather than through the
// message structs the senders use.
#include <enet/enet.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "net/bitstream.h"
#include "net/packetbundle.h"
#include "tests/support/combat_rig.h"
#include "tests/support/testenv.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Received {
  std::vector<unsigned char> bytes;
  bool reliable = false;
};

// A bare ENet client: sees exactly the bytes the host put on the wire.
class WireClient {
 public:
  // What `posted` holds is handed to `server` before each flush, as the
  // game protocol does at the end of a frame.
  WireClient(NetworkHandler& server, Outbox& posted, unsigned short port)
      : server_(server), posted_(posted) {
    enet_initialize();
    host_ = enet_host_create(nullptr, 1, 1, 0, 0);
    enet_host_compress_with_range_coder(host_);  // as the game's handler does
    ENetAddress address{};
    enet_address_set_host(&address, "127.0.0.1");
    address.port = port;
    enet_host_connect(host_, &address, 1, 0);
  }
  ~WireClient() {
    if (host_) enet_host_destroy(host_);
  }
  // Services both ends until the host has seen the connection.
  bool Connect() {
    const auto end = Clock::now() + std::chrono::seconds(2);
    while (Clock::now() < end) {
      for (char id; (id = server_.ReceivePacket()) != '0'; server_.ClearIncomingPacket())
        if (id == netid::NewIncomingConnection) return true;
      Pump(nullptr);
    }
    return false;
  }
  // Every game packet (ids 49..63) that arrives within `ms`, in order.
  std::vector<Received> Collect(int ms) {
    std::vector<Received> out;
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
      posted_.SendTo(server_);
      server_.Flush();
      while (server_.ReceivePacket() != '0') server_.ClearIncomingPacket();
      Pump(&out);
    }
    return out;
  }

 private:
  void Pump(std::vector<Received>* out) {
    ENetEvent event;
    while (enet_host_service(host_, &event, 5) > 0) {
      if (event.type != ENET_EVENT_TYPE_RECEIVE) continue;
      const ENetPacket* p = event.packet;
      PacketBundle::Reader messages(p->data, p->dataLength);
      const unsigned char* m;
      size_t length;
      while (out && messages.Next(m, length))
        if (m[0] >= 49 && m[0] <= 63)
          out->push_back({{m, m + length}, (p->flags & ENET_PACKET_FLAG_RELIABLE) != 0});
      enet_packet_destroy(event.packet);
    }
  }
  NetworkHandler& server_;
  Outbox& posted_;
  ENetHost* host_ = nullptr;
};

// Reads one packet field by field in the catalogue's encodings.
class Fields {
 public:
  explicit Fields(const Received& r) : in_(r.bytes.data(), r.bytes.size()) {
    char id = 0;
    in_.Read(id);
    id_ = id;
  }
  int id() const { return id_; }
  float F() {
    float v = 0;
    in_.ReadCompressed(v);
    return v;
  }
  int I() {
    int v = 0;
    in_.ReadCompressed(v);
    return v;
  }
  bool B() {
    bool v = false;
    in_.Read(v);
    return v;
  }
  // Every field was there and nothing follows the last one.
  bool Complete() { return !in_.Failed() && in_.GetNumberOfUnreadBits() < 8; }

 private:
  BitStream in_;
  int id_ = 0;
};

std::vector<Received> OfId(const std::vector<Received>& all, int id) {
  std::vector<Received> out;
  for (const Received& r : all)
    if (r.bytes[0] == id) out.push_back(r);
  return out;
}

// A short mono tone for the weapon and blast sound slots.
void WriteTone(const std::string& path) {
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  std::vector<short> pcm(44100);
  for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<short>(9000 * std::sin(i * 0.05));
  sf_write_short(file, pcm.data(), static_cast<sf_count_t>(pcm.size()));
  sf_close(file);
}

int g_nextPort = 51000 + getpid() % 8000;

class CombatMessages : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.network.InitMe(true);
    const unsigned short port = static_cast<unsigned short>(g_nextPort++);
    ASSERT_TRUE(rig.network.Listen(port, 32));
    client = std::make_unique<WireClient>(rig.network, rig.outbox, port);
    ASSERT_TRUE(client->Connect());
    rig.Spawn(5000, 5000);
  }

  CombatRig rig;
  std::unique_ptr<WireClient> client;
};

TEST_F(CombatMessages, FullStateCarriesTheWholeShipInOrder) {
  SpaceShip& s = rig.ship;
  s.x = 1234.5f;
  s.y = 678.25f;
  s.angle = 92;
  s.upHeld = true;
  s.frozenFrames = 17;
  s.bounty = 321;
  s.width = 96;
  s.height = 112;
  s.shipTexture = 44;
  s.vx = 1.5f;
  s.vy = -2.5f;
  s.maxSpeed = 23;
  s.leftHeld = true;
  s.sendFullStats = true;
  s.sendUpdate = true;  // the full message wins
  s.PostState();
  EXPECT_FALSE(s.sendFullStats || s.sendUpdate);

  const auto got = client->Collect(300);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_TRUE(got[0].reliable);
  Fields f(got[0]);
  EXPECT_EQ(f.id(), 50);
  EXPECT_EQ(f.F(), CombatRig::kGuid);
  EXPECT_EQ(f.F(), 1234.5f);
  EXPECT_EQ(f.F(), 678.25f);
  EXPECT_EQ(f.F(), 92);
  EXPECT_TRUE(f.B());  // alive
  EXPECT_TRUE(f.B());  // upHeld
  EXPECT_EQ(f.I(), 17);
  EXPECT_EQ(f.I(), 321);
  EXPECT_EQ(f.F(), 96);
  EXPECT_EQ(f.F(), 112);
  EXPECT_EQ(f.I(), 44);
  EXPECT_EQ(f.F(), 1.5f);
  EXPECT_EQ(f.F(), -2.5f);
  EXPECT_EQ(f.F(), 23);
  EXPECT_FALSE(f.B());  // downHeld
  EXPECT_TRUE(f.B());   // leftHeld
  EXPECT_FALSE(f.B());  // rightHeld
  EXPECT_TRUE(f.Complete());
}

TEST_F(CombatMessages, ShortStateAndTheDeadShipsPosition) {
  SpaceShip& s = rig.ship;
  s.alive = false;
  s.x = 10;
  s.angle = 45;
  s.bounty = 7;
  s.vx = 3;
  s.vy = 4;
  s.upHeld = true;
  s.rightHeld = true;
  s.sendUpdate = true;
  s.PostState();
  s.PostState();  // no flag left: nothing more goes out

  const auto got = client->Collect(300);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_FALSE(got[0].reliable);
  Fields f(got[0]);
  EXPECT_EQ(f.id(), 62);
  EXPECT_EQ(f.F(), CombatRig::kGuid);
  EXPECT_EQ(f.F(), -30000);
  EXPECT_EQ(f.F(), -30000);
  EXPECT_EQ(f.F(), 45);
  EXPECT_TRUE(f.B());  // upHeld
  EXPECT_EQ(f.I(), 7);
  EXPECT_EQ(f.F(), 3);
  EXPECT_EQ(f.F(), 4);
  EXPECT_FALSE(f.B());
  EXPECT_FALSE(f.B());
  EXPECT_TRUE(f.B());  // rightHeld
  EXPECT_TRUE(f.Complete());
}

// 61 when fired, 59 on the next send, 63 when only the moving parts are due.
TEST_F(CombatMessages, ANewProjectileIsAnnouncedTwiceThenUpdated) {
  Weapon w;
  w.MakeMeBombProjector();  // inherit 0.7, style 7
  int energy = 1000;
  rig.bullets.ShootMe(w, energy, 800, 900, 30, 10, -20, CombatRig::kGuid);
  rig.bullets.PostProjectiles(CombatRig::kGuid);
  BulletManager::Bullet& b = rig.bullets.bullets.at(0);
  b.sendUpdate = true;
  rig.bullets.PostProjectiles(CombatRig::kGuid);
  rig.bullets.PostProjectiles(CombatRig::kGuid);  // flags cleared: nothing

  EXPECT_NEAR(b.driftX, 7, 1e-5);   // 10 x 0.7
  EXPECT_NEAR(b.driftY, 14, 1e-5);  // the ship's -20 turned upwards
  const auto got = client->Collect(300);
  ASSERT_EQ(got.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(got[i].reliable);
    Fields f(got[i]);
    const int ids[3] = {61, 59, 63};
    EXPECT_EQ(f.id(), ids[i]);
    EXPECT_EQ(f.F(), CombatRig::kGuid);
    if (i < 2) {
      EXPECT_EQ(f.I(), 13);  // texture
      EXPECT_EQ(f.F(), b.x);
      EXPECT_EQ(f.F(), b.y);
      EXPECT_EQ(f.F(), 64);
      EXPECT_EQ(f.F(), 64);
      EXPECT_EQ(f.F(), 30);  // direction
      EXPECT_EQ(f.F(), 7);   // style, as a float
      EXPECT_EQ(f.I(), 600);
      EXPECT_EQ(f.F(), 25);  // speed
      EXPECT_EQ(f.I(), 0);   // behaviour
      EXPECT_EQ(f.F(), 0);   // turn rate
      EXPECT_EQ(f.F(), b.driftX);
      EXPECT_EQ(f.F(), b.driftY);
      EXPECT_EQ(f.F(), b.guid);
      EXPECT_EQ(f.F(), 0);  // acceleration
    } else {
      EXPECT_EQ(f.F(), b.x);
      EXPECT_EQ(f.F(), b.y);
      EXPECT_EQ(f.F(), 30);
      EXPECT_EQ(f.I(), 600);
      EXPECT_EQ(f.F(), 0);
      EXPECT_EQ(f.F(), b.driftX);
      EXPECT_EQ(f.F(), b.driftY);
      EXPECT_EQ(f.F(), b.guid);
    }
    EXPECT_TRUE(f.Complete());
  }
}

TEST_F(CombatMessages, AFreezingHitReportsTheRemovalThenTheFreeze) {
  const float victim = 98765.0f;
  rig.AddOpponent(5300, 5000, 1, victim);
  Weapon w;
  w.MakeMeEnergyFreezer();
  int energy = 1000, hp = 100;
  rig.bullets.ShootMe(w, energy, 5000, 5000, 0, 0, 0, CombatRig::kGuid);
  const float projectile = rig.bullets.bullets.at(0).guid;
  for (int i = 0; i < 10 && rig.ActiveBullets(); ++i)
    rig.bullets.UpdateMe(0, 0, hp, energy, 0, CombatRig::kGuid);
  ASSERT_EQ(rig.ActiveBullets(), 0);

  const auto got = client->Collect(300);
  ASSERT_GE(got.size(), 3u);
  EXPECT_EQ(got[0].bytes[0], 61);
  Fields removed(got[got.size() - 2]);
  EXPECT_EQ(removed.id(), 60);
  EXPECT_EQ(removed.F(), CombatRig::kGuid);
  EXPECT_EQ(removed.F(), projectile);
  EXPECT_TRUE(removed.Complete());
  Fields freeze(got.back());
  EXPECT_EQ(freeze.id(), 57);
  EXPECT_TRUE(got.back().reliable);
  EXPECT_EQ(freeze.F(), victim);
  EXPECT_EQ(freeze.I(), 50);
  EXPECT_TRUE(freeze.Complete());
}

TEST_F(CombatMessages, ShrapnelIsAnnouncedUnreliably) {
  rig.bullets.shrapnel.MakeMeShrapnel();
  rig.bullets.ShootMe(rig.bullets.shrapnel, 300, 400, 0, 0, 0, CombatRig::kGuid);
  const auto got = OfId(client->Collect(400), 61);
  ASSERT_EQ(got.size(), 40u);
  for (const Received& r : got) {
    EXPECT_FALSE(r.reliable);
    Fields f(r);
    f.F();
    EXPECT_EQ(f.I(), 41);
  }
}

TEST_F(CombatMessages, FiringWithoutEnergySendsAndPlaysNothing) {
  setenv("ALSOFT_DRIVERS", "null", 0);
  rig.sounds.InitMe();
  ASSERT_TRUE(rig.sounds.HasDevice());
  testsupport::TempDir dir;
  const std::string tone = dir.File("tone.wav");
  WriteTone(tone);
  for (int slot = 0; slot < 8; ++slot) rig.sounds.LoadSound(tone.c_str());

  auto playing = [&] {
    int n = 0;
    for (int c = 0; c < SoundManager::kChannels; ++c) n += rig.sounds.ChannelSlot(c) >= 0;
    return n;
  };
  Weapon laser;
  laser.MakeMeLaser();
  int energy = 199;
  rig.bullets.ShootMe(laser, energy, 0, 0, 0, 0, 0, CombatRig::kGuid);
  EXPECT_EQ(playing(), 0);
  EXPECT_TRUE(client->Collect(200).empty());

  energy = 200;  // the same shot with enough energy is heard and announced
  rig.bullets.ShootMe(laser, energy, 0, 0, 0, 0, 0, CombatRig::kGuid);
  EXPECT_EQ(playing(), 1);
  EXPECT_EQ(OfId(client->Collect(200), 61).size(), 1u);
  rig.sounds.ShutDown();
}

}  // namespace
