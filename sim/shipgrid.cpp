#include "sim/shipgrid.h"

#include <algorithm>
#include <cmath>

bool ShipGrid::Span(float from, float extent, int& first, int& last) {
  // The same sums the rectangle test makes, so a corner on a cell edge
  // lands in the same cell for both boxes.
  const float to = from + extent;
  if (std::isnan(from) || std::isnan(to)) return false;
  auto cell = [](float v) {
    const float c = std::floor(v / kCellSize);
    return static_cast<int>(std::clamp(c, 0.0f, static_cast<float>(kCells - 1)));
  };
  first = cell(std::min(from, to));
  last = cell(std::max(from, to));
  return true;
}

void ShipGrid::Clear() {
  for (int c : used_) cells_[c].clear();
  used_.clear();
}

void ShipGrid::Add(int row, float x, float y, float w, float h) {
  int x0, x1, y0, y1;
  if (!Span(x, w, x0, x1) || !Span(y, h, y0, y1)) return;
  for (int cy = y0; cy <= y1; ++cy) {
    for (int cx = x0; cx <= x1; ++cx) {
      std::vector<int>& cell = cells_[cy * kCells + cx];
      if (cell.empty()) used_.push_back(cy * kCells + cx);
      cell.push_back(row);
    }
  }
  if (row >= static_cast<int>(seen_.size())) seen_.resize(row + 1, 0);
}

const std::vector<int>& ShipGrid::Near(float x, float y, float w, float h) {
  near_.clear();
  int x0, x1, y0, y1;
  if (!Span(x, w, x0, x1) || !Span(y, h, y0, y1)) return near_;
  if (++query_ == 0) {  // wrapped: forget every mark so none matches by chance
    std::fill(seen_.begin(), seen_.end(), 0u);
    query_ = 1;
  }
  for (int cy = y0; cy <= y1; ++cy) {
    for (int cx = x0; cx <= x1; ++cx) {
      for (int row : cells_[cy * kCells + cx]) {
        if (seen_[row] == query_) continue;
        seen_[row] = query_;
        near_.push_back(row);
      }
    }
  }
  std::sort(near_.begin(), near_.end());
  return near_;
}
