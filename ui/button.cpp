#include "ui/button.h"

#include "platform/platform.h"

void Button::InitMe(int x_, int y_, int width_, int height_, TextureLibrary* textures_) {
  x = x_;
  y = y_;
  width = width_;
  height = height_;
  textures = textures_;
}

bool Button::Contains(int cx, int cy) const {
  // Floating point so that odd sizes keep their half pixel.
  double halfW = width / 2.0, halfH = height / 2.0;
  return cx >= x - halfW && cx <= x + halfW && cy >= y - halfH && cy <= y + halfH;
}

bool Button::IsClicked() const {
  int cx = 0, cy = 0;
  platform::CursorPosition(&cx, &cy);
  return Contains(cx, cy);
}
