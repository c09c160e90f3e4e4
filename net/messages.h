// The game's message catalogue: one struct per message id with its fields in
// wire order, and one Write and one Read per message. Every sender, the host's
// relay and the clients use these, so a field order lives in exactly one place.
//
// Write appends the id byte and the fields to a stream (a message is sent by
// one of the handler's send modes afterwards). Read expects the id already
// taken (NetworkHandler::ReceivePacket returns it) and reads the fields; it
// returns false when the message is cut short, carries a non-finite number or
// an oversized list, and then the message must be dropped.
//
// Field codes: f float (32 raw bits), i compressed int, b one bit,
// s string (compressed length, compressed characters).
#pragma once

#include <string>
#include <vector>

#include "net/bitstream.h"
#include "net/networkhandler.h"

namespace msg {

enum Id : char {
  kJoin = 49,
  kFullState = 50,
  kUnused51 = 51,  // never sent; receivers skip it
  kDamageReport = 52,
  kKillReport = 53,
  kRoster = 54,
  kChat = 55,
  kExplosion = 56,
  kFreeze = 57,
  kLeave = 58,
  kProjectileFull = 59,
  kProjectileRemove = 60,
  kProjectileNew = 61,
  kShortState = 62,
  kProjectileShort = 63,
};

// True for the ids of the catalogue (49..63).
inline bool IsGameMessage(char id) { return id >= kJoin && id <= kProjectileShort; }

// 49: a client asks to join. name s, guid f.
struct Join {
  static constexpr char id = kJoin;
  std::string name;
  float guid = 0;
  bool operator==(const Join&) const = default;
};

// 50: a ship's full state; x = y = -30000 while dead.
struct FullState {
  static constexpr char id = kFullState;
  float guid = 0, x = 0, y = 0, angle = 0;
  bool alive = false, upHeld = false;
  int frozenFrames = 0, bounty = 0;
  float width = 0, height = 0;
  int shipTexture = 0;
  float vx = 0, vy = 0, maxSpeed = 0;
  bool downHeld = false, leftHeld = false, rightHeld = false;
  bool operator==(const FullState&) const = default;
};

// 52: damage the attacker's projectiles did to the victim.
struct DamageReport {
  static constexpr char id = kDamageReport;
  float attacker = 0, victim = 0, hullDamage = 0, energyDamage = 0;
  bool operator==(const DamageReport&) const = default;
};

// 53: the victim's copy names its killer and its bounty.
struct KillReport {
  static constexpr char id = kKillReport;
  float victim = 0, killer = 0;
  int bounty = 0;
  bool operator==(const KillReport&) const = default;
};

// 54: every player of the host's game; the last entry is the host's own.
struct Roster {
  static constexpr char id = kRoster;
  // A host holds at most 32 clients and itself; longer lists are refused
  // by Read (and Write sends the first 63 and the last).
  static constexpr int kMaxEntries = 64;
  struct Entry {
    std::string name;
    float guid = 0;
    bool operator==(const Entry&) const = default;
  };
  std::vector<Entry> entries;
  bool operator==(const Roster&) const = default;
};

// 55: one complete chat line as shown.
struct Chat {
  static constexpr char id = kChat;
  std::string text;
  bool operator==(const Chat&) const = default;
};

// 56: an explosion: the arguments of ExplosionManager::AddExplosion.
struct Explosion {
  static constexpr char id = kExplosion;
  float x = 0, y = 0, width = 0, height = 0;
  int loopSlot = 0, frames = 0;
  bool operator==(const Explosion&) const = default;
};

// 57: the victim's energy is frozen for `frames` frames.
struct Freeze {
  static constexpr char id = kFreeze;
  float victim = 0;
  int frames = 0;
  bool operator==(const Freeze&) const = default;
};

// 58: a player leaves; hostLeaving ends the match for everybody.
struct Leave {
  static constexpr char id = kLeave;
  float guid = 0;
  bool hostLeaving = false;
  bool operator==(const Leave&) const = default;
};

// 59 and 61 share their sixteen fields: the full state of one projectile
// (59) and a newly fired one (61, lifeLeft = its full lifetime).
template <char Id>
struct ProjectileFields {
  static constexpr char id = Id;
  float owner = 0;
  int texture = 0;
  float x = 0, y = 0, width = 0, height = 0, direction = 0;
  float style = 0;  // the integer drawing style, carried as a float
  int lifeLeft = 0;
  float speed = 0;
  int behaviour = 0;
  float turnRate = 0, driftX = 0, driftY = 0;
  float guid = 0;   // the projectile's own identity
  float acceleration = 0;
  bool operator==(const ProjectileFields&) const = default;
};
using ProjectileFull = ProjectileFields<kProjectileFull>;
using ProjectileNew = ProjectileFields<kProjectileNew>;

// 60: a projectile is gone.
struct ProjectileRemove {
  static constexpr char id = kProjectileRemove;
  float owner = 0, guid = 0;
  bool operator==(const ProjectileRemove&) const = default;
};

// 62: a ship's frequent short state (unreliable); x = y = -30000 while dead.
struct ShortState {
  static constexpr char id = kShortState;
  float guid = 0, x = 0, y = 0, angle = 0;
  bool upHeld = false;
  int bounty = 0;
  float vx = 0, vy = 0;
  bool downHeld = false, leftHeld = false, rightHeld = false;
  bool operator==(const ShortState&) const = default;
};

// 63: the moving parts of a projectile's state.
struct ProjectileShort {
  static constexpr char id = kProjectileShort;
  float owner = 0, x = 0, y = 0, direction = 0;
  int lifeLeft = 0;
  float turnRate = 0, driftX = 0, driftY = 0;
  float guid = 0;
  bool operator==(const ProjectileShort&) const = default;
};

void Write(BitStream& out, const Join& m);
void Write(BitStream& out, const FullState& m);
void Write(BitStream& out, const DamageReport& m);
void Write(BitStream& out, const KillReport& m);
void Write(BitStream& out, const Roster& m);
void Write(BitStream& out, const Chat& m);
void Write(BitStream& out, const Explosion& m);
void Write(BitStream& out, const Freeze& m);
void Write(BitStream& out, const Leave& m);
void Write(BitStream& out, const ProjectileFull& m);
void Write(BitStream& out, const ProjectileNew& m);
void Write(BitStream& out, const ProjectileRemove& m);
void Write(BitStream& out, const ShortState& m);
void Write(BitStream& out, const ProjectileShort& m);

bool Read(BitStream& in, Join& m);
bool Read(BitStream& in, FullState& m);
bool Read(BitStream& in, DamageReport& m);
bool Read(BitStream& in, KillReport& m);
bool Read(BitStream& in, Roster& m);
bool Read(BitStream& in, Chat& m);
bool Read(BitStream& in, Explosion& m);
bool Read(BitStream& in, Freeze& m);
bool Read(BitStream& in, Leave& m);
bool Read(BitStream& in, ProjectileFull& m);
bool Read(BitStream& in, ProjectileNew& m);
bool Read(BitStream& in, ProjectileRemove& m);
bool Read(BitStream& in, ShortState& m);
bool Read(BitStream& in, ProjectileShort& m);

// Through the handler: Write into its outgoing message, Read from the packet
// being handled.
template <class M>
void Write(NetworkHandler& net, const M& m) {
  Write(net.outgoing, m);
}
template <class M>
bool Read(NetworkHandler& net, M& m) {
  return Read(net.incoming, m);
}

}  // namespace msg
