// ExplosionView: the drawing of the explosions, each an additive quad of its
// loop's current frame, one array draw per loop frame for those within the
// camera. The explosions hold none of it (one instance: ExplosionsView,
// drawing Explosions).
#pragma once

#include "render/rendersort.h"

class ExplosionManager;
class ShaderLibrary;
class TextureLibrary;

class ExplosionView {
 public:
  RenderSort layer;  // this frame's explosions, by loop frame

  // The explosions drawn, the library of their loops and the masking program
  // (none: drawn without it).
  void InitMe(ExplosionManager* explosions, TextureLibrary* textures, ShaderLibrary* shaders);
  // The part of the world drawn (centre and size); without one every
  // explosion is drawn.
  void CameraRect(float x, float y, float width, float height);
  // Advances every explosion by one frame and draws the running ones within
  // the camera: an explosion of n frames shows loop frames 1 .. n-1.
  void RenderExplosions();

 private:
  ExplosionManager* explosions_ = nullptr;
  TextureLibrary* textures_ = nullptr;
  ShaderLibrary* shaders_ = nullptr;
  bool drawingReady_ = false;  // layer set up since InitMe

  void PrepareDrawing();
};
