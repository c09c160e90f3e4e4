// ExplosionManager's drawing, apart from the simulation (a host without a
// screen links the simulation alone).
#include "draw/explosionmanager_draw.h"

#include <GL/gl.h>

#include "render/shaderlibrary.h"
#include "sim/explosionmanager.h"

void ExplosionView::InitMe(ExplosionManager* explosions, TextureLibrary* textures,
                           ShaderLibrary* shaders) {
  explosions_ = explosions;
  textures_ = textures;
  shaders_ = shaders;
  drawingReady_ = false;
}

// At the first draw after InitMe: every explosion is drawn until a camera is
// given.
void ExplosionView::PrepareDrawing() {
  if (drawingReady_) return;
  layer.InitMe(textures_, nullptr);
  layer.CameraRect(0, 0, RenderSort::kEverywhere, RenderSort::kEverywhere);
  drawingReady_ = true;
}

void ExplosionView::CameraRect(float x, float y, float width, float height) {
  PrepareDrawing();
  layer.CameraRect(x, y, width, height);
}

void ExplosionView::RenderExplosions() {
  PrepareDrawing();
  if (shaders_) shaders_->ShaderMasking();
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);  // additive light
  explosions_->AgeExplosions();
  layer.Reset();
  // Frames 1 .. frames-1 of the loop; frame 0 is never shown. Additive light
  // adds up the same in any order, so grouping by frame changes nothing.
  for (const ExplosionManager::Explosion& e : explosions_->list)
    if (e.active)
      layer.AddLoopQuad(e.loopSlot, e.frames - e.framesLeft, e.x, e.y, e.width / 2, e.height / 2);
  layer.RenderSlow();
  glDisable(GL_BLEND);
  if (shaders_) shaders_->ShadersOff();
}
