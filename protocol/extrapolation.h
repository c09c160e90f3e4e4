// Latency correction: what a relaying host and a receiving client do to a
// ship or projectile that was true `frames` frames ago. Both roles of the
// game protocol and the dedicated host advance by these, with the same flight
// rules every copy moves ships and projectiles by (base/motion.h).
#pragma once

#include <algorithm>

#include "base/timing.h"

// Frames of latency correction at most (one second one way): a peer can
// delay its own pongs, and every frame of correction is work per message.
inline constexpr int kMaxCorrectionFrames = kFramesPerSecond;

// The frames a message spent on the way when the one-way latency is `ms`.
inline int CorrectionFramesFor(int ms) {
  return std::clamp(ms / kFrameStepMs, 0, kMaxCorrectionFrames);
}

struct ShipMotion {
  float x = 0, y = 0, angle = 0, vx = 0, vy = 0;
  bool upHeld = false, downHeld = false, leftHeld = false, rightHeld = false;
};
// `drag`: apply the slow-down above `limit` (false when no limit is known).
void ExtrapolateShip(ShipMotion& s, int frames, float limit, bool drag);

struct ProjectileMotion {
  float x = 0, y = 0, direction = 0, turnRate = 0, driftX = 0, driftY = 0;
};
// `speed` along the heading; `acceleration` is added to the drift each step
// (0 on the host, which relays what the shooter said).
void ExtrapolateProjectile(ProjectileMotion& p, int frames, float speed, float acceleration);
