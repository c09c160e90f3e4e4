#include "game/explosionmanager.h"

#include <GL/gl.h>

#include "net/messages.h"
#include "net/networkhandler.h"
#include "render/shaderlibrary.h"

void ExplosionManager::InitMe(GlWrapper* utilities_, TextureLibrary* textures_,
                              ShaderLibrary* shaders_, NetworkHandler* network_) {
  utilities = utilities_;
  textures = textures_;
  shaders = shaders_;
  network = network_;
  layer.InitMe(textures, nullptr);
  layer.CameraRect(0, 0, RenderSort::kEverywhere, RenderSort::kEverywhere);
}

void ExplosionManager::CameraRect(float x, float y, float width, float height) {
  layer.CameraRect(x, y, width, height);
}

void ExplosionManager::AddExplosion(float x, float y, float width, float height, int loopSlot,
                                    int frames, bool send) {
  Explosion e;
  e.active = true;
  e.x = x;
  e.y = y;
  e.width = width;
  e.height = height;
  e.loopSlot = loopSlot;
  e.framesLeft = frames;
  e.frames = frames;
  if (send) SendExplosion(e);
  const int slot = free_.Take();
  if (slot == static_cast<int>(list.size()))
    list.push_back(e);
  else
    list[slot] = e;
}

void ExplosionManager::AgeExplosions() {
  for (int i = 0; i < static_cast<int>(list.size()); ++i) {
    Explosion& e = list[i];
    if (e.active && --e.framesLeft < 1) {
      e.active = false;
      free_.Release(i);
    }
  }
}

void ExplosionManager::Clear() {
  list.clear();
  free_.Clear();
}

void ExplosionManager::RenderExplosions() {
  if (shaders) shaders->ShaderMasking();
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);  // additive light
  AgeExplosions();
  layer.Reset();
  // Frames 1 .. frames-1 of the loop; frame 0 is never shown. Additive light
  // adds up the same in any order, so grouping by frame changes nothing.
  for (const Explosion& e : list)
    if (e.active)
      layer.AddLoopQuad(e.loopSlot, e.frames - e.framesLeft, e.x, e.y, e.width / 2,
                        e.height / 2);
  layer.RenderSlow();
  glDisable(GL_BLEND);
  if (shaders) shaders->ShadersOff();
}

// Other peers add it without re-announcing (message 56, unreliable: a lost
// puff of smoke is not worth a resend).
void ExplosionManager::SendExplosion(const Explosion& e) {
  if (!network) return;
  msg::Explosion m;
  m.x = e.x;
  m.y = e.y;
  m.width = e.width;
  m.height = e.height;
  m.loopSlot = e.loopSlot;
  m.frames = e.frames;
  msg::Send(*network, m, Delivery::Unreliable);
}
