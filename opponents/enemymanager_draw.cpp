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
#include "game/shot_draw.h"
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
  layer.CameraOf(sorter);
  for (const player& p : players) {
    RenderShip(p, glow, myTeam, gameMode, cameraX, cameraY);
    for (const bullet& b : p.bullets)
      DrawShot({(int)b.drawKind, b.texture, b.x, b.y, b.width, b.height, b.angle, b.life}, glow,
               sprite, layer);
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
