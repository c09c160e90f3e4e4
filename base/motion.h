// Motion: one frame of flight for ships and projectiles. The local ship, the
// computer players, the opponent table's dead reckoning and the network's
// latency correction all step through these two functions, so a copy that
// predicts a ship or a projectile moves it by the same arithmetic as the copy
// that owns it.
//
// The rules below are the differences between those users that are real:
// - the owner of a ship or projectile keeps its heading in [0, 360]; copies
//   carry the heading as it was received (`wrap`);
// - the afterburner thrusts twice (`boost`; the caller raises the limit);
// - a ship whose limit is not known (a row not yet fully described, a relay
//   for an unknown sender) has no drag (`drag`);
// - a projectile accelerates for its first kAccelerationFrames of age
//   (base/timing.h), counted by the owner and worked out from the age by the
//   copies (`accelerate`).
// Positions of local ships are the caller's: they move against the walls.
#pragma once

struct ShipControls {
  bool left = false, right = false, up = false, down = false;
};

struct ShipRules {
  float limit = 0;  // drag acts above this sum of |vx| + |vy|
  bool drag = true;
  bool boost = false;
  bool wrap = false;
};

// Turns (right first, then left: both together cancel), thrusts, brakes and
// drags one frame. Returns true when the drag acted.
bool SteerShip(float& angle, float& vx, float& vy, const ShipControls& keys,
               const ShipRules& rules);

struct ProjectileRules {
  bool wrap = false;
  bool accelerate = false;  // add `acceleration` along the heading this frame
  float acceleration = 0;
};

// The projectile's move of one frame (the heading already turned): the drift
// grows first, then (x, y) moves along the heading and by the drift, y
// downwards. Returns the move, so a wall contact can undo it.
struct ProjectileStep {
  float x, y;  // y upwards: the position's y went down by it
};
ProjectileStep MoveProjectile(float& x, float& y, float& direction, float& driftX, float& driftY,
                              float speed, const ProjectileRules& rules);
