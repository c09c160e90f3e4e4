#include "sim/explosionmanager.h"

#include <algorithm>

#include "net/messages.h"
#include "net/outbox.h"

void ExplosionManager::InitMe(Outbox* outbox_) { outbox = outbox_; }

void ExplosionManager::AddExplosion(float x, float y, float width, float height, int loopSlot,
                                    int frames, bool send) {
  Explosion e;
  e.active = true;
  e.x = x;
  e.y = y;
  e.width = width;
  e.height = height;
  e.loopSlot = loopSlot;
  e.frames = e.framesLeft = static_cast<std::uint8_t>(std::clamp(frames, 0, kMaxFrames));
  if (send) PostExplosion(e);
  const int slot = free_.Take();
  if (slot == static_cast<int>(list.size()))
    list.push_back(e);
  else
    list[slot] = e;
}

void ExplosionManager::AgeExplosions() {
  free_.ForEachTaken([this](int i) {
    Explosion& e = list[i];
    if (!e.active) return;
    // One of 0 frames ends here too (the count is unsigned).
    if (e.framesLeft > 1) {
      --e.framesLeft;
      return;
    }
    e.framesLeft = 0;
    e.active = false;
    free_.Release(i);
  });
}

void ExplosionManager::Clear() {
  list.clear();
  free_.Clear();
}

// Other peers add it without re-announcing (message 56, unreliable: a lost
// puff of smoke is not worth a resend).
void ExplosionManager::PostExplosion(const Explosion& e) {
  if (!outbox) return;
  msg::Explosion m;
  m.x = e.x;
  m.y = e.y;
  m.width = e.width;
  m.height = e.height;
  m.loopSlot = e.loopSlot;
  m.frames = e.frames;
  outbox->Post(m, Delivery::Unreliable);
}
