// The level: its walls and decorations, the default map and collision
// against the walls. Drawing is in world_draw.cpp.
#include "world/world.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

#include "base/gameutilities.h"

namespace {

// RectRect is a pure function; a private instance lets the level answer
// queries before (or without) InitMe.
GameUtilities rectTest;

}  // namespace

void World::InitMe(GameUtilities* utilities_) { utilities = utilities_; }

void World::AddObject(float x, float y, float height, float width, int texture) {
  if (indexed_ != objects.size()) RebuildGrid();
  objects.push_back({x, y, width, height, texture});
  IndexWall(objects.back());
  indexed_ = objects.size();
}

void World::AddBackGroundObject(float x, float y, float height, float width, float rotation,
                                int texture) {
  backgroundObjects.push_back({x, y, width, height, texture, rotation});
}

void World::AddBackGroundObject2(float x, float y, float height, float width, float rotation,
                                 int texture) {
  backgroundObjects2.push_back({x, y, width, height, texture, rotation});
}

void World::BuildDefaultMap() {
  // Border walls: twenty 1024-unit segments per side, inside the corner blocks.
  for (int i = 0; i < 20; ++i) {
    float p = 128.0f + 1024.0f * i;
    AddObject(p, 0, 128, 1024, 46);
    AddObject(p, 20608, 128, 1024, 46);
    AddObject(20608, p, 1024, 128, 47);
    AddObject(0, p, 1024, 128, 47);
  }
  // Inner bars in the upper-left quarter.
  AddObject(3744, 800, 128, 1024, 46);
  AddObject(3744, 7864, 128, 1024, 46);
  AddObject(800, 3744, 1024, 128, 47);
  AddObject(7864, 3744, 1024, 128, 47);
  // Corner blocks.
  AddObject(0, 0, 128, 128, 48);
  AddObject(20608, 0, 128, 128, 48);
  AddObject(0, 20608, 128, 128, 48);
  AddObject(20608, 20608, 128, 128, 48);

  // The decoration is scattered the same way in every game: fixed seed,
  // fixed order of draws (y before x).
  GameSeed(23583);
  GameUtilities& random = utilities ? *utilities : rectTest;
  for (int i = 0; i < 80; ++i) {
    float size = random.RangedRandom(512, 1024);
    int kind = static_cast<int>(random.RangedRandom(0, 5));
    float rotation = random.RangedRandom(0, 360);
    float y = random.RangedRandom(1000, 7000);
    float x = random.RangedRandom(1000, 7000);
    AddBackGroundObject(x, y, size, size, rotation, 49 + kind);
  }
  AddBackGroundObject2(16000, 10000, 1024, 2048, 30, 55);
  AddBackGroundObject2(12000, 14000, 1024, 2048, 60, 56);
  AddBackGroundObject2(17000, 5000, 2048, 2048, 15, 57);

  // The rest of the game must not repeat from run to run.
  GameSeed(static_cast<unsigned int>(std::time(nullptr)));
}

// ---- Collision ----

int World::CellOf(float v) {
  float cell = std::floor(v / kCellSize);
  if (!(cell >= 0)) return 0;  // also NaN: RectRect rejects it anyway
  return cell >= kGridCells - 1 ? kGridCells - 1 : static_cast<int>(cell);
}

// A wall is entered into every cell its box overlaps (cells clamp at the
// grid's edge, which keeps the pruning conservative for walls and queries
// outside it).
void World::IndexWall(const Object& o) {
  int x0 = CellOf(std::min(o.x, o.x + o.width)), x1 = CellOf(std::max(o.x, o.x + o.width));
  int y0 = CellOf(std::min(o.y, o.y + o.height)), y1 = CellOf(std::max(o.y, o.y + o.height));
  for (int cy = y0; cy <= y1; ++cy)
    for (int cx = x0; cx <= x1; ++cx)
      grid_[cy * kGridCells + cx].push_back({o.x, o.y, o.width, o.height});
}

void World::RebuildGrid() {
  for (auto& cell : grid_) cell.clear();
  for (const Object& o : objects) IndexWall(o);
  indexed_ = objects.size();
}

bool World::CollisionObjects(float x, float y, float width, float height) {
  if (indexed_ != objects.size()) RebuildGrid();
  const float xMin = std::min(x, x + width), xMax = std::max(x, x + width);
  const float yMin = std::min(y, y + height), yMax = std::max(y, y + height);
  const int x0 = CellOf(xMin), x1 = CellOf(xMax), y0 = CellOf(yMin), y1 = CellOf(yMax);
  for (int cy = y0; cy <= y1; ++cy) {
    for (int cx = x0; cx <= x1; ++cx) {
      for (const Box& b : grid_[cy * kGridCells + cx]) {
        // Contact by RectRect implies the boxes overlap (edges included):
        // a cheap reject before the exact test.
        if (xMax < std::min(b.x, b.x + b.width) || xMin > std::max(b.x, b.x + b.width) ||
            yMax < std::min(b.y, b.y + b.height) || yMin > std::max(b.y, b.y + b.height))
          continue;
        if (rectTest.RectRect(x, y, height, width, b.x, b.y, b.height, b.width)) return true;
      }
    }
  }
  return false;
}
