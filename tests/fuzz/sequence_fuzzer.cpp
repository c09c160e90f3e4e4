// libFuzzer target: whole message sequences from hostile peers through the
// receive paths that real packets take — the player's hosting copy, a
// client's copy from its join wait on, and the dedicated host — with frames
// (the opponent table's update, then the network exchange) run between
// packets. Aborts on any memory error or undefined operation, and when a
// copy breaks a promise it makes to every peer (checked below).
//
// Input: byte 0 picks the copy, byte 1 the latency the copy corrects for
// (2 ms steps); then records of one head byte (bits 0-1: which of four
// connections sent it; bit 7: a frame runs first; bit 6: a two-byte length
// follows instead of one; bit 5: a notification, such as the connection
// closing, whose id is the first byte) and the packet's bytes (a bundle of
// length-prefixed messages, as they travel).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "dedicated/dedicatedhost.h"
#include "protocol/gameprotocol.h"
#include "tests/support/combat_rig.h"

namespace {

constexpr int kConnections = 4;

void Check(bool promise) {
  if (!promise) std::abort();
}

PlayerID Connection(int k) {
  return PlayerID{0x0100007Fu + (static_cast<uint32_t>(k) << 24), 40000};
}

// The player's copy of the game in either role, as the in-game frame runs it.
struct Copy {
  CombatRig rig;
  GameProtocol protocol;
  bool ready;
  int wait = 30000;
  float guid = CombatRig::kGuid;
  int latency;

  Copy(bool host, int latencyMs) : ready(host), latency(latencyMs) {
    rig.ship.name = "Fuzz";
    rig.network.InitMe(host);
    protocol.InitMe(&rig.network, &rig.outbox, &rig.enemies, &rig.ship, &rig.explosions, &ready,
                    &wait, &guid);
    protocol.latencyMs = [this] { return latency; };
    protocol.hostLeft = [](const std::string&) {};
    protocol.giveUp = [] {};
  }
  void Frame() {
    rig.enemies.MainLoop(guid);
    protocol.UpdateNetwork();
    protocol.Flush();
  }
  // The table stays within its bound and every ship in it finite whatever
  // arrives. (A connection that opens anew leaves its old row to the table's
  // time-out, so the host's rows are not bounded by the connections.)
  void CheckPromises() const {
    Check(rig.enemies.players.size() <= static_cast<size_t>(EnemyManager::kMaxPlayers));
    for (const EnemyManager::player& p : rig.enemies.players)
      Check(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.vx) && std::isfinite(p.vy));
  }
};

struct Dedicated {
  NetworkHandler network;
  DedicatedHost host{network};
  int latency;

  // Two computer players take what the peers say to them (and their names).
  explicit Dedicated(int latencyMs) : latency(latencyMs) {
    network.InitMe(true);
    host.latencyMs = [this] { return latency; };
    GameSeed(1);  // the same computer players for every run of an input
    host.SetBots(2);
  }
  void Frame() { host.Frame(); }
  void CheckPromises() const {
    Check(host.PlayerCount() <= kConnections + static_cast<size_t>(host.BotCount()));
  }
};

template <class Target>
void Feed(Target& target, NetworkHandler& network, const uint8_t* data, size_t size) {
  size_t at = 0;
  while (at < size) {
    const uint8_t head = data[at++];
    size_t length = 0;
    const size_t lengthBytes = head & 0x40 ? 2 : 1;
    for (size_t i = 0; i < lengthBytes && at < size; ++i) length |= size_t{data[at++]} << (8 * i);
    if (length > size - at) length = size - at;
    if (head & 0x80) target.Frame();
    network.QueueReceived(Connection(head & 3), data + at, length, head & 0x20);
    at += length;
  }
  target.Frame();
  target.CheckPromises();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int latency = data[1] * 2;
  switch (data[0] % 3) {
    case 0: {
      auto host = std::make_unique<Copy>(true, latency);
      Feed(*host, host->rig.network, data + 2, size - 2);
      break;
    }
    case 1: {
      auto client = std::make_unique<Copy>(false, latency);
      Feed(*client, client->rig.network, data + 2, size - 2);
      break;
    }
    default: {
      auto host = std::make_unique<Dedicated>(latency);
      Feed(*host, host->network, data + 2, size - 2);
      break;
    }
  }
  return 0;
}
