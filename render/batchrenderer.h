// BatchRenderer: a per-frame collector of unrotated quads grouped into paths
// by texture and drawn with vertex arrays (one instance: Renderer; the
// starfield is its client). Memory is kept across frames.
#pragma once

#include <vector>

#include "render/pathrecycler.h"

class TextureLibrary;

class BatchRenderer {
 public:
  static constexpr int kFloatsPerVertex = 9;  // s, t, r, g, b, a, x, y, z
  struct quad {
    float vertices[4][kFloatsPerVertex];
  };
  struct RenderingPath {
    std::vector<quad> quads;
    int texture = 0;
  };

  TextureLibrary* library = nullptr;
  std::vector<RenderingPath> paths;

  void InitMe(TextureLibrary* library);
  // Empties `paths` (their memory is kept for the next frame).
  void Reset();
  // Appends an empty path for `texture`; returns its index.
  int AddPath(int texture);
  int NumberOfPaths() const;
  // Quad with corners (x +- w/2, y +- h/2), one colour, the whole texture.
  // An index that is not a path is ignored.
  void AddQuad(int path, float x, float y, float width, float height, float alpha, float r, float g,
               float b);
  // Draws the path's quads in one array draw, turned by `angle` degrees.
  // An empty or unknown path touches no GL state.
  void RenderPath(int path, float angle);

 private:
  PathRecycler<RenderingPath> spare_;
};
