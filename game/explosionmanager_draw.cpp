// ExplosionManager's drawing, apart from the simulation (a host without a
// screen links the simulation alone).
#include "game/explosionmanager.h"

#include <GL/gl.h>

#include "render/shaderlibrary.h"

// At the first draw after InitMe: every explosion is drawn until a camera is
// given.
void ExplosionManager::PrepareDrawing() {
  if (drawingReady_) return;
  layer.InitMe(textures, nullptr);
  layer.CameraRect(0, 0, RenderSort::kEverywhere, RenderSort::kEverywhere);
  drawingReady_ = true;
}

void ExplosionManager::CameraRect(float x, float y, float width, float height) {
  PrepareDrawing();
  layer.CameraRect(x, y, width, height);
}

void ExplosionManager::RenderExplosions() {
  PrepareDrawing();
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
