// GlowPass: the high graphics level's glow, done only where there is light.
// The capture draws the glowing objects into the ping buffer (screen 1)
// while GlowTiles records which 8x8-texel tiles they cover; the
// horizontal blur then runs into pong (screen 2) and the vertical blur back
// into ping over those tiles and one tile around them, all at 512x512, and
// the composite stretches just those tiles of ping, filtered, additively
// over the 1024x768 frame. Outside them the glow is black, so nothing else
// needs drawing: a fight lights a few percent of the screen.
#pragma once

#include <vector>

#include "render/glowtiles.h"

class ShaderHelper;
class ShaderLibrary;

class GlowPass {
 public:
  // Drawing goes into the ping buffer, cleared; from here to EndCapture the
  // sprites drawn report their boxes. The caller has loaded the capture's
  // projection and model-view.
  void BeginCapture(ShaderHelper& helper);
  // Stops recording and blurs the lit tiles; the frame is bound again
  // afterwards.
  void EndCapture(ShaderHelper& helper, ShaderLibrary& shaders);
  // Adds the blurred glow over the frame (additive, no program).
  void Composite(ShaderHelper& helper);

  const GlowTiles& Tiles() const { return tiles_; }

 private:
  // Draws the rectangles (texels) in a projection mapping the 512x512 glow
  // buffer onto the viewport, each textured with the same texels.
  void DrawRects(const std::vector<GlowTiles::Rect>& rects);

  GlowTiles tiles_;
  std::vector<GlowTiles::Rect> blurRows_;  // lit tiles and one tile left and right
  std::vector<GlowTiles::Rect> reach_;     // lit tiles and one tile all around
  std::vector<float> vertices_;            // s, t, x, y per corner, reused
};
