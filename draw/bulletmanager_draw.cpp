// The local player's projectiles' drawing, apart from the simulation (a
// host without a screen links the simulation alone).
#include "draw/bulletmanager_draw.h"

#include "draw/shot_draw.h"
#include "render/shaderlibrary.h"
#include "sim/bulletmanager.h"

void BulletView::InitMe(const BulletManager* bullets, TextureLibrary* textures,
                        ShaderLibrary* shaders, RenderSort* sorter) {
  bullets_ = bullets;
  textures_ = textures;
  shaders_ = shaders;
  sorter_ = sorter;
  drawingReady_ = false;
}

// At the first draw after InitMe.
void BulletView::PrepareDrawing() {
  if (drawingReady_) return;
  sprite_.InitMe(0, 0, 1, 1, 0.5f, 0.5f, 1, 1, textures_, sorter_);
  layer.InitMe(textures_, nullptr);
  drawingReady_ = true;
}

// Keyed by the masking program as single sprites were; one array draw per
// texture keeps a crowded arena cheap, and what is off screen is never drawn.
void BulletView::RenderMe(bool secondPass) {
  PrepareDrawing();
  layer.Reset();
  layer.CameraOf(sorter_);
  for (const BulletManager::Bullet& b : bullets_->bullets)
    if (b.active)
      DrawShot({b.style, b.texture, b.x, b.y, b.width, b.height, b.direction, b.lifeLeft},
               secondPass, sprite_, layer);
  if (shaders_) shaders_->ShaderMasking();
  layer.RenderSlow();
  if (shaders_) shaders_->ShadersOff();
}
