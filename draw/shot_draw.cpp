#include "draw/shot_draw.h"

#include <cmath>

#include "base/angle.h"
#include "base/gameutilities.h"
#include "render/defaultsprite.h"
#include "render/rendersort.h"
#include "render/textureslots.h"
#include "sim/weapon.h"

namespace {

void Layer(RenderSort& layer, int texture, float x, float y, float width, float height,
           float angle) {
  layer.AddQuad(texture, 0, 0, x, y, width / 2, height / 2, 1, 1, 1, 1, angle, false);
}

}  // namespace

void DrawShot(const ShotLook& s, bool secondPass, DefaultSprite& sprite, RenderSort& layer) {
  const float heading = 90 - s.direction;
  switch (s.style) {
    case shotstyle::Beam:
    case shotstyle::LongBeam:
      // Beams stretch along their flight and fade toward their tail.
      sprite.ChangeSize(s.width, (s.style == shotstyle::Beam ? 8 : 16) * s.height);
      sprite.RenderSortedFading(s.x, s.y, 0, heading, 1, 1, 1, 1, s.texture, false, false);
      return;
    case shotstyle::Lightning: {
      if (secondPass) return;
      const float a = s.direction * kDegToRad;
      for (int k = 0; k < 10; ++k)
        Layer(layer, s.texture + VisualRand() % 3, s.x - k * s.width * std::cos(a),
              s.y + k * (s.height / 2) * std::sin(a), s.width, s.height, heading);
      return;
    }
    case shotstyle::Mine:
      if (!secondPass) {
        Layer(layer, s.texture, s.x, s.y, s.width, s.height, heading);
      } else if ((s.lifeLeft / 30) % 2 != 0) {
        // The mine's light blinks every 30 frames.
        Layer(layer, kRedBorderTexture, s.x, s.y, s.width / 2, s.height / 2, heading);
      }
      return;
    case shotstyle::Bomb:
      Layer(layer, s.texture, s.x, s.y, s.width, s.height, 90.0f - 6.0f * s.lifeLeft);
      return;
    case shotstyle::Orb:
      if (secondPass) return;
      Layer(layer, s.texture, s.x, s.y, s.width, s.height, 90.0f + 48.0f * s.lifeLeft);
      return;
    default:
      if (secondPass) return;
      Layer(layer, s.texture, s.x, s.y, s.width, s.height, heading);
      return;
  }
}
