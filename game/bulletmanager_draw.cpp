// BulletManager's drawing, apart from the simulation (a host without a
// screen links the simulation alone).
#include <cmath>

#include "game/bulletmanager.h"
#include "game/gameutilities.h"
#include "game/shot_draw.h"
#include "render/angle.h"
#include "render/shaderlibrary.h"

// At the first draw after InitMe.
void BulletManager::PrepareDrawing() {
  if (drawingReady_) return;
  sprite.InitMe(0, 0, 1, 1, 0.5f, 0.5f, 1, 1, textures, sorter);
  layer.InitMe(textures, nullptr);
  drawingReady_ = true;
}

// Keyed by the masking program as single sprites were; one array draw per
// texture keeps a crowded arena cheap, and what is off screen is never drawn.
void BulletManager::RenderMe(bool secondPass) {
  PrepareDrawing();
  layer.Reset();
  layer.CameraOf(sorter);
  for (const Bullet& b : bullets)
    if (b.active)
      DrawShot({b.style, b.texture, b.x, b.y, b.width, b.height, b.direction, b.lifeLeft},
               secondPass, sprite, layer);
  shaders->ShaderMasking();
  layer.RenderSlow();
  shaders->ShadersOff();
}
