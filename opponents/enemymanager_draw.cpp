// EnemyManager drawing: ships, engine flames, names and bounties, the
// opponents' projectiles, the freeze overlay and the mini-map dots. Ships and
// beams go to the sorted renderer, the other projectiles to the manager's
// own layer, the rest through its one sprite.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "opponents/enemymanager.h"
#include "game/gameutilities.h"
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

// At the first draw after InitMe.
void EnemyManager::PrepareDrawing() {
  if (drawingReady_) return;
  sprite.InitMe(0, 0, 1, 1, 0.5f, 0.5f, 1, 1, textures, sorter);
  layer.InitMe(textures, nullptr);
  drawingReady_ = true;
}

// The projectiles of every opponent go out together after the ships, keyed
// by the masking program as the local projectiles are: one array draw per
// texture, nothing for what is off screen.
void EnemyManager::RenderAll(bool glow, float cameraX, float cameraY, int myTeam,
                             int gameMode) {
  PrepareDrawing();
  layer.Reset();
  if (sorter)
    layer.CameraRect(sorter->cameraX, sorter->cameraY, sorter->cameraWidth,
                     sorter->cameraHeight);
  else
    layer.CameraRect(0, 0, RenderSort::kEverywhere, RenderSort::kEverywhere);
  for (const player& p : players) {
    RenderShip(p, glow, myTeam, gameMode, cameraX, cameraY);
    for (const bullet& b : p.bullets) RenderBullet(b, glow);
  }
  if (layer.paths.empty()) return;
  if (shaders) shaders->ShaderMasking();
  layer.RenderSlow();
  if (shaders) shaders->ShadersOff();
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

void EnemyManager::Layer(int texture, float x, float y, float width, float height,
                         float angle) {
  layer.AddQuad(texture, 0, 0, x, y, width / 2, height / 2, 1, 1, 1, 1, angle, false);
}

// The projectile by its drawing style, as the local projectiles are drawn.
void EnemyManager::RenderBullet(const bullet& b, bool glow) {
  const int style = (int)b.drawKind;
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
      for (int k = 0; k < 10; k++) {
        const int pick = std::min(2, (int)utilities->VisualRandom(0, 3));
        Layer(b.texture + pick, b.x - k * b.width * std::cos(a),
              b.y + k * (b.height / 2) * std::sin(a), b.width, b.height, turned);
      }
      return;
    }
    case 6:
      if (!glow)
        Layer(b.texture, b.x, b.y, b.width, b.height, turned);
      else if ((b.life / 30) % 2 != 0)  // a light blinking every 30 frames
        Layer(kRedBorderTexture, b.x, b.y, b.width / 2, b.height / 2, turned);
      return;
    case 7:
      Layer(b.texture, b.x, b.y, b.width, b.height, 90 - 6.0f * b.life);
      return;
    case 12:
      if (glow) return;
      Layer(b.texture, b.x, b.y, b.width, b.height, 90 + 48.0f * b.life);
      return;
    default:
      if (glow) return;
      Layer(b.texture, b.x, b.y, b.width, b.height, turned);
      return;
  }
}

void EnemyManager::RenderFrozenFrames() {
  PrepareDrawing();
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
  PrepareDrawing();
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
  PrepareDrawing();
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
