// BulletView: the drawing of the local player's projectiles, one array draw
// per texture for those within the camera (beams go to the sorter). The
// projectiles hold none of it (one instance: BulletsView, drawing Bullets).
#pragma once

#include "render/defaultsprite.h"
#include "render/rendersort.h"

class BulletManager;
class ShaderLibrary;
class TextureLibrary;

class BulletView {
 public:
  RenderSort layer;  // this frame's projectiles, by texture

  // The projectiles drawn, the pictures, the masking program and the sorter
  // whose camera decides what is on screen (none: every projectile).
  void InitMe(const BulletManager* bullets, TextureLibrary* textures, ShaderLibrary* shaders,
              RenderSort* sorter);
  // Draws every live projectile; secondPass selects the glow pass's styles.
  void RenderMe(bool secondPass);

 private:
  const BulletManager* bullets_ = nullptr;
  TextureLibrary* textures_ = nullptr;
  ShaderLibrary* shaders_ = nullptr;
  RenderSort* sorter_ = nullptr;
  DefaultSprite sprite_;       // reused for every projectile
  bool drawingReady_ = false;  // sprite and layer set up since InitMe

  void PrepareDrawing();
};
