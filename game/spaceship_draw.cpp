// SpaceShip's drawing and its camera's projection, apart from the
// simulation (a host without a screen links the simulation alone).
#include "game/spaceship.h"

#include <GL/gl.h>

#include <cmath>

#include "game/gameutilities.h"
#include "render/angle.h"

namespace {

// Hull and energy bars: green above 60 %, yellow above 30 %, red above 0.
int BarTexture(float ratio) {
  if (ratio > 0.6f) return 16;
  if (ratio > 0.3f) return 15;
  if (ratio > 0.0f) return 14;
  return -1;
}

}  // namespace

void SpaceShip::ResetCamera() {
  float cx, cy;
  GetCamera(cx, cy, *cameraWidth, *cameraHeight);
  const float w = *cameraWidth, h = *cameraHeight;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(x - w / 2, x + w / 2, y + h / 2, y - h / 2, -10, 10);
  glMatrixMode(GL_MODELVIEW);
}

// At the first draw after InitMe. The hull picker calls InitMe again after
// start-up handed the sorter over: the sprite keeps it, or the next sorted
// draw would have nowhere to go.
void SpaceShip::PrepareDrawing() {
  if (drawingReady_) return;
  if (sorter)
    sprite.InitMe(0, 0, 128, 128, 0.5f, 0.5f, 1, 1, textures, sorter);
  else
    sprite.InitMe(0, 0, 128, 128, 0.5f, 0.5f, 1, 1, textures);
  drawingReady_ = true;
}

void SpaceShip::RenderBar(float bx, float by, float ratio, float barWidth, float barHeight) {
  PrepareDrawing();
  const int texture = BarTexture(ratio);
  if (texture < 0) return;
  sprite.ChangeSize(barWidth, barHeight);
  sprite.RenderSorted(bx, by, 0, 0, 1, 1, 1, 1, texture, false, false);
}

void SpaceShip::RenderMe() {
  PrepareDrawing();
  if (!alive) return;
  sprite.ChangeSize(width, height);
  sprite.RenderSorted(x, y, 0, 90 - angle, 1, 1, 1, 1, shipTexture, false, false);

  const float hullRatio = maxHp > 0 ? static_cast<float>(hp) / maxHp : 0.0f;
  const float energyRatio = maxEnergy > 0 ? static_cast<float>(energy) / maxEnergy : 0.0f;
  RenderBar(x, y - height / 2 - 16, hullRatio, hullRatio * width, width / 16);
  RenderBar(x, y + height / 2 + 16, energyRatio, energyRatio * width, width / 16);

  const float barX[4] = {x - height / 2 - 32, x - height / 2 - 16, x + height / 2 + 16,
                         x + height / 2 + 32};
  for (int i = 0; i < 4; ++i) {
    const Weapon& w = weapons[i];
    // Weapons without a charge-up have no charge to show.
    const float ratio = w.chargeThreshold > 0
                            ? static_cast<float>(w.chargeCount) / w.chargeThreshold
                            : 0.0f;
    RenderBar(barX[i], y, ratio, 8, ratio * width);
  }
}

void SpaceShip::RenderEngine(int) {
  PrepareDrawing();
  if (!alive) return;
  const float r = utilities->VisualRandom(0.95f, 1.05f);
  const float f = r * (std::fabs(vx) + std::fabs(vy)) * (width / 128);
  if (f <= 0) return;
  const float c = std::cos(angle * kDegToRad), s = std::sin(angle * kDegToRad);
  sprite.ChangeSize(f, 4 * f);
  sprite.RenderSorted(x - c * (0.25f * width + 2 * f), y + s * (width * 31 / 128 + 2 * f), 0,
                      90 - angle, 1, 1, 1, 1, 22, false, false);
}

void SpaceShip::RenderFrozenEnergy() {
  PrepareDrawing();
  if (frozenFrames <= 0) return;
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  sprite.ChangeSize(width, height);
  sprite.RenderMeQuads(x, y, 0, 18.0f * spinPhase, 0.4f, 1, 1, 1, 4, spinPhase);
  glDisable(GL_BLEND);
}
