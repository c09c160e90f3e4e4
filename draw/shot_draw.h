// How a projectile looks, by its drawing style: one table for the local
// player's projectiles and for those of the opponent table.
#pragma once

class DefaultSprite;
class RenderSort;

struct ShotLook {
  int style = 0;  // shotstyle::
  int texture = 0;
  float x = 0, y = 0, width = 0, height = 0;
  float direction = 0;  // degrees of flight
  int lifeLeft = 0;     // frames; bombs and orbs spin with it, mines blink
};

// Beams go through `sprite` (sorted, fading toward their tail); every other
// style is queued in `layer`, which draws them by texture. The second pass
// (the glow capture) draws only what glows.
void DrawShot(const ShotLook& shot, bool secondPass, DefaultSprite& sprite, RenderSort& layer);
