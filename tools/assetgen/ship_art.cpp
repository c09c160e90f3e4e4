// The three hulls, seen from above with the nose at the top: the fighter
// (red-trimmed gunmetal arrow with wing-tip guns), the bomber (dark faceted
// flying wing with violet exhausts) and the scout (ivory pod with four linked
// engine pods). Painted at 512 and reduced to 256 for clean edges.
#include <cmath>

#include "art.h"
#include "noise.h"
#include "raster.h"
#include "scenery.h"

namespace assetgen {

namespace {

constexpr int S = 512;

Paint metal(Color c, uint32_t seed, float grain = 0.08f) {
  return [=](float x, float y) {
    float n = fbm(x / 38.f, y / 38.f, seed, 4);
    float streak = fbm(x / 90.f, y / 9.f, seed + 5, 3);
    return c * (1.f + grain * n + 0.5f * grain * streak);
  };
}

struct Hull {
  Image img{S, S};
  Mask silhouette{S, S};

  void part(const Mask& m, const Paint& p, float bevel, float shine = 0.5f) {
    Light l;
    l.bevel = bevel;
    l.specular = shine;
    paintShaded(img, m, p, l);
    silhouette = maskUnion(silhouette, m);
  }
  void part(const Poly& poly, const Paint& p, float bevel, float shine = 0.5f) {
    part(fillPolygon(S, S, poly), p, bevel, shine);
  }
  // Engraved panel line: dark groove with a light lip below it.
  void groove(const Poly& line, float width = 2.2f) {
    Mask g = maskIntersect(strokeMask(S, S, line, width), silhouette);
    Mask lip = maskIntersect(shifted(g, 1, 1), silhouette);
    addMask(img, maskSubtract(lip, g), rgb8(255, 255, 255), 0.12f);
    darkenMask(img, g, 0.45f);
  }
  void canopy(const Poly& shape, Color glass) {
    Mask m = fillPolygon(S, S, shape);
    Light l;
    l.bevel = 10;
    l.specular = 1.1f;
    l.shininess = 40;
    l.depth = 1.6f;
    paintShaded(
        img, m, [=](float, float y) { return mix(glass, glass * 0.25f, clamp01((y - 90) / 140)); },
        l);
    silhouette = maskUnion(silhouette, m);
  }
  // Dark rim around the whole hull: reads against bright nebulae, and it
  // hides the colour key's cut-out edge.
  Image finish() {
    Mask grown = blurred(silhouette, 5);
    Mask rim(S, S);
    for (size_t i = 0; i < rim.v.size(); ++i)
      rim.v[i] = clamp01(grown.v[i] * 5.f) * (1 - silhouette.v[i]);
    paintMask(img, rim, rgb8(14, 16, 24));
    return resized(img, S / 2, S / 2);
  }
};

Poly capsule(float x, float y0, float y1, float w) {
  Poly p;
  float r = w / 2;
  for (int i = 0; i <= 12; ++i) {
    float a = float(M_PI) * (1 + float(i) / 12);
    p.push_back({x + r * std::cos(a), y0 + r * std::sin(a) + r});
  }
  for (int i = 0; i <= 12; ++i) {
    float a = float(M_PI) * float(i) / 12;
    p.push_back({x + r * std::cos(a), y1 + r * std::sin(a) - r});
  }
  return p;
}

Poly mirrorPoly(const Poly& p) {
  Poly r;
  for (auto it = p.rbegin(); it != p.rend(); ++it) r.push_back({float(S) - it->x, it->y});
  return r;
}

void nozzle(Image& img, float x, float y, float rx, Color hot) {
  Mask m = fillPolygon(S, S, ellipsePoly(x, y, rx, rx * 0.55f));
  paintMask(img, m, rgb8(24, 20, 22));
  addGlowEllipse(img, x, y + 2, rx * 0.85f, rx * 0.45f, hot, 1.4f, 1.5f);
  addGlowEllipse(img, x, y + 3, rx * 0.45f, rx * 0.25f, rgb8(255, 250, 235), 1.2f, 1.5f);
}

}  // namespace

Image fighterPicture() {
  Hull h;
  const Color gun = rgb8(132, 140, 154), wingC = rgb8(92, 98, 114), red = rgb8(206, 44, 36);
  Poly wingR = {{292, 190}, {360, 260}, {452, 334}, {488, 370},
                {492, 402}, {440, 410}, {380, 404}, {296, 392}};
  Poly bandR = {{292, 186}, {360, 256}, {452, 330}, {490, 366},
                {490, 386}, {450, 352}, {356, 278}, {292, 212}};
  for (bool left : {false, true}) {
    Poly w = left ? mirrorPoly(wingR) : wingR, band = left ? mirrorPoly(bandR) : bandR;
    h.part(w, metal(wingC, 3), 7);
    paintMask(h.img, maskIntersect(fillPolygon(S, S, band), fillPolygon(S, S, w)), red, 0.9f);
  }
  for (float x : {462.f, 50.f}) {
    h.part(capsule(x, 150, 250, 10), metal(rgb8(70, 74, 84), 4), 3, 0.8f);
    h.part(capsule(x, 226, 428, 28), metal(gun, 5), 9);
    addGlow(h.img, x, 152, 6, rgb8(255, 120, 60), 0.8f);
  }
  Poly body = mirrored({{256, 14},
                        {266, 40},
                        {276, 90},
                        {284, 150},
                        {290, 210},
                        {296, 280},
                        {300, 350},
                        {298, 410},
                        {290, 455},
                        {276, 480},
                        {256, 488}},
                       256);
  h.part(body, metal(gun, 6), 12, 0.6f);
  paintMask(h.img, fillPolygon(S, S, mirrored({{256, 14}, {266, 40}, {271, 62}, {256, 70}}, 256)),
            red);
  for (float x : {306.f, 206.f})
    h.part(capsule(x, 318, 482, 48), metal(rgb8(104, 108, 122), 7), 10);
  h.part(capsule(256, 196, 446, 16), metal(rgb8(160, 168, 182), 8), 5, 0.7f);
  h.canopy(smoothClosed(ellipsePoly(256, 140, 19, 52, 16)), rgb8(70, 210, 255));
  h.groove({{230, 300}, {282, 300}});
  h.groove({{232, 360}, {280, 360}});
  h.groove({{300, 214}, {440, 360}});
  h.groove({{212, 214}, {72, 360}});
  for (float x : {306.f, 206.f}) nozzle(h.img, x, 472, 17, rgb8(255, 140, 40));
  addGlow(h.img, 30, 400, 7, rgb8(255, 40, 40), 1.0f);   // port light
  addGlow(h.img, 482, 400, 7, rgb8(40, 255, 90), 1.0f);  // starboard light
  return h.finish();
}

Image bomberPicture() {
  Hull h;
  const Color slate = rgb8(60, 66, 92);
  Poly wing = mirrored(
      {{256, 64}, {500, 332}, {494, 356}, {410, 398}, {350, 358}, {292, 414}, {256, 394}}, 256);
  Mask wingM = fillPolygon(S, S, wing);
  h.part(wingM, metal(slate, 9, 0.06f), 5, 0.35f);
  // Flat facets in different light: the faceted stealth look.
  struct Facet {
    Poly p;
    float k;
  } facets[] = {
      {{{256, 64}, {500, 332}, {300, 226}}, 1.18f},
      {{{256, 64}, {12, 332}, {212, 226}}, 1.42f},
      {{{300, 226}, {500, 332}, {494, 356}, {410, 398}, {350, 358}}, 0.78f},
      {{{212, 226}, {12, 332}, {18, 356}, {102, 398}, {162, 358}}, 0.95f},
  };
  for (const Facet& f : facets) {
    Mask m = maskIntersect(fillPolygon(S, S, f.p), wingM);
    if (f.k > 1)
      addMask(h.img, m, slate, (f.k - 1) * 0.8f);
    else
      darkenMask(h.img, m, f.k);
  }
  Poly body =
      mirrored({{256, 82}, {286, 140}, {304, 240}, {306, 330}, {292, 398}, {256, 390}}, 256);
  h.part(body, metal(rgb8(74, 80, 110), 10, 0.06f), 14, 0.45f);
  Poly visor = mirrored({{256, 118}, {276, 160}, {270, 188}, {256, 194}}, 256);
  h.canopy(visor, rgb8(255, 190, 80));
  // Glowing trim along the leading edges.
  Mask trim = maskIntersect(strokeMask(S, S, {{262, 86}, {488, 334}}, 3), wingM);
  trim = maskUnion(trim, maskIntersect(strokeMask(S, S, {{250, 86}, {24, 334}}, 3), wingM));
  addMask(h.img, blurred(trim, 5), rgb8(60, 220, 255), 0.6f);
  addMask(h.img, trim, rgb8(150, 240, 255), 1.f);
  h.groove({{256, 200}, {256, 372}}, 2.5f);
  h.groove({{300, 226}, {350, 358}});
  h.groove({{212, 226}, {162, 358}});
  for (float x : {230.f, 282.f}) {
    Mask slit = fillPolygon(S, S, roundRectPoly(x - 7, 318, x + 7, 382, 6));
    paintMask(h.img, slit, rgb8(30, 10, 40));
    addMask(h.img, blurred(slit, 6), rgb8(190, 80, 255), 0.9f);
    addMask(h.img, maskScaled(slit, 0.8f), rgb8(255, 200, 255), 0.8f);
  }
  addGlow(h.img, 24, 340, 7, rgb8(255, 40, 40), 1.0f);
  addGlow(h.img, 488, 340, 7, rgb8(40, 255, 90), 1.0f);
  return h.finish();
}

Image scoutPicture() {
  Hull h;
  const Color ivory = rgb8(226, 220, 204), gold = rgb8(240, 168, 32);
  // The link field inside the ring: a dim energy lattice, so the hull is one
  // solid disc rather than a ring with see-through gaps.
  Mask field = discMask(S, S, 256, 268, 140);
  paintMask(h.img, field, [](float x, float y) {
    float gx = std::fabs(std::fmod(x + 1000.f, 24.f) - 12.f),
          gy = std::fabs(std::fmod(y + 1000.f, 24.f) - 12.f);
    float line = std::max(smoothstep(10.f, 12.f, gx), smoothstep(10.f, 12.f, gy));
    float d = std::hypot(x - 256, y - 268) / 140.f;
    return mix(rgb8(14, 34, 40), rgb8(40, 150, 130), line * 0.6f + d * d * 0.3f);
  });
  h.silhouette = maskUnion(h.silhouette, field);
  h.part(ringMask(S, S, 256, 268, 134, 152), metal(rgb8(150, 146, 136), 11), 5);
  for (auto [a, b] : {std::pair<V2, V2>{{256, 230}, {362, 176}},
                      {{256, 230}, {150, 176}},
                      {{256, 300}, {372, 352}},
                      {{256, 300}, {140, 352}}})
    h.part(strokeMask(S, S, {a, b}, 22), metal(rgb8(170, 166, 156), 12), 5);
  struct Pod {
    float x, y0, y1, w;
  } pods[] = {{362, 112, 246, 60}, {150, 112, 246, 60}, {372, 282, 426, 66}, {140, 282, 426, 66}};
  for (const Pod& p : pods) {
    h.part(capsule(p.x, p.y0, p.y1, p.w), metal(ivory, 13), 12);
    Mask band = maskIntersect(fillPolygon(S, S, rectPoly(p.x - 40, p.y0 + 46, p.x + 40, p.y0 + 62)),
                              fillPolygon(S, S, capsule(p.x, p.y0, p.y1, p.w)));
    paintMask(h.img, band, gold, 0.9f);
    paintMask(h.img, fillPolygon(S, S, ellipsePoly(p.x, p.y0 + 16, p.w * 0.3f, 9)),
              rgb8(30, 30, 36));
    nozzle(h.img, p.x, p.y1 - 8, p.w * 0.36f, rgb8(80, 255, 170));
  }
  Poly body = mirrored(
      {{256, 56}, {284, 100}, {304, 170}, {312, 260}, {306, 340}, {290, 400}, {256, 424}}, 256);
  h.part(body, metal(ivory, 14), 16, 0.6f);
  Mask stripe =
      maskIntersect(fillPolygon(S, S, rectPoly(244, 60, 268, 430)), fillPolygon(S, S, body));
  paintMask(h.img, stripe, gold, 0.85f);
  h.canopy(smoothClosed(ellipsePoly(256, 160, 24, 44, 16)), rgb8(80, 240, 130));
  h.groove({{220, 250}, {292, 250}});
  h.groove({{224, 320}, {288, 320}});
  nozzle(h.img, 256, 414, 14, rgb8(80, 255, 170));
  return h.finish();
}

void makeShips(Output& out) {
  out.png("Images/tsf_gunship.png", fighterPicture(), PicKind::Keyed);
  out.png("Images/tsf_stealth.PNG", bomberPicture(), PicKind::Keyed);
  out.png("Images/quadscout1_linked.PNG", scoutPicture(), PicKind::Keyed);
}

}  // namespace assetgen
