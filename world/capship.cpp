#include "world/capship.h"

void CapShip::InitMe(GlWrapper* utilities_, TextureLibrary* textures_, ShaderLibrary* shaders_,
                     SoundManager* sounds_, int width_, int height_, int x_, int y_,
                     float rotation_) {
  utilities = utilities_;
  textures = textures_;
  shaders = shaders_;
  sounds = sounds_;
  width = width_;
  height = height_;
  x = static_cast<float>(x_);
  y = static_cast<float>(y_);
  rotation = rotation_;
  sprite.InitMe(0, 0, 1, 1, 0.5f, 0.5f, 1, 1, textures);
}

void CapShip::RenderEight(int t1, int t2, int t3, int t4, int t5, int t6, int t7, int t8) {
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  const int slots[8] = {t1, t2, t3, t4, t5, t6, t7, t8};
  // Two columns, four rows; every tile turns about the ship's centre, so
  // the eight pieces stay one picture at any rotation.
  const float column[2] = {-w / 4, w / 4};
  const float row[4] = {-3 * h / 8, -h / 8, h / 8, 3 * h / 8};
  sprite.ChangeSize(w / 2, h / 4);
  for (int tile = 0; tile < 8; ++tile) {
    sprite.ChangeCenter(column[tile % 2], row[tile / 2]);
    sprite.RenderMe(x, y, 0, 90 - rotation, 1, 1, 1, 1, slots[tile], false, false);
  }
}
