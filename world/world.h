// World: the arena. Solid axis-aligned walls that stop ships and
// projectiles, two layers of decorative pictures, and the arena picture the
// minimap shows (one instance: Level).
#pragma once

#include <cstddef>
#include <vector>

#include "render/defaultsprite.h"
#include "world/capship.h"

class GameUtilities;
class TextureLibrary;
class ShaderLibrary;
class RenderSort;

class World {
 public:
  struct Object {
    float x, y;           // top-left corner
    float width, height;
    int texture;          // texture slot
  };
  struct BackGroundObject {
    float x, y;           // top-left corner
    float width, height;
    int texture;
    float rotation;       // degrees
  };

  RenderSort* sorter = nullptr;
  unsigned int levelTexture = 0;  // GL name of the arena picture
  ShaderLibrary* shaders = nullptr;
  TextureLibrary* textures = nullptr;
  GameUtilities* utilities = nullptr;
  DefaultSprite sprite;           // reused for every picture
  std::vector<Object> objects;    // walls (add them through AddObject)
  std::vector<BackGroundObject> backgroundObjects;
  std::vector<BackGroundObject> backgroundObjects2;

  void InitMe(GameUtilities* utilities, TextureLibrary* textures, ShaderLibrary* shaders,
              RenderSort* sorter);

  // Note the argument order: height before width.
  void AddObject(float x, float y, float height, float width, int texture);
  void AddBackGroundObject(float x, float y, float height, float width, float rotation,
                           int texture);
  void AddBackGroundObject2(float x, float y, float height, float width, float rotation,
                            int texture);

  // Builds the one arena ("Default Map"): border walls, inner bars, corner
  // blocks, the 80 decorations scattered from the fixed seed 23583 and the
  // three large ones; then reseeds the game's random source from the clock.
  // The capital ship and the arena picture are start-up's next steps.
  void BuildDefaultMap();

  // True if the rectangle with top-left corner (x, y) touches any wall
  // (GameUtilities::RectRect, edges inclusive). Zero-sized probes are legal.
  bool CollisionObjects(float x, float y, float width, float height);

  void RenderObjects();                    // walls, sorted path
  void RenderObjectsNoShaders();           // walls, drawn at once
  void RenderBackGroundObjects();          // first layer, drawn at once
  void RenderBackGroundObjects2();         // second layer, sorted path
  void RenderBackGroundObjects2NoShaders();// second layer, drawn at once

  // Renders the world square centreX +/- width/2, centreY +/- height/2 with
  // the given capital ship into an N x N picture (quality 0: 128, 1: 256,
  // 2: 512, other: 256) and puts it into texture slot 40.
  void GetLevelTexture(int centreX, int centreY, int width, int height, int quality,
                       CapShip ship);

 private:
  // Broad phase for CollisionObjects: a uniform grid of wall boxes. Built
  // incrementally by AddObject; rebuilt if `objects` was changed directly.
  struct Box {
    float x, y, width, height;
  };
  static constexpr int kGridCells = 32;      // per axis
  static constexpr float kCellSize = 1024.0f;
  std::vector<Box> grid_[kGridCells * kGridCells];
  std::size_t indexed_ = 0;  // walls of `objects` entered into the grid
  void IndexWall(const Object& o);
  void RebuildGrid();
  static int CellOf(float v);
  bool drawingReady_ = false;  // sprite set up since InitMe
  void PrepareDrawing();
  void DrawAtOnce(float x, float y, float width, float height, float angle, int texture);
  void DrawSorted(float x, float y, float width, float height, float angle, int texture);
};
