// CapShip: a capital ship, a very large picture of a carrier. No physics, no
// collision: only where it lies and how it is turned (WorldView draws it from
// eight texture tiles that turn together). Globals Carrier (drawn) and
// Carrier2 (initialised only).
#pragma once

class CapShip {
 public:
  float x = 0, y = 0;  // centre
  int width = 0, height = 0;
  float rotation = 0;  // degrees; 90 draws the picture upright

  void InitMe(int width, int height, int x, int y, float rotation);
};
