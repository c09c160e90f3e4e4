// The game's message catalogue: one struct per message id whose Fields lists
// its fields once, in wire order, for both directions. Every sender, the
// host's relay and the clients go through these, so a field order lives in
// exactly one place.
//
// Write appends the id byte and the fields to a stream; Send writes, sends
// and clears the handler's outgoing message. Read expects the id already
// taken (NetworkHandler::ReceivePacket returns it) and reads the fields; it
// returns false when the message is cut short, carries a non-finite number or
// an oversized list, and then the message must be dropped.
//
// A field's wire code follows from its type: float 32 raw bits, int
// compressed, bool one bit, string compressed length and characters.
//
// Every number is checked here, once for every reader: floats must be
// finite, and a number that the receiver turns into an integer, an index or
// a size is listed Within its range; anything else refuses the message.
#pragma once

#include <string>
#include <type_traits>
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

// A field whose value must lie in [low, high] when read.
template <class T>
struct Bounded {
  T& value;
  std::remove_const_t<T> low, high;
};
template <class T>
Bounded<T> Within(T& value, double low, double high) {
  using V = std::remove_const_t<T>;
  return {value, static_cast<V>(low), static_cast<V>(high)};
}

// Ranges of the numbers that become integers or sizes.
constexpr float kMaxSize = 8192;       // a ship, projectile or explosion's width or height
constexpr float kMaxDamage = 1000000;  // per report; the largest hull is a few thousand
constexpr float kMaxStyle = 255;       // a projectile's drawing style
// Positions and speeds are extrapolated every frame until the next state
// comes: a finite but huge one would run off to infinity within frames.
constexpr float kMaxCoordinate = 1000000;  // the arena is a few tens of thousands wide
constexpr float kMaxSpeed =
    100000;  // per frame; the fastest ship or projectile makes a few hundred

// True for the ids of the catalogue (49..63).
inline bool IsGameMessage(char id) { return id >= kJoin && id <= kProjectileShort; }

// 49: a client asks to join. name s, guid f.
struct Join {
  static constexpr char id = kJoin;
  std::string name;
  float guid = 0;
  template <class IO, class M>
  static void Fields(IO& io, M& m) {
    io(m.name, m.guid);
  }
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
  template <class IO, class M>
  static void Fields(IO& io, M& m) {
    io(m.guid, Within(m.x, -kMaxCoordinate, kMaxCoordinate),
       Within(m.y, -kMaxCoordinate, kMaxCoordinate), m.angle, m.alive, m.upHeld, m.frozenFrames,
       m.bounty, Within(m.width, -kMaxSize, kMaxSize), Within(m.height, -kMaxSize, kMaxSize),
       m.shipTexture, Within(m.vx, -kMaxSpeed, kMaxSpeed), Within(m.vy, -kMaxSpeed, kMaxSpeed),
       Within(m.maxSpeed, -kMaxSpeed, kMaxSpeed), m.downHeld, m.leftHeld, m.rightHeld);
  }
  bool operator==(const FullState&) const = default;
};

// 52: damage the attacker's projectiles did to the victim.
struct DamageReport {
  static constexpr char id = kDamageReport;
  float attacker = 0, victim = 0, hullDamage = 0, energyDamage = 0;
  template <class IO, class M>
  static void Fields(IO& io, M& m) {
    io(m.attacker, m.victim, Within(m.hullDamage, -kMaxDamage, kMaxDamage),
       Within(m.energyDamage, -kMaxDamage, kMaxDamage));
  }
  bool operator==(const DamageReport&) const = default;
};

// 53: the victim's copy names its killer and its bounty.
struct KillReport {
  static constexpr char id = kKillReport;
  float victim = 0, killer = 0;
  int bounty = 0;
  template <class IO, class M>
  static void Fields(IO& io, M& m) {
    io(m.victim, m.killer, m.bounty);
  }
  bool operator==(const KillReport&) const = default;
};

// 54: every player of the host's game; the last entry is the host's own.
struct Roster {
  static constexpr char id = kRoster;
  // A host holds at most 32 clients and itself; longer lists are refused
  // by Read (and Write sends the first 63 and the last, the host's own).
  static constexpr int kMaxEntries = 64;
  struct Entry {
    std::string name;
    float guid = 0;
    template <class IO, class M>
    static void Fields(IO& io, M& m) {
      io(m.name, m.guid);
    }
    bool operator==(const Entry&) const = default;
  };
  std::vector<Entry> entries;
  template <class IO, class M>
  static void Fields(IO& io, M& m) {
    io.List(m.entries, kMaxEntries);
  }
  bool operator==(const Roster&) const = default;
};

// 55: one complete chat line as shown.
struct Chat {
  static constexpr char id = kChat;
  std::string text;
  template <class IO, class M>
  static void Fields(IO& io, M& m) {
    io(m.text);
  }
  bool operator==(const Chat&) const = default;
};

// 56: an explosion: the arguments of ExplosionManager::AddExplosion.
struct Explosion {
  static constexpr char id = kExplosion;
  float x = 0, y = 0, width = 0, height = 0;
  int loopSlot = 0, frames = 0;
  template <class IO, class M>
  static void Fields(IO& io, M& m) {
    io(m.x, m.y, Within(m.width, -kMaxSize, kMaxSize), Within(m.height, -kMaxSize, kMaxSize),
       m.loopSlot, m.frames);
  }
  bool operator==(const Explosion&) const = default;
};

// 57: the victim's energy is frozen for `frames` frames.
struct Freeze {
  static constexpr char id = kFreeze;
  float victim = 0;
  int frames = 0;
  template <class IO, class M>
  static void Fields(IO& io, M& m) {
    io(m.victim, m.frames);
  }
  bool operator==(const Freeze&) const = default;
};

// 58: a player leaves; hostLeaving ends the match for everybody.
struct Leave {
  static constexpr char id = kLeave;
  float guid = 0;
  bool hostLeaving = false;
  template <class IO, class M>
  static void Fields(IO& io, M& m) {
    io(m.guid, m.hostLeaving);
  }
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
  float guid = 0;  // the projectile's own identity
  float acceleration = 0;
  template <class IO, class M>
  static void Fields(IO& io, M& m) {
    io(m.owner, m.texture, Within(m.x, -kMaxCoordinate, kMaxCoordinate),
       Within(m.y, -kMaxCoordinate, kMaxCoordinate), Within(m.width, -kMaxSize, kMaxSize),
       Within(m.height, -kMaxSize, kMaxSize), m.direction, Within(m.style, 0, kMaxStyle),
       m.lifeLeft, Within(m.speed, -kMaxSpeed, kMaxSpeed), m.behaviour, m.turnRate,
       Within(m.driftX, -kMaxSpeed, kMaxSpeed), Within(m.driftY, -kMaxSpeed, kMaxSpeed), m.guid,
       Within(m.acceleration, -kMaxSpeed, kMaxSpeed));
  }
  bool operator==(const ProjectileFields&) const = default;
};
using ProjectileFull = ProjectileFields<kProjectileFull>;
using ProjectileNew = ProjectileFields<kProjectileNew>;

// 60: a projectile is gone.
struct ProjectileRemove {
  static constexpr char id = kProjectileRemove;
  float owner = 0, guid = 0;
  template <class IO, class M>
  static void Fields(IO& io, M& m) {
    io(m.owner, m.guid);
  }
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
  template <class IO, class M>
  static void Fields(IO& io, M& m) {
    io(m.guid, Within(m.x, -kMaxCoordinate, kMaxCoordinate),
       Within(m.y, -kMaxCoordinate, kMaxCoordinate), m.angle, m.upHeld, m.bounty,
       Within(m.vx, -kMaxSpeed, kMaxSpeed), Within(m.vy, -kMaxSpeed, kMaxSpeed), m.downHeld,
       m.leftHeld, m.rightHeld);
  }
  bool operator==(const ShortState&) const = default;
};

// 63: the moving parts of a projectile's state.
struct ProjectileShort {
  static constexpr char id = kProjectileShort;
  float owner = 0, x = 0, y = 0, direction = 0;
  int lifeLeft = 0;
  float turnRate = 0, driftX = 0, driftY = 0;
  float guid = 0;
  template <class IO, class M>
  static void Fields(IO& io, M& m) {
    io(m.owner, Within(m.x, -kMaxCoordinate, kMaxCoordinate),
       Within(m.y, -kMaxCoordinate, kMaxCoordinate), m.direction, m.lifeLeft, m.turnRate,
       Within(m.driftX, -kMaxSpeed, kMaxSpeed), Within(m.driftY, -kMaxSpeed, kMaxSpeed), m.guid);
  }
  bool operator==(const ProjectileShort&) const = default;
};

// Writes fields by their wire codes.
class FieldWriter {
 public:
  explicit FieldWriter(BitStream& out) : out(out) {}
  template <class... T>
  void operator()(const T&... fields) {
    (Put(fields), ...);
  }
  // A list longer than `max` sends its first max - 1 entries and its last.
  template <class E>
  void List(const std::vector<E>& entries, int max) {
    const size_t n = entries.size(), cap = static_cast<size_t>(max);
    Put(static_cast<int>(n > cap ? cap : n));
    for (size_t i = 0; i < n; ++i)
      if (n <= cap || i < cap - 1 || i == n - 1) E::Fields(*this, entries[i]);
  }

 private:
  void Put(float v) { out.WriteCompressed(v); }
  void Put(int v) { out.WriteCompressed(v); }
  void Put(bool v) { out.Write(v); }
  void Put(const std::string& v) { out.WriteString(v); }
  template <class T>
  void Put(const Bounded<T>& b) {
    Put(b.value);
  }
  BitStream& out;
};

// Reads fields by their wire codes. `ok` stays false once any field was
// missing or a number was not finite: a NaN or infinity from the wire would
// spread through positions and collisions, so such a message is dropped whole.
class FieldReader {
 public:
  explicit FieldReader(BitStream& in) : in(in) {}
  bool ok = true;
  template <class... T>
  void operator()(T&&... fields) {
    (Take(fields), ...);
  }
  // A count above `max` refuses the message.
  template <class E>
  void List(std::vector<E>& entries, int max) {
    entries.clear();
    int count = 0;
    Take(count);
    if (count < 0 || count > max) ok = false;
    for (int i = 0; i < count && ok; ++i) {
      E e;
      E::Fields(*this, e);
      if (ok) entries.push_back(std::move(e));
    }
  }

 private:
  void Take(float& v);
  void Take(int& v);
  void Take(bool& v);
  void Take(std::string& v);
  template <class T>
  void Take(const Bounded<T>& b) {
    Take(b.value);
    ok = ok && b.low <= b.value && b.value <= b.high;
  }
  BitStream& in;
};

template <class M>
void Write(BitStream& out, const M& m) {
  out.Write(M::id);
  FieldWriter writer(out);
  M::Fields(writer, m);
}

template <class M>
bool Read(BitStream& in, M& m) {
  FieldReader reader(in);
  M::Fields(reader, m);
  return reader.ok;
}

// Reads from the packet being handled.
template <class M>
bool Read(NetworkHandler& net, M& m) {
  return Read(net.incoming, m);
}

// Writes the message into the handler's outgoing message, sends it and
// clears it.
template <class M>
void Send(NetworkHandler& net, const M& m, Delivery delivery) {
  Write(net.outgoing, m);
  net.Send(delivery);
}

}  // namespace msg
