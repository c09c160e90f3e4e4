#include "raster.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

// Adds the span [xa, xb) with weight wgt to a row of coverage, exactly in x.
void addSpan(std::vector<float>& row, std::vector<float>& diff, float xa, float xb, float wgt) {
  int w = int(row.size());
  xa = std::max(xa, 0.f);
  xb = std::min(xb, float(w));
  if (xb <= xa) return;
  int ia = int(xa), ib = int(xb);
  if (ia == ib) {
    row[ia] += (xb - xa) * wgt;
    return;
  }
  row[ia] += (ia + 1 - xa) * wgt;
  diff[ia + 1] += wgt;
  diff[ib] -= wgt;
  if (ib < w) row[ib] += (xb - ib) * wgt;
}

}  // namespace

Mask fillPolygons(int w, int h, const std::vector<Poly>& contours, int ss) {
  Mask m(w, h);
  struct Edge {
    float x0, y0, x1, y1;
  };
  std::vector<Edge> edges;
  float ymin = 1e30f, ymax = -1e30f;
  for (const Poly& p : contours) {
    for (size_t i = 0; i < p.size(); ++i) {
      V2 a = p[i], b = p[(i + 1) % p.size()];
      if (a.y == b.y) continue;
      edges.push_back({a.x, a.y, b.x, b.y});
      ymin = std::min({ymin, a.y, b.y});
      ymax = std::max({ymax, a.y, b.y});
    }
  }
  if (edges.empty()) return m;
  int ya = std::max(0, int(std::floor(ymin))), yb = std::min(h - 1, int(std::ceil(ymax)));
  std::vector<float> row(w + 1), diff(w + 2), xs;
  const float wgt = 1.f / ss;
  for (int y = ya; y <= yb; ++y) {
    std::fill(row.begin(), row.end(), 0.f);
    std::fill(diff.begin(), diff.end(), 0.f);
    for (int s = 0; s < ss; ++s) {
      float sy = y + (s + 0.5f) / ss;
      xs.clear();
      for (const Edge& e : edges) {
        float lo = std::min(e.y0, e.y1), hi = std::max(e.y0, e.y1);
        if (sy < lo || sy >= hi) continue;
        xs.push_back(e.x0 + (sy - e.y0) / (e.y1 - e.y0) * (e.x1 - e.x0));
      }
      std::sort(xs.begin(), xs.end());
      for (size_t i = 0; i + 1 < xs.size(); i += 2) addSpan(row, diff, xs[i], xs[i + 1], wgt);
    }
    float run = 0;
    for (int x = 0; x < w; ++x) {
      run += diff[x];
      m.at(x, y) = std::clamp(row[x] + run, 0.f, 1.f);  // float sums may stray by 1e-7
    }
  }
  return m;
}

Mask fillPolygon(int w, int h, const Poly& poly, int ss) { return fillPolygons(w, h, {poly}, ss); }

Poly ellipsePoly(float cx, float cy, float rx, float ry, int n, float rotDeg) {
  Poly p;
  float c = std::cos(rotDeg * float(M_PI) / 180), s = std::sin(rotDeg * float(M_PI) / 180);
  for (int i = 0; i < n; ++i) {
    float t = 2 * float(M_PI) * i / n;
    float x = rx * std::cos(t), y = ry * std::sin(t);
    p.push_back({cx + x * c - y * s, cy + x * s + y * c});
  }
  return p;
}

Poly rectPoly(float x0, float y0, float x1, float y1) {
  return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

Poly smoothClosed(const Poly& c, int per) {
  Poly out;
  size_t n = c.size();
  for (size_t i = 0; i < n; ++i) {
    V2 p0 = c[(i + n - 1) % n], p1 = c[i], p2 = c[(i + 1) % n], p3 = c[(i + 2) % n];
    for (int k = 0; k < per; ++k) {
      float t = float(k) / per, t2 = t * t, t3 = t2 * t;
      auto cr = [&](float a, float b, float cc, float d) {
        return 0.5f * (2 * b + (-a + cc) * t + (2 * a - 5 * b + 4 * cc - d) * t2 +
                       (-a + 3 * b - 3 * cc + d) * t3);
      };
      out.push_back({cr(p0.x, p1.x, p2.x, p3.x), cr(p0.y, p1.y, p2.y, p3.y)});
    }
  }
  return out;
}

Poly mirrored(const Poly& right, float cx) {
  Poly p = right;
  for (auto it = right.rbegin(); it != right.rend(); ++it) {
    V2 q{2 * cx - it->x, it->y};
    if (std::fabs(q.x - it->x) < 1e-4f) continue;  // points on the axis appear once
    p.push_back(q);
  }
  return p;
}

Poly translated(const Poly& p, float dx, float dy) {
  Poly r = p;
  for (V2& v : r) v.x += dx, v.y += dy;
  return r;
}

Poly scaled(const Poly& p, float sx, float sy, float cx, float cy) {
  Poly r = p;
  for (V2& v : r) v.x = cx + (v.x - cx) * sx, v.y = cy + (v.y - cy) * sy;
  return r;
}

Poly rotated(const Poly& p, float deg, float cx, float cy) {
  float c = std::cos(deg * float(M_PI) / 180), s = std::sin(deg * float(M_PI) / 180);
  Poly r = p;
  for (V2& v : r) {
    float x = v.x - cx, y = v.y - cy;
    v.x = cx + x * c - y * s;
    v.y = cy + x * s + y * c;
  }
  return r;
}

Mask discMask(int w, int h, float cx, float cy, float r) { return ringMask(w, h, cx, cy, -1.f, r); }

Mask ringMask(int w, int h, float cx, float cy, float r0, float r1) {
  Mask m(w, h);
  int x0 = std::max(0, int(cx - r1 - 2)), x1 = std::min(w - 1, int(cx + r1 + 2));
  int y0 = std::max(0, int(cy - r1 - 2)), y1 = std::min(h - 1, int(cy + r1 + 2));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
      float outer = clamp01(r1 - d + 0.5f), inner = r0 < 0 ? 1.f : clamp01(d - r0 + 0.5f);
      m.at(x, y) = outer * inner;
    }
  return m;
}

Mask strokeMask(int w, int h, const Poly& pts, float width, bool closed) {
  Mask m(w, h);
  float hw = width * 0.5f;
  size_t segs = closed ? pts.size() : pts.size() - 1;
  for (size_t i = 0; i < segs && pts.size() > 1; ++i) {
    V2 a = pts[i], b = pts[(i + 1) % pts.size()];
    int x0 = std::max(0, int(std::min(a.x, b.x) - hw - 2)),
        x1 = std::min(w - 1, int(std::max(a.x, b.x) + hw + 2));
    int y0 = std::max(0, int(std::min(a.y, b.y) - hw - 2)),
        y1 = std::min(h - 1, int(std::max(a.y, b.y) + hw + 2));
    float dx = b.x - a.x, dy = b.y - a.y, len2 = std::max(1e-6f, dx * dx + dy * dy);
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        float px = x + 0.5f - a.x, py = y + 0.5f - a.y;
        float t = std::clamp((px * dx + py * dy) / len2, 0.f, 1.f);
        float d = std::hypot(px - t * dx, py - t * dy);
        float c = clamp01(hw - d + 0.5f);
        if (c > m.at(x, y)) m.at(x, y) = c;
      }
  }
  return m;
}

}  // namespace assetgen
