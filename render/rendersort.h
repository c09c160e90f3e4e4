// RenderSort: the per-frame collector of sprite quads (SortedRenderer for the
// sorted sprites; the projectile and explosion managers keep one each for
// their own layer). Quads outside the camera are dropped, the rest grouped by
// texture (or loop frame) into paths drawn in the order their textures first
// appeared, quads within a path in the order added. Memory of paths, quads
// and draw arrays is kept across frames, so the steady state allocates
// nothing.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <vector>

#include "render/pathrecycler.h"

class TextureLibrary;
class ShaderLibrary;

class RenderSort {
 public:
  // Per vertex: s, t, r, g, b, a, x, y, z, rotation (0, 0, radians),
  // position attribute (centre x, centre y, 0).
  static constexpr int kFloatsPerVertex = 15;
  struct quad {
    float vertices[4][kFloatsPerVertex];
  };
  struct RenderingPath {
    std::vector<quad> quads;
    int texture = 0;  // texture slot, or loop slot when frame >= 0
    int frame = -1;   // frame of loop `texture`; -1 for a plain texture
  };
  // A camera this wide sees every quad (for a layer drawn without one).
  static constexpr float kEverywhere = 1e9f;

  // Camera rectangle in world units: centre and size.
  float cameraX = 0, cameraY = 0, cameraWidth = 0, cameraHeight = 0;
  TextureLibrary* library = nullptr;
  ShaderLibrary* shaders = nullptr;
  PFNGLVERTEXATTRIBPOINTERARBPROC vertexAttribPointer =
      nullptr;  // from ShaderLibrary::FireRenderStream
  std::vector<RenderingPath> paths;
  int draws = 0;  // array draws made since the last Reset

  void InitMe(TextureLibrary* library, ShaderLibrary* shaders);
  // Empties `paths` (their memory is kept for the next frame).
  void Reset();
  void CameraRect(float x, float y, float width, float height);
  // The camera of `other`, or everywhere without one: a layer drawn beside
  // the sorted sprites culls as they do.
  void CameraOf(const RenderSort* other);
  // Adds one quad of the whole texture `texture` centred at (x, y) with half
  // sizes hw, hh, turned by `angle` degrees. The two int arguments are unused.
  // `fading` gives the bottom edge alpha 0.
  void AddQuad(int texture, int, int, float x, float y, float hw, float hh, float r, float g,
               float b, float a, float angle, bool fading);
  // The same for frame `frame` of loop `loop`, unturned, opaque white.
  void AddLoopQuad(int loop, int frame, float x, float y, float hw, float hh);
  // Plain vertex arrays under whatever program the caller has on (none, or
  // the masking program for the projectile and explosion layers): each quad
  // turned about its centre, one colour per quad (vertex 0's), one texture
  // bind and one draw per path. Leaves the model-view matrix as it was and
  // the colour opaque white.
  void RenderSlow();
  // Drawing with the FireRender vertex program (the caller switches it on):
  // one array draw per path, per-corner colours (a fading quad shows its
  // fade). Falls back to RenderSlow when the programs were not built.
  void RenderFast();
  bool RectRect(float x1, float y1, float h1, float w1, float x2, float y2, float h2, float w2);

 private:
  PathRecycler<RenderingPath> spare_;  // emptied paths waiting for reuse
  int lastPath_ = -1;                  // path of the previous AddQuad (textures repeat in runs)
  std::vector<float> drawArray_;       // reused per-path vertex array of both draws
  int FindOrAddPath(int texture, int frame);
  void Add(int texture, int frame, float x, float y, float hw, float hh, float r, float g, float b,
           float a, float radians, bool fading);
  void Bind(const RenderingPath& path);
};
