// SpaceShip's drawing and its camera's projection, apart from the
// simulation (a host without a screen links the simulation alone).
#include "draw/spaceship_draw.h"

#include <GL/gl.h>

#include <cmath>

#include "base/angle.h"
#include "base/gameutilities.h"
#include "sim/spaceship.h"

namespace {

// Hull and energy bars: green above 60 %, yellow above 30 %, red above 0.
int BarTexture(float ratio) {
  if (ratio > 0.6f) return 16;
  if (ratio > 0.3f) return 15;
  if (ratio > 0.0f) return 14;
  return -1;
}

// Camera size scale for a ship of size d: a 128-unit ship has 1.
float SizeScale(float d) { return std::pow(d / 128.0f, 0.25f); }

// One step of a camera side toward its target: it moves only when the target
// lies outside the margin, so small speed changes do not make it breathe.
float StepToward(float current, float target, float margin, float step) {
  if (target > current + margin) current += step;
  if (current - margin > target) current -= step;
  return current;
}

// The camera size the ship's speed asks for: wider the faster it flies.
void CameraTarget(const SpaceShip& ship, float& w, float& h) {
  // A hull with no speed limit set yet zooms as if at rest.
  const float ratio =
      ship.maxSpeed > 0 ? (std::fabs(ship.vx) + std::fabs(ship.vy)) / ship.maxSpeed : 0.0f;
  w = SizeScale(ship.width) * (ratio * 1024 + 2048);
  h = SizeScale(ship.height) * (ratio * 768 + 1536);
}

}  // namespace

void ShipView::InitMe(const SpaceShip* ship, TextureLibrary* textures, RenderSort* sorter,
                      float* cameraWidth, float* cameraHeight) {
  ship_ = ship;
  textures_ = textures;
  sorter_ = sorter;
  cameraWidth_ = cameraWidth;
  cameraHeight_ = cameraHeight;
  drawingReady_ = false;
}

void ShipView::GetCamera(float& cx, float& cy, float& w, float& h) const {
  float tw, th;
  CameraTarget(*ship_, tw, th);
  cx = ship_->x;
  cy = ship_->y;
  w = StepToward(*cameraWidth_, tw, 64, 8);
  h = StepToward(*cameraHeight_, th, 48, 6);
}

void ShipView::ResetCamera() {
  float x, y;
  GetCamera(x, y, *cameraWidth_, *cameraHeight_);
  const float w = *cameraWidth_, h = *cameraHeight_;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(x - w / 2, x + w / 2, y + h / 2, y - h / 2, -10, 10);
  glMatrixMode(GL_MODELVIEW);
}

// At the first draw after InitMe.
void ShipView::PrepareDrawing() {
  if (drawingReady_) return;
  sprite_.InitMe(0, 0, 128, 128, 0.5f, 0.5f, 1, 1, textures_, sorter_);
  drawingReady_ = true;
}

void ShipView::RenderBar(float bx, float by, float ratio, float barWidth, float barHeight) {
  PrepareDrawing();
  const int texture = BarTexture(ratio);
  if (texture < 0) return;
  sprite_.ChangeSize(barWidth, barHeight);
  sprite_.RenderSorted(bx, by, 0, 0, 1, 1, 1, 1, texture, false, false);
}

void ShipView::RenderMe() {
  PrepareDrawing();
  const SpaceShip& ship = *ship_;
  if (!ship.alive) return;
  const float x = ship.x, y = ship.y, width = ship.width, height = ship.height;
  sprite_.ChangeSize(width, height);
  sprite_.RenderSorted(x, y, 0, 90 - ship.angle, 1, 1, 1, 1, ship.shipTexture, false, false);

  const float hullRatio = ship.maxHp > 0 ? static_cast<float>(ship.hp) / ship.maxHp : 0.0f;
  const float energyRatio =
      ship.maxEnergy > 0 ? static_cast<float>(ship.energy) / ship.maxEnergy : 0.0f;
  RenderBar(x, y - height / 2 - 16, hullRatio, hullRatio * width, width / 16);
  RenderBar(x, y + height / 2 + 16, energyRatio, energyRatio * width, width / 16);

  const float barX[4] = {x - height / 2 - 32, x - height / 2 - 16, x + height / 2 + 16,
                         x + height / 2 + 32};
  for (int i = 0; i < 4; ++i) {
    const Weapon& w = ship.weapons[i];
    // Weapons without a charge-up have no charge to show.
    const float ratio =
        w.chargeThreshold > 0 ? static_cast<float>(w.chargeCount) / w.chargeThreshold : 0.0f;
    RenderBar(barX[i], y, ratio, 8, ratio * width);
  }
}

void ShipView::RenderEngine(int) {
  PrepareDrawing();
  const SpaceShip& ship = *ship_;
  if (!ship.alive) return;
  const float width = ship.width, angle = ship.angle;
  const float r = ship.utilities->VisualRandom(0.95f, 1.05f);
  const float f = r * (std::fabs(ship.vx) + std::fabs(ship.vy)) * (width / 128);
  if (f <= 0) return;
  const float c = std::cos(angle * kDegToRad), s = std::sin(angle * kDegToRad);
  sprite_.ChangeSize(f, 4 * f);
  sprite_.RenderSorted(ship.x - c * (0.25f * width + 2 * f),
                       ship.y + s * (width * 31 / 128 + 2 * f), 0, 90 - angle, 1, 1, 1, 1, 22,
                       false, false);
}

void ShipView::RenderFrozenEnergy() {
  PrepareDrawing();
  const SpaceShip& ship = *ship_;
  if (ship.frozenFrames <= 0) return;
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  sprite_.ChangeSize(ship.width, ship.height);
  sprite_.RenderMeQuads(ship.x, ship.y, 0, 18.0f * ship.spinPhase, 0.4f, 1, 1, 1, 4,
                        ship.spinPhase);
  glDisable(GL_BLEND);
}
