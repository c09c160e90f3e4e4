// What the HUD tells of the fight: the slot line (what each key fires, grey
// while it cannot), a marker while the local projectiles hurt another ship,
// and a red edge with its own sound when the local ship is hurt. A few
// quads and five text lines a frame.
#include <GL/gl.h>

#include <algorithm>
#include <string>

#include "app/assetslots.h"
#include "app/drawall.h"
#include "app/drawall_internal.h"
#include "app/gameobjects.h"
#include "app/playercontrols.h"
#include "app/shop.h"
#include "platform/soundmanager.h"
#include "render/defaultsprite.h"
#include "render/text.h"
#include "render/textureslots.h"
#include "sim/enemymanager.h"
#include "sim/spaceship.h"

using drawall_detail::AlphaBlending;
using drawall_detail::PopProjection;
using drawall_detail::PushScreenProjection;

namespace {

constexpr int kMarkerFrames = 10, kFlashFrames = 10, kHurtSoundGap = 12;
constexpr int kSlotColumns = 5, kColumnChars = 20;
constexpr float kSlotLineY = 80;  // text y: above the chat line and the log

int markerLeft = 0, flashLeft = 0, soundWait = 0;

bool UtilityReady(const SpaceShip& ship) {
  const UtilityItem& u = ship.utility;
  if (u.cooldown > 0) return false;
  switch (u.shiftKind) {
    case 1: return ship.hp > 10;
    case 2: return ship.energy > 100;
    case 3: return ship.energy >= 26;
    case 4: return ship.energy > 500;
    default: return false;
  }
}

// "Z Laser", cut to its column.
std::string SlotText(Action action, const std::string& name) {
  std::string text = KeyName(PlayerControls().Key(action)) + " " + (name.empty() ? "none" : name);
  return text.substr(0, kColumnChars - 1);
}

void Quad(float cx, float cy, float w, float h, float angle, float r, float g, float b, float a) {
  MiniMap.ChangeSize(w, h);
  MiniMap.RenderMeQuads(cx, cy, 0, angle, a, r, g, b, kWhiteQuadTexture);
}

void DrawMarkerAndFlash() {
  if (markerLeft <= 0 && flashLeft <= 0) return;
  PushScreenProjection(-1, 1);
  glPushMatrix();
  glLoadIdentity();
  AlphaBlending(true);
  if (markerLeft > 0) {
    // Four ticks pointing at the ship in the middle of the frame.
    const float a = static_cast<float>(markerLeft) / kMarkerFrames;
    for (int k = 0; k < 4; ++k) {
      const float dx = (k & 1) ? 30.f : -30.f, dy = (k & 2) ? 30.f : -30.f;
      Quad(512 + dx, 384 + dy, 16, 3, (k == 0 || k == 3) ? 45.f : -45.f, 1, 0.9f, 0.3f, a);
    }
  }
  if (flashLeft > 0) {
    const float a = 0.45f * static_cast<float>(flashLeft) / kFlashFrames;
    constexpr float t = 24;
    Quad(512, t / 2, 1024, t, 0, 1, 0.1f, 0.05f, a);
    Quad(512, 768 - t / 2, 1024, t, 0, 1, 0.1f, 0.05f, a);
    Quad(t / 2, 384, t, 768 - 2 * t, 0, 1, 0.1f, 0.05f, a);
    Quad(1024 - t / 2, 384, t, 768 - 2 * t, 0, 1, 0.1f, 0.05f, a);
  }
  AlphaBlending(false);
  glPopMatrix();
  PopProjection();
}

}  // namespace

void TrackFightFeedback() {
  markerLeft = std::max(markerLeft - 1, 0);
  flashLeft = std::max(flashLeft - 1, 0);
  soundWait = std::max(soundWait - 1, 0);
  // This frame's damage stays in the table until the next frame's step.
  for (const EnemyManager::player& p : Enemies.players)
    if (p.hullDamage > 0 || p.energyDamage > 0) markerLeft = kMarkerFrames;
  if (Player.alive && (Enemies.myHullDamage > 0 || Enemies.myEnergyDamage > 0)) {
    flashLeft = kFlashFrames;
    if (soundWait == 0) {
      Sounds.PlaySoundA(HurtSoundSlot());
      soundWait = kHurtSoundGap;
    }
  }
}

void DrawFightFeedback() {
  if (!Player.alive) return;
  for (int slot = 0; slot < kSlotColumns; ++slot) {
    std::string text;
    bool ready = true;
    if (slot < 4) {
      const Weapon& w = Player.weapons[slot];
      text = SlotText(static_cast<Action>(static_cast<int>(Action::kFire1) + slot), w.name);
      ready = w.cooldown <= 0 && Player.energy >= w.energyCost;
    } else {
      text = SlotText(Action::kUtility, ShiftItemName(Player.utility.GetShift()));
      ready = UtilityReady(Player);
    }
    const float grey = ready ? 1.0f : 0.45f;
    PrintTextOutlined(static_cast<float>(slot * kColumnChars) * kGlyphAdvance + 2, kSlotLineY,
                      text.c_str(), grey, grey, ready ? 1.0f : 0.45f);
  }
  DrawMarkerAndFlash();
}
