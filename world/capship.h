// CapShip: a capital ship, a very large picture of a carrier drawn from
// eight texture tiles that turn together. No physics, no collision.
// Globals Carrier (drawn) and Carrier2 (initialised only).
#pragma once

#include "render/defaultsprite.h"

class GlWrapper;
class TextureLibrary;
class ShaderLibrary;
class SoundManager;

class CapShip {
 public:
  float x = 0, y = 0;        // centre
  int width = 0, height = 0;
  float rotation = 0;        // degrees; 90 draws the picture upright
  GlWrapper* utilities = nullptr;
  TextureLibrary* textures = nullptr;
  ShaderLibrary* shaders = nullptr;
  SoundManager* sounds = nullptr;
  DefaultSprite sprite;

  void InitMe(GlWrapper* utilities, TextureLibrary* textures, ShaderLibrary* shaders,
              SoundManager* sounds, int width, int height, int x, int y, float rotation);
  // Draws the two-column, four-row picture: t1, t2 the top row (left,
  // right) ... t7, t8 the bottom row. Every caller passes slots 23 to 30.
  void RenderEight(int t1, int t2, int t3, int t4, int t5, int t6, int t7, int t8);
};
