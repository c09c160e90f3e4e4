// WorldView: the drawing of the level (its walls and decorations, drawn at
// once or through the sorted renderer), of the capital ship, and the arena
// picture the mini-map shows. The level holds none of it (one instance:
// LevelView, drawing Level).
#pragma once

#include "render/defaultsprite.h"

class CapShip;
class RenderSort;
class TextureLibrary;
class World;

class WorldView {
 public:
  unsigned int levelTexture = 0;  // GL name of the arena picture

  // The level drawn, the library its slots name and the sorted path's
  // renderer (none: the sorted variants draw nothing).
  void InitMe(const World* world, TextureLibrary* textures, RenderSort* sorter);

  void RenderObjects();                      // walls, sorted path
  void RenderObjectsNoShaders();             // walls, drawn at once
  void RenderBackGroundObjects();            // first layer, drawn at once
  void RenderBackGroundObjects2();           // second layer, sorted path
  void RenderBackGroundObjects2NoShaders();  // second layer, drawn at once

  // Draws the capital ship's two-column, four-row picture at once: t1, t2
  // the top row (left, right) ... t7, t8 the bottom row. Every caller passes
  // slots 23 to 30.
  void RenderCapShip(const CapShip& ship, int t1, int t2, int t3, int t4, int t5, int t6, int t7,
                     int t8);

  // Renders the world square centreX +/- width/2, centreY +/- height/2 with
  // the given capital ship into an N x N picture (quality 0: 128, 1: 256,
  // 2: 512, other: 256) and puts it into texture slot 40.
  void GetLevelTexture(int centreX, int centreY, int width, int height, int quality,
                       const CapShip& ship);

 private:
  const World* world_ = nullptr;
  TextureLibrary* textures_ = nullptr;
  RenderSort* sorter_ = nullptr;
  DefaultSprite sprite_;       // reused for every picture of the level
  DefaultSprite shipSprite_;   // the capital ship's tiles, each centred on its own
  bool drawingReady_ = false;  // sprites set up since InitMe

  void PrepareDrawing();
  void DrawAtOnce(float x, float y, float width, float height, float angle, int texture);
  void DrawSorted(float x, float y, float width, float height, float angle, int texture);
};
