#include "world/capship.h"

void CapShip::InitMe(int width_, int height_, int x_, int y_, float rotation_) {
  width = width_;
  height = height_;
  x = static_cast<float>(x_);
  y = static_cast<float>(y_);
  rotation = rotation_;
}
