// World: the arena. Solid axis-aligned walls that stop ships and
// projectiles, and two layers of decorative pictures (one instance: Level).
// WorldView (draw/world_draw.h) draws it.
#pragma once

#include <cstddef>
#include <vector>

class GameUtilities;

class World {
 public:
  // The outer edge of the default map's border walls, on both axes: no ship
  // is ever outside 0 .. kArenaSize.
  static constexpr float kArenaSize = 20736.0f;
  struct Object {
    float x, y;  // top-left corner
    float width, height;
    int texture;  // texture slot
  };
  struct BackGroundObject {
    float x, y;  // top-left corner
    float width, height;
    int texture;
    float rotation;  // degrees
  };

  GameUtilities* utilities = nullptr;
  std::vector<Object> objects;  // walls (add them through AddObject)
  std::vector<BackGroundObject> backgroundObjects;
  std::vector<BackGroundObject> backgroundObjects2;

  void InitMe(GameUtilities* utilities);

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

 private:
  // Broad phase for CollisionObjects: a uniform grid of wall boxes. Built
  // incrementally by AddObject; rebuilt if `objects` was changed directly.
  struct Box {
    float x, y, width, height;
  };
  static constexpr int kGridCells = 32;  // per axis
  static constexpr float kCellSize = 1024.0f;
  std::vector<Box> grid_[kGridCells * kGridCells];
  std::size_t indexed_ = 0;  // walls of `objects` entered into the grid
  void IndexWall(const Object& o);
  void RebuildGrid();
  static int CellOf(float v);
};
