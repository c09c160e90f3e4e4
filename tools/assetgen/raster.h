// Anti-aliased shape rasterising into coverage masks: polygons (scanline with
// vertical supersampling and exact horizontal coverage), strokes and discs
// (analytic distance).
#pragma once

#include <vector>

#include "pixels.h"

namespace assetgen {

struct V2 {
  float x = 0, y = 0;
};
using Poly = std::vector<V2>;

// Even-odd fill of one or more contours, in pixel coordinates.
Mask fillPolygons(int w, int h, const std::vector<Poly>& contours, int ss = 5);
Mask fillPolygon(int w, int h, const Poly& poly, int ss = 5);

Poly ellipsePoly(float cx, float cy, float rx, float ry, int n = 96, float rotDeg = 0);
Poly rectPoly(float x0, float y0, float x1, float y1);
// Closed Catmull-Rom curve through the control points.
Poly smoothClosed(const Poly& ctrl, int perSegment = 12);
// A shape symmetric about x = cx, given the right half from the nose (top)
// to the tail; the mirrored left half is appended in reverse order.
Poly mirrored(const Poly& rightHalf, float cx);
Poly translated(const Poly& p, float dx, float dy);
Poly scaled(const Poly& p, float sx, float sy, float cx, float cy);
Poly rotated(const Poly& p, float deg, float cx, float cy);

Mask discMask(int w, int h, float cx, float cy, float r);
// Round-capped thick polyline.
Mask strokeMask(int w, int h, const Poly& pts, float width, bool closed = false);
// Ring between radii r0 < r1.
Mask ringMask(int w, int h, float cx, float cy, float r0, float r1);

}  // namespace assetgen
