// PathRecycler: the spare list of a per-frame quad collector (BatchRenderer,
// RenderSort). A reset parks every path here with its quad memory, and a new
// path takes a parked one when there is one, so a steady frame allocates
// nothing.
#pragma once

#include <utility>
#include <vector>

template <class Path>
class PathRecycler {
 public:
  // Empties `paths`, keeping each path's memory for reuse.
  void Recycle(std::vector<Path>& paths) {
    for (Path& path : paths) {
      path.quads.clear();
      spare_.push_back(std::move(path));
    }
    paths.clear();
  }

  // Appends an empty path for `texture` to `paths`; returns its index.
  int Append(std::vector<Path>& paths, int texture) {
    if (spare_.empty()) {
      paths.emplace_back();
    } else {
      paths.push_back(std::move(spare_.back()));
      spare_.pop_back();
    }
    paths.back().texture = texture;
    return static_cast<int>(paths.size()) - 1;
  }

 private:
  std::vector<Path> spare_;
};
