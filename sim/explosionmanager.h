// ExplosionManager: every short animation in the world (blasts, smoke
// puffs, muzzle flashes). Each is a looped texture played once, frame by
// frame, as an additive quad at a fixed place (one instance: Explosions).
// ExplosionView (draw/explosionmanager_draw.h) draws them.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/freeslots.h"

class Outbox;

class ExplosionManager {
 public:
  // Kept small: a big fight holds tens of thousands of smoke puffs, and
  // every frame adds thousands of them and ages them all.
  struct Explosion {
    float x = 0, y = 0;  // centre
    float width = 0, height = 0;
    int loopSlot = 0;  // looped texture played
    std::uint8_t framesLeft = 0;
    std::uint8_t frames = 0;  // total duration, at most kMaxFrames
    bool active = false;
  };
  static constexpr int kMaxFrames = 255;

  Outbox* outbox = nullptr;     // what this object has to tell the other copies
  std::vector<Explosion> list;  // slots are reused, never removed

  // Where announced explosions are posted (none: announced to nobody).
  void InitMe(Outbox* outbox);
  // With send set, also announces it to the other peers (message 56). The
  // duration is held to 0 .. kMaxFrames.
  void AddExplosion(float x, float y, float width, float height, int loopSlot, int frames,
                    bool send);
  // Ages every explosion by one frame: an explosion of n frames ends at the
  // n-th (ExplosionView::RenderExplosions ages them as it draws).
  void AgeExplosions();
  void Clear();

 private:
  FreeSlots free_;  // the spent slots of `list`

  void PostExplosion(const Explosion& e);
};
