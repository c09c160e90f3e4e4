// EnemyView: the drawing of the opponent table: ships, engine flames, names
// and bounties, the opponents' projectiles, the freeze overlay and the
// mini-map dots. Ships and beams go to the sorted renderer, the other
// projectiles to the view's own layer, the rest through its one sprite. The
// table holds none of it (one instance: EnemiesView, drawing Enemies).
#pragma once

#include "render/defaultsprite.h"
#include "render/rendersort.h"
#include "sim/enemymanager.h"

class ShaderLibrary;
class TextureLibrary;

class EnemyView {
 public:
  RenderSort layer;  // this frame's opponent projectiles, by texture

  // The table drawn, the library of its slots, the masking program (none:
  // drawn without it), the sorted path's renderer and the camera size in
  // world units (none: the frame's size) that names are placed by.
  void InitMe(const EnemyManager* table, TextureLibrary* textures, ShaderLibrary* shaders,
              RenderSort* sorter, const float* cameraWidth, const float* cameraHeight);

  // (cameraX, cameraY) is the camera's centre.
  void RenderAll(bool glow, float cameraX, float cameraY, int myTeam, int gameMode);
  void RenderFrozenFrames();
  void DrawMiniMapPlayers(float shipX, float shipY, int minimapValue, bool unused, int myTeam);
  void PrintTextWithCameraColor(float x, float y, const char* text, float r, float g, float b,
                                float cameraX, float cameraY);

 private:
  const EnemyManager* table_ = nullptr;
  TextureLibrary* textures_ = nullptr;
  ShaderLibrary* shaders_ = nullptr;
  RenderSort* sorter_ = nullptr;
  const float* cameraWidth_ = nullptr;
  const float* cameraHeight_ = nullptr;
  DefaultSprite sprite_;
  bool drawingReady_ = false;  // sprite and layer set up since InitMe

  void PrepareDrawing();
  void RenderShip(const EnemyManager::player& p, bool glow, int myTeam, int gameMode, float cameraX,
                  float cameraY);
};
