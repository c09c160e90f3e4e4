// Helpers the host's and the client's handling share: moving a message's
// motion fields through the extrapolation and back.
#pragma once

#include <cmath>

#include "protocol/extrapolation.h"

namespace protocol_detail {

inline bool Finite(const ShipMotion& s) {
  return std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.angle) &&
         std::isfinite(s.vx) && std::isfinite(s.vy);
}

inline bool Finite(const ProjectileMotion& p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.direction) &&
         std::isfinite(p.driftX) && std::isfinite(p.driftY);
}

template <class M>
ShipMotion MotionOf(const M& m) {
  return {m.x, m.y, m.angle, m.vx, m.vy, m.upHeld, m.downHeld, m.leftHeld, m.rightHeld};
}

template <class M>
void SetMotion(M& m, const ShipMotion& s) {
  m.x = s.x, m.y = s.y, m.angle = s.angle, m.vx = s.vx, m.vy = s.vy;
}

template <class M>
ProjectileMotion ProjectileOf(const M& m) {
  return {m.x, m.y, m.direction, m.turnRate, m.driftX, m.driftY};
}

template <class M>
void SetProjectile(M& m, const ProjectileMotion& p) {
  m.x = p.x, m.y = p.y, m.direction = p.direction, m.driftX = p.driftX, m.driftY = p.driftY;
}

}  // namespace protocol_detail
