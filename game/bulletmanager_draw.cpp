// BulletManager's drawing, apart from the simulation (a host without a
// screen links the simulation alone).
#include <cmath>

#include "game/bulletmanager.h"
#include "game/gameutilities.h"
#include "render/angle.h"
#include "render/shaderlibrary.h"

// At the first draw after InitMe.
void BulletManager::PrepareDrawing() {
  if (drawingReady_) return;
  sprite.InitMe(0, 0, 1, 1, 0.5f, 0.5f, 1, 1, textures, sorter);
  layer.InitMe(textures, nullptr);
  drawingReady_ = true;
}

void BulletManager::Layer(int texture, float x, float y, float width, float height,
                          float angle) {
  layer.AddQuad(texture, 0, 0, x, y, width / 2, height / 2, 1, 1, 1, 1, angle, false);
}

void BulletManager::RenderBullet(const Bullet& b, bool secondPass) {
  const float heading = 90 - b.direction;
  switch (b.style) {
    case shotstyle::Beam:
    case shotstyle::LongBeam:
      // Beams stretch along their flight and fade toward their tail.
      sprite.ChangeSize(b.width, (b.style == shotstyle::Beam ? 8 : 16) * b.height);
      sprite.RenderSortedFading(b.x, b.y, 0, heading, 1, 1, 1, 1, b.texture, false, false);
      return;
    case shotstyle::Lightning: {
      if (secondPass) return;
      const float a = b.direction * kDegToRad;
      for (int k = 0; k < 10; ++k) {
        const int texture = b.texture + VisualRand() % 3;
        Layer(texture, b.x - k * b.width * std::cos(a), b.y + k * (b.height / 2) * std::sin(a),
              b.width, b.height, heading);
      }
      return;
    }
    case shotstyle::Mine:
      if (!secondPass) {
        Layer(b.texture, b.x, b.y, b.width, b.height, heading);
      } else if ((b.lifeLeft / 30) % 2 != 0) {
        // The mine's light blinks every 30 frames.
        Layer(3, b.x, b.y, b.width / 2, b.height / 2, heading);
      }
      return;
    case shotstyle::Bomb:
      Layer(b.texture, b.x, b.y, b.width, b.height, 90.0f - 6.0f * b.lifeLeft);
      return;
    case shotstyle::Orb:
      if (secondPass) return;
      Layer(b.texture, b.x, b.y, b.width, b.height, 90.0f + 48.0f * b.lifeLeft);
      return;
    default:
      if (secondPass) return;
      Layer(b.texture, b.x, b.y, b.width, b.height, heading);
      return;
  }
}

// Keyed by the masking program as single sprites were; one array draw per
// texture keeps a crowded arena cheap, and what is off screen is never drawn.
void BulletManager::RenderMe(bool secondPass) {
  PrepareDrawing();
  layer.Reset();
  if (sorter)
    layer.CameraRect(sorter->cameraX, sorter->cameraY, sorter->cameraWidth,
                     sorter->cameraHeight);
  else
    layer.CameraRect(0, 0, RenderSort::kEverywhere, RenderSort::kEverywhere);
  for (const Bullet& b : bullets)
    if (b.active) RenderBullet(b, secondPass);
  shaders->ShaderMasking();
  layer.RenderSlow();
  shaders->ShadersOff();
}
