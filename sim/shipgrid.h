// ShipGrid: the ships' hit boxes filed by arena cell, so that a projectile in
// a crowded match is tested only against the ships that share a cell with it
// instead of against every row of the table. A box spans the cells its
// corners reach (either sign of extent); positions beyond the arena fall into
// the edge cells, and a box with a coordinate that is not a number is never
// filed (the rectangle test can never hit it).
#pragma once

#include <vector>

class ShipGrid {
 public:
  static constexpr int kCells = 32;  // per axis
  static constexpr float kCellSize = 1024.0f;

  void Clear();
  // Files row `row` under the box with min corner (x, y) and extents w, h.
  void Add(int row, float x, float y, float w, float h);
  // The rows filed in any cell the box reaches, ascending, each once; valid
  // until the next call.
  const std::vector<int>& Near(float x, float y, float w, float h);

 private:
  std::vector<int> cells_[kCells * kCells];
  std::vector<int> used_;       // cells holding rows, emptied by Clear
  std::vector<int> near_;       // Near's answer
  std::vector<unsigned> seen_;  // per row: the last query that found it
  unsigned query_ = 0;

  // First and last cell along one axis, false for a coordinate that is not
  // a number.
  static bool Span(float from, float extent, int& first, int& last);
};
