#include "base/heading.h"

#include <algorithm>
#include <cmath>

#include "base/angle.h"

float HeadingTowards(float fromX, float fromY, float toX, float toY, float fallback) {
  const float dx = fromX - toX, dy = fromY - toY;
  const float manhattan = std::fabs(dx) + std::fabs(dy);
  if (manhattan == 0) return fallback;
  float a = std::acos(std::clamp(dx / manhattan, -1.0f, 1.0f)) / kDegToRad;
  if (dy < 0) a = 360 - a;
  if (a <= 180)
    a = 180 - a;
  else
    a = 540 - a;
  return a;
}
