// EnemyManager drawing: ships, engine flames, names and bounties, the
// opponents' projectiles, the freeze overlay and the mini-map dots.
#include "draw/enemymanager_draw.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "base/angle.h"
#include "base/gameutilities.h"
#include "draw/shot_draw.h"
#include "platform/platform.h"
#include "render/shaderlibrary.h"
#include "render/text.h"
#include "render/texturelibrary.h"
#include "render/textureslots.h"

namespace {
constexpr int kFreezeLoop = 4;
constexpr float kMiniMapScale = 81.125f;  // world units per mini-map pixel
constexpr float kTextScale = 2.4f;
}  // namespace

void EnemyView::InitMe(const EnemyManager* table, TextureLibrary* textures, ShaderLibrary* shaders,
                       RenderSort* sorter, const float* cameraWidth, const float* cameraHeight) {
  table_ = table;
  textures_ = textures;
  shaders_ = shaders;
  sorter_ = sorter;
  cameraWidth_ = cameraWidth;
  cameraHeight_ = cameraHeight;
  drawingReady_ = false;
}

// At the first draw after InitMe.
void EnemyView::PrepareDrawing() {
  if (drawingReady_) return;
  sprite_.InitMe(0, 0, 1, 1, 0.5f, 0.5f, 1, 1, textures_, sorter_);
  layer.InitMe(textures_, nullptr);
  drawingReady_ = true;
}

// The projectiles of every opponent go out together after the ships, keyed
// by the masking program as the local projectiles are: one array draw per
// texture, nothing for what is off screen.
void EnemyView::RenderAll(bool glow, float cameraX, float cameraY, int myTeam, int gameMode) {
  PrepareDrawing();
  layer.Reset();
  layer.CameraOf(sorter_);
  for (const EnemyManager::player& p : table_->players) {
    RenderShip(p, glow, myTeam, gameMode, cameraX, cameraY);
    for (const EnemyManager::bullet& b : p.bullets)
      DrawShot({(int)b.drawKind, b.texture, b.x, b.y, b.width, b.height, b.angle, b.life}, glow,
               sprite_, layer);
  }
  if (layer.paths.empty()) return;
  if (shaders_) shaders_->ShaderMasking();
  layer.RenderSlow();
  if (shaders_) shaders_->ShadersOff();
}

void EnemyView::RenderShip(const EnemyManager::player& p, bool glow, int myTeam, int gameMode,
                           float cameraX, float cameraY) {
  const float a = p.angle * kDegToRad;
  if (p.upHeld) {
    const float f = table_->utilities->VisualRandom(0.9f, 1.1f) * p.width * 25.0f / 128.0f;
    sprite_.ChangeSize(f, 4 * f);
    sprite_.RenderSorted(p.x - std::cos(a) * (0.25f * p.width + 2 * f),
                         p.y + std::sin(a) * (p.width * 31.0f / 128.0f + 2 * f), 0, 90 - p.angle, 1,
                         1, 1, 1, kEngineTrailTexture, false, false);
  }
  if (glow) return;
  sprite_.ChangeSize(p.width, p.height);
  sprite_.RenderSorted(p.x, p.y, 0, 90 - p.angle, 1, 1, 1, 1, p.texture, false, false);
  const bool friendly = p.team == myTeam;
  PrintTextWithCameraColor(p.x - 64, p.y - p.height / 2 - 96, p.name.c_str(),
                           friendly ? 0.0f : 1.0f, friendly ? 1.0f : 0.0f, 0, cameraX, cameraY);
  if (gameMode == 0) {
    std::string bounty = "(";
    bounty += std::to_string(p.bounty);
    bounty += ')';
    PrintTextWithCameraColor(p.x - 64, p.y + p.height / 2 + 96, bounty.c_str(), 1, 1, 1, cameraX,
                             cameraY);
  }
}

void EnemyView::RenderFrozenFrames() {
  PrepareDrawing();
  bool blending = false;
  for (const EnemyManager::player& p : table_->players) {
    if (p.frozenFrames <= 0) continue;
    if (!blending) {
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      blending = true;
    }
    sprite_.ChangeSize(p.width, p.width);
    sprite_.RenderMeQuads(p.x, p.y, 0, 18.0f * p.frozenFrames, 0.4f, 1, 1, 1, kFreezeLoop,
                          p.frozenFrames % 18);
  }
  if (blending) glDisable(GL_BLEND);
}

void EnemyView::DrawMiniMapPlayers(float, float, int, bool, int myTeam) {
  PrepareDrawing();
  sprite_.ChangeSize(3, 3);
  for (const EnemyManager::player& p : table_->players) {
    const bool friendly = p.team == myTeam;
    sprite_.RenderMeQuads(p.x / kMiniMapScale + 768, p.y / kMiniMapScale, 0, 0, 0.6f,
                          friendly ? 0.0f : 1.0f, friendly ? 1.0f : 0.0f, 0, kWhiteQuadTexture);
  }
}

// World-anchored text. (cameraX, cameraY) is the camera's centre, so the
// projection spans the camera with the centre in the middle and the text's
// world position lands where it is in the scene (y up for the glyph lists).
void EnemyView::PrintTextWithCameraColor(float x, float y, const char* text, float r, float g,
                                         float b, float cameraX, float cameraY) {
  PrepareDrawing();
  if (!text || !*text) return;
  const float w = cameraWidth_ ? *cameraWidth_ : platform::kFrameWidth;
  const float h = cameraHeight_ ? *cameraHeight_ : platform::kFrameHeight;
  if (textures_) textures_->BindTexture(kFontTexture);
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
