// EnemyManager drawing: ships, engine flames, names and bounties, the
// opponents' projectiles with their trails, the freeze overlay and the
// mini-map dots. Everything goes through the manager's one sprite.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "game/explosionmanager.h"
#include "opponents/enemymanager.h"
#include "render/glwrapper.h"
#include "render/shaderlibrary.h"
#include "render/text.h"
#include "render/texturelibrary.h"
#include "render/angle.h"
#include "app/platform.h"
#include "render/textureslots.h"

namespace {
constexpr int kFreezeLoop = 4;
constexpr float kMiniMapScale = 81.125f;  // world units per mini-map pixel
constexpr float kTextScale = 2.4f;
}  // namespace

void EnemyManager::RenderAll(bool glow, float cameraX, float cameraY, int myTeam,
                             int gameMode) {
  for (const player& p : players) {
    RenderShip(p, glow, myTeam, gameMode, cameraX, cameraY);
    // Drawn as the local projectiles are: keyed by the masking program.
    if (p.bullets.empty()) continue;
    if (shaders) shaders->ShaderMasking();
    for (const bullet& b : p.bullets) RenderBullet(b, glow);
    if (shaders) shaders->ShadersOff();
  }
}

void EnemyManager::RenderShip(const player& p, bool glow, int myTeam, int gameMode,
                              float cameraX, float cameraY) {
  const float a = p.angle * kDegToRad;
  if (p.upHeld) {
    const float f = utilities->VisualRandom(0.9f, 1.1f) * p.width * 25.0f / 128.0f;
    sprite.ChangeSize(f, 4 * f);
    sprite.RenderSorted(p.x - std::cos(a) * (0.25f * p.width + 2 * f),
                        p.y + std::sin(a) * (p.width * 31.0f / 128.0f + 2 * f), 0,
                        90 - p.angle, 1, 1, 1, 1, kEngineTrailTexture, false, false);
  }
  if (glow) return;
  sprite.ChangeSize(p.width, p.height);
  sprite.RenderSorted(p.x, p.y, 0, 90 - p.angle, 1, 1, 1, 1, p.texture, false, false);
  const bool friendly = p.team == myTeam;
  PrintTextWithCameraColor(p.x - 64, p.y - p.height / 2 - 96, p.name.c_str(),
                           friendly ? 0.0f : 1.0f, friendly ? 1.0f : 0.0f, 0, cameraX,
                           cameraY);
  if (gameMode == 0) {
    std::string bounty = "(";
    bounty += std::to_string(p.bounty);
    bounty += ')';
    PrintTextWithCameraColor(p.x - 64, p.y + p.height / 2 + 96, bounty.c_str(), 1, 1, 1,
                             cameraX, cameraY);
  }
}

// The trails are explosions made while drawing (not announced); then the
// projectile by its drawing style, as the local projectiles are drawn.
void EnemyManager::RenderBullet(const bullet& b, bool glow) {
  const int style = (int)b.drawKind;
  if (explosions) {
    if (style == 3) {
      if (b.life % 2 == 0)
        explosions->AddExplosion(b.x, b.y, 64 + utilities->VisualRandom(-16, 16),
                                 64 + utilities->VisualRandom(-16, 16), 1, 8, false);
      if (b.life % 3 == 0)
        explosions->AddExplosion(b.x, b.y, 64 + utilities->VisualRandom(-16, 16),
                                 64 + utilities->VisualRandom(-16, 16), 3, 5, false);
    } else if (style == 2 && b.life % 2 == 0) {
      explosions->AddExplosion(b.x, b.y, 64, 64, 1, 6, false);
    }
  }
  const float turned = 90 - b.angle;
  switch (style) {
    case 1:
    case 4:  // beams stretch along their flight and fade toward their tail
      sprite.ChangeSize(b.width, (style == 1 ? 8 : 16) * b.height);
      sprite.RenderSortedFading(b.x, b.y, 0, turned, 1, 1, 1, 1, b.texture, false, false);
      return;
    case 5: {
      if (glow) return;
      const float a = b.angle * kDegToRad;
      sprite.ChangeSize(b.width, b.height);
      for (int k = 0; k < 10; k++) {
        const int pick = std::min(2, (int)utilities->VisualRandom(0, 3));
        sprite.RenderMe(b.x - k * b.width * std::cos(a), b.y + k * (b.height / 2) * std::sin(a),
                        0, turned, 1, 1, 1, 1, b.texture + pick, false, false);
      }
      return;
    }
    case 6:
      if (!glow) {
        sprite.ChangeSize(b.width, b.height);
        sprite.RenderMe(b.x, b.y, 0, turned, 1, 1, 1, 1, b.texture, false, false);
      } else if ((b.life / 30) % 2 != 0) {  // a light blinking every 30 frames
        sprite.ChangeSize(b.width / 2, b.height / 2);
        sprite.RenderMe(b.x, b.y, 0, turned, 1, 1, 1, 1, kRedBorderTexture, false, false);
      }
      return;
    case 7:
      sprite.ChangeSize(b.width, b.height);
      sprite.RenderMe(b.x, b.y, 0, 90 - 6.0f * b.life, 1, 1, 1, 1, b.texture, false, false);
      return;
    case 12:
      if (glow) return;
      sprite.ChangeSize(b.width, b.height);
      sprite.RenderMe(b.x, b.y, 0, 90 + 48.0f * b.life, 1, 1, 1, 1, b.texture, false, false);
      return;
    default:
      if (glow) return;
      sprite.ChangeSize(b.width, b.height);
      sprite.RenderMe(b.x, b.y, 0, turned, 1, 1, 1, 1, b.texture, false, false);
      return;
  }
}

void EnemyManager::RenderFrozenFrames() {
  bool blending = false;
  for (const player& p : players) {
    if (p.frozenFrames <= 0) continue;
    if (!blending) {
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      blending = true;
    }
    sprite.ChangeSize(p.width, p.width);
    sprite.RenderMeQuads(p.x, p.y, 0, 18.0f * p.frozenFrames, 0.4f, 1, 1, 1, kFreezeLoop,
                         p.frozenFrames % 18);
  }
  if (blending) glDisable(GL_BLEND);
}

void EnemyManager::DrawMiniMapPlayers(float, float, int, bool, int myTeam) {
  sprite.ChangeSize(3, 3);
  for (const player& p : players) {
    const bool friendly = p.team == myTeam;
    sprite.RenderMeQuads(p.x / kMiniMapScale + 768, p.y / kMiniMapScale, 0, 0, 0.6f,
                         friendly ? 0.0f : 1.0f, friendly ? 1.0f : 0.0f, 0,
                         kWhiteQuadTexture);
  }
}

// World-anchored text. (cameraX, cameraY) is the camera's centre, so the
// projection spans the camera with the centre in the middle and the text's
// world position lands where it is in the scene (y up for the glyph lists).
void EnemyManager::PrintTextWithCameraColor(float x, float y, const char* text, float r,
                                            float g, float b, float cameraX, float cameraY) {
  if (!text || !*text) return;
  const float w = cameraWidth ? *cameraWidth : platform::kFrameWidth;
  const float h = cameraHeight ? *cameraHeight : platform::kFrameHeight;
  if (textures) textures->BindTexture(kFontTexture);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, w, 0, h, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glTranslatef(x - cameraX + w / 2, cameraY - y + h / 2, 0);
  glScalef(kTextScale, kTextScale, 1);
  // Blended by the font's alpha at every level: drawn unblended under the
  // shader levels, the font's black became a box around every name.
  DrawGlyphsOutlined(text, r, g, b);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}
