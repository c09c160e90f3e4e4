#include "net/messages.h"

#include <cmath>

namespace msg {
namespace {

// Field writers by wire code (f, i, b, s).
struct Out {
  BitStream& s;
  void F(float v) { s.WriteCompressed(v); }
  void I(int v) { s.WriteCompressed(v); }
  void B(bool v) { s.Write(v); }
  void S(const std::string& v) { s.WriteString(v); }
};

// Field readers by wire code. `ok` stays false once any field was missing or
// a number was not finite: a NaN or infinity from the wire would spread
// through positions and collisions, so such a message is dropped whole.
struct In {
  BitStream& s;
  bool ok = true;
  void F(float& v) { ok &= s.ReadCompressed(v) && std::isfinite(v); }
  void I(int& v) { ok &= s.ReadCompressed(v); }
  void B(bool& v) { ok &= s.Read(v); }
  void S(std::string& v) { ok &= s.ReadString(v); }
};

Out Begin(BitStream& out, char id) {
  out.Write(id);
  return Out{out};
}

template <char Id>
void WriteProjectile(BitStream& out, const ProjectileFields<Id>& m) {
  Out o = Begin(out, Id);
  o.F(m.owner), o.I(m.texture), o.F(m.x), o.F(m.y), o.F(m.width), o.F(m.height);
  o.F(m.direction), o.F(m.style), o.I(m.lifeLeft), o.F(m.speed), o.I(m.behaviour);
  o.F(m.turnRate), o.F(m.driftX), o.F(m.driftY), o.F(m.guid), o.F(m.acceleration);
}

template <char Id>
bool ReadProjectile(BitStream& in, ProjectileFields<Id>& m) {
  In r{in};
  r.F(m.owner), r.I(m.texture), r.F(m.x), r.F(m.y), r.F(m.width), r.F(m.height);
  r.F(m.direction), r.F(m.style), r.I(m.lifeLeft), r.F(m.speed), r.I(m.behaviour);
  r.F(m.turnRate), r.F(m.driftX), r.F(m.driftY), r.F(m.guid), r.F(m.acceleration);
  return r.ok;
}

}  // namespace

void Write(BitStream& out, const Join& m) {
  Out o = Begin(out, m.id);
  o.S(m.name), o.F(m.guid);
}

void Write(BitStream& out, const FullState& m) {
  Out o = Begin(out, m.id);
  o.F(m.guid), o.F(m.x), o.F(m.y), o.F(m.angle), o.B(m.alive), o.B(m.upHeld);
  o.I(m.frozenFrames), o.I(m.bounty), o.F(m.width), o.F(m.height), o.I(m.shipTexture);
  o.F(m.vx), o.F(m.vy), o.F(m.maxSpeed), o.B(m.downHeld), o.B(m.leftHeld), o.B(m.rightHeld);
}

void Write(BitStream& out, const DamageReport& m) {
  Out o = Begin(out, m.id);
  o.F(m.attacker), o.F(m.victim), o.F(m.hullDamage), o.F(m.energyDamage);
}

void Write(BitStream& out, const KillReport& m) {
  Out o = Begin(out, m.id);
  o.F(m.victim), o.F(m.killer), o.I(m.bounty);
}

void Write(BitStream& out, const Roster& m) {
  Out o = Begin(out, m.id);
  // Receivers refuse longer lists; keep the host's own entry, which is last.
  const size_t n = m.entries.size();
  const size_t max = Roster::kMaxEntries;
  o.I(static_cast<int>(n > max ? max : n));
  for (size_t i = 0; i < n; ++i) {
    if (n > max && i >= max - 1 && i != n - 1) continue;
    o.S(m.entries[i].name), o.F(m.entries[i].guid);
  }
}

void Write(BitStream& out, const Chat& m) { Begin(out, m.id).S(m.text); }

void Write(BitStream& out, const Explosion& m) {
  Out o = Begin(out, m.id);
  o.F(m.x), o.F(m.y), o.F(m.width), o.F(m.height), o.I(m.loopSlot), o.I(m.frames);
}

void Write(BitStream& out, const Freeze& m) {
  Out o = Begin(out, m.id);
  o.F(m.victim), o.I(m.frames);
}

void Write(BitStream& out, const Leave& m) {
  Out o = Begin(out, m.id);
  o.F(m.guid), o.B(m.hostLeaving);
}

void Write(BitStream& out, const ProjectileFull& m) { WriteProjectile(out, m); }
void Write(BitStream& out, const ProjectileNew& m) { WriteProjectile(out, m); }

void Write(BitStream& out, const ProjectileRemove& m) {
  Out o = Begin(out, m.id);
  o.F(m.owner), o.F(m.guid);
}

void Write(BitStream& out, const ShortState& m) {
  Out o = Begin(out, m.id);
  o.F(m.guid), o.F(m.x), o.F(m.y), o.F(m.angle), o.B(m.upHeld), o.I(m.bounty);
  o.F(m.vx), o.F(m.vy), o.B(m.downHeld), o.B(m.leftHeld), o.B(m.rightHeld);
}

void Write(BitStream& out, const ProjectileShort& m) {
  Out o = Begin(out, m.id);
  o.F(m.owner), o.F(m.x), o.F(m.y), o.F(m.direction), o.I(m.lifeLeft);
  o.F(m.turnRate), o.F(m.driftX), o.F(m.driftY), o.F(m.guid);
}

bool Read(BitStream& in, Join& m) {
  In r{in};
  r.S(m.name), r.F(m.guid);
  return r.ok;
}

bool Read(BitStream& in, FullState& m) {
  In r{in};
  r.F(m.guid), r.F(m.x), r.F(m.y), r.F(m.angle), r.B(m.alive), r.B(m.upHeld);
  r.I(m.frozenFrames), r.I(m.bounty), r.F(m.width), r.F(m.height), r.I(m.shipTexture);
  r.F(m.vx), r.F(m.vy), r.F(m.maxSpeed), r.B(m.downHeld), r.B(m.leftHeld), r.B(m.rightHeld);
  return r.ok;
}

bool Read(BitStream& in, DamageReport& m) {
  In r{in};
  r.F(m.attacker), r.F(m.victim), r.F(m.hullDamage), r.F(m.energyDamage);
  return r.ok;
}

bool Read(BitStream& in, KillReport& m) {
  In r{in};
  r.F(m.victim), r.F(m.killer), r.I(m.bounty);
  return r.ok;
}

bool Read(BitStream& in, Roster& m) {
  m.entries.clear();
  In r{in};
  int count = 0;
  r.I(count);
  if (!r.ok || count < 0 || count > Roster::kMaxEntries) return false;
  for (int i = 0; i < count && r.ok; ++i) {
    Roster::Entry e;
    r.S(e.name), r.F(e.guid);
    if (r.ok) m.entries.push_back(std::move(e));
  }
  return r.ok;
}

bool Read(BitStream& in, Chat& m) {
  In r{in};
  r.S(m.text);
  return r.ok;
}

bool Read(BitStream& in, Explosion& m) {
  In r{in};
  r.F(m.x), r.F(m.y), r.F(m.width), r.F(m.height), r.I(m.loopSlot), r.I(m.frames);
  return r.ok;
}

bool Read(BitStream& in, Freeze& m) {
  In r{in};
  r.F(m.victim), r.I(m.frames);
  return r.ok;
}

bool Read(BitStream& in, Leave& m) {
  In r{in};
  r.F(m.guid), r.B(m.hostLeaving);
  return r.ok;
}

bool Read(BitStream& in, ProjectileFull& m) { return ReadProjectile(in, m); }
bool Read(BitStream& in, ProjectileNew& m) { return ReadProjectile(in, m); }

bool Read(BitStream& in, ProjectileRemove& m) {
  In r{in};
  r.F(m.owner), r.F(m.guid);
  return r.ok;
}

bool Read(BitStream& in, ShortState& m) {
  In r{in};
  r.F(m.guid), r.F(m.x), r.F(m.y), r.F(m.angle), r.B(m.upHeld), r.I(m.bounty);
  r.F(m.vx), r.F(m.vy), r.B(m.downHeld), r.B(m.leftHeld), r.B(m.rightHeld);
  return r.ok;
}

bool Read(BitStream& in, ProjectileShort& m) {
  In r{in};
  r.F(m.owner), r.F(m.x), r.F(m.y), r.F(m.direction), r.I(m.lifeLeft);
  r.F(m.turnRate), r.F(m.driftX), r.F(m.driftY), r.F(m.guid);
  return r.ok;
}

}  // namespace msg
