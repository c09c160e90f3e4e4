// ShipView: the drawing of the local player's ship (hull, hull and energy
// bars, weapon charge bars, engine flame, freeze overlay) and its camera,
// which widens with the ship's speed. The ship holds none of it (one
// instance: PlayerView, drawing Player).
#pragma once

#include "render/defaultsprite.h"

class RenderSort;
class SpaceShip;
class TextureLibrary;

class ShipView {
 public:
  // The ship drawn, the library of its slots, the sorted path's renderer
  // (none: the sorted pictures go nowhere) and the camera size the view steps
  // (world units, kept by the caller).
  void InitMe(const SpaceShip* ship, TextureLibrary* textures, RenderSort* sorter,
              float* cameraWidth, float* cameraHeight);

  // Steps the camera size toward its target and loads the projection.
  void ResetCamera();
  // The camera ResetCamera would set this frame, without changing anything.
  void GetCamera(float& x, float& y, float& w, float& h) const;

  void RenderMe();
  void RenderEngine(int unused);
  void RenderFrozenEnergy();

 private:
  const SpaceShip* ship_ = nullptr;
  TextureLibrary* textures_ = nullptr;
  RenderSort* sorter_ = nullptr;
  float* cameraWidth_ = nullptr;
  float* cameraHeight_ = nullptr;
  DefaultSprite sprite_;
  bool drawingReady_ = false;  // sprite set up since InitMe

  void PrepareDrawing();
  void RenderBar(float bx, float by, float ratio, float barWidth, float barHeight);
};
