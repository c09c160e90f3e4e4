// The carrier seen from above, nose up, painted as one 1024 x 2048 picture and
// cut into eight 512 x 512 tiles (two columns, four rows, top row first), so
// the tiles meet without seams.
#include <cmath>

#include "art.h"
#include "noise.h"
#include "raster.h"
#include "scenery.h"

namespace assetgen {

namespace {

constexpr int W = 1024, H = 2048;

Paint plating(Color c, uint32_t seed) {
  return [=](float x, float y) {
    float grime = fbm(x / 70.f, y / 70.f, seed, 5);
    float plate = hash01(int(x / 64), int(y / 128), seed) * 0.08f;
    return c * (0.9f + 0.12f * grime + plate);
  };
}

void shaded(Image& img, const Mask& m, const Paint& p, float bevel, float shine = 0.35f) {
  Light l;
  l.bevel = bevel;
  l.specular = shine;
  l.ambient = 0.5f;
  paintShaded(img, m, p, l);
}

void turret(Image& img, float x, float y, float r, float aimDeg) {
  float a = (aimDeg - 90) * float(M_PI) / 180.f;
  float bx = std::cos(a), by = std::sin(a), px = -by, py = bx;
  Mask barrels(W, H);
  for (float side : {-0.35f, 0.35f}) {
    V2 s{x + px * r * side, y + py * r * side};
    barrels = maskUnion(
        barrels, strokeMask(W, H, {s, {s.x + bx * r * 2.1f, s.y + by * r * 2.1f}}, r * 0.28f));
  }
  shaded(
      img, barrels, [](float, float) { return rgb8(84, 88, 98); }, 3, 0.6f);
  shaded(
      img, discMask(W, H, x, y, r), [](float, float) { return rgb8(128, 134, 146); }, r * 0.45f,
      0.6f);
  addGlow(img, x, y, r * 0.3f, rgb8(255, 80, 60), 0.5f);
}

}  // namespace

Image carrierPicture() {
  Image img(W, H);
  Poly hullR = {{512, 40},   {560, 70},   {620, 150},  {680, 280},  {730, 450},
                {770, 650},  {790, 900},  {796, 1200}, {796, 1500}, {790, 1760},
                {776, 1900}, {750, 1990}, {700, 2010}, {512, 2010}};
  Mask hull = fillPolygon(W, H, mirrored(hullR, 512));
  Mask sponson = fillPolygon(
      W, H, {{330, 640}, {170, 820}, {140, 1000}, {180, 1300}, {300, 1420}, {330, 1400}});
  hull = maskUnion(hull, sponson);
  shaded(img, hull, plating(rgb8(108, 116, 132), 1), 26);

  // Flight deck: the darker top surface, inset from the hull's rim.
  Mask deck = fillPolygon(W, H,
                          mirrored({{512, 130},
                                    {596, 230},
                                    {652, 380},
                                    {700, 600},
                                    {722, 900},
                                    {728, 1500},
                                    {720, 1800},
                                    {700, 1930},
                                    {512, 1940}},
                                   512));
  deck = maskUnion(
      deck,
      fillPolygon(W, H,
                  {{340, 680}, {196, 840}, {170, 1000}, {206, 1280}, {310, 1380}, {360, 1300}}));
  shaded(img, deck, plating(rgb8(62, 66, 76), 2), 6, 0.15f);
  std::vector<Poly> seamRects;
  for (float y = 160; y < 1940; y += 64)
    seamRects.push_back(rectPoly(100, y - 0.8f, 900, y + 0.8f));
  darkenMask(img, maskIntersect(fillPolygons(W, H, seamRects), deck), 0.75f);

  // Main runway and the angled landing strip, with lights.
  std::vector<Poly> paint;
  for (float y = 300; y < 1780; y += 70) paint.push_back(rectPoly(464, y, 476, y + 36));
  for (float x : {390.f, 546.f}) paint.push_back(rectPoly(x, 260, x + 4, 1860));
  for (float y = 1790; y < 1860; y += 20) paint.push_back(rectPoly(400, y, 540, y + 8));
  Mask marks = maskUnion(fillPolygons(W, H, paint), strokeMask(W, H, {{245, 1345}, {505, 690}}, 3));
  paintMask(img, maskIntersect(marks, deck), rgb8(226, 228, 232), 0.85f);
  paintMask(img, strokeMask(W, H, {{214, 1320}, {478, 668}}, 4), rgb8(240, 200, 40), 0.8f);
  paintMask(img, strokeMask(W, H, {{276, 1372}, {540, 716}}, 4), rgb8(240, 200, 40), 0.8f);
  for (float y = 280; y < 1860; y += 56)
    for (float x : {384.f, 556.f}) addGlow(img, x, y, 7, rgb8(90, 170, 255), 0.9f);

  // Hull number near the bow.
  Typeface face(kSansBold);
  Mask num(W, H);
  face.draw(num, "07", 404, 600, 120);
  paintMask(img, maskIntersect(num, deck), rgb8(230, 230, 226), 0.75f);

  // Elevators.
  for (float y : {520.f, 1480.f}) {
    Mask lift = fillPolygon(W, H, rectPoly(600, y, 700, y + 110));
    shaded(img, lift, plating(rgb8(80, 84, 94), 3), 4);
    paintMask(img,
              strokeMask(W, H, {{600, y}, {700, y}, {700, y + 110}, {600, y + 110}, {600, y}}, 3),
              rgb8(240, 200, 40), 0.9f);
  }

  // The island: stepped superstructure with radar, masts and windows.
  shaded(img, fillPolygon(W, H, roundRectPoly(640, 930, 770, 1320, 18)),
         plating(rgb8(126, 132, 146), 4), 18, 0.5f);
  shaded(img, fillPolygon(W, H, roundRectPoly(662, 980, 750, 1230, 14)),
         plating(rgb8(146, 152, 166), 5), 14, 0.6f);
  for (float y = 1000; y < 1220; y += 26)
    for (float x = 675; x < 740; x += 16) addGlow(img, x, y, 3.2f, rgb8(255, 214, 120), 0.9f);
  shaded(
      img, discMask(W, H, 706, 1270, 30), [](float, float) { return rgb8(190, 196, 206); }, 12,
      0.9f);
  paintMask(img, strokeMask(W, H, {{680, 1270}, {732, 1270}}, 4), rgb8(70, 74, 84));
  for (V2 m : {V2{706, 950}, V2{690, 1300}})
    paintMask(img, strokeMask(W, H, {m, {m.x + 40, m.y - 30}}, 3), rgb8(200, 204, 212));

  turret(img, 456, 270, 30, 0);
  turret(img, 568, 270, 30, 0);
  for (float y : {700.f, 1000.f, 1300.f, 1600.f}) {
    turret(img, 752 - (y < 900 ? 12 : 0), y + 40, 20, 90);
    if (y > 1350 || y < 650) turret(img, 272 + (y < 900 ? 12 : 0), y + 40, 20, -90);
  }
  turret(img, 250, 1500, 20, -90);

  // Stern: hazard band and five engine bells blazing.
  Mask band = maskIntersect(fillPolygon(W, H, rectPoly(0, 1900, W, 1936)), deck);
  paintMask(
      img, band,
      [](float x, float y) {
        return int((x + y) / 18) % 2 ? rgb8(210, 40, 36) : rgb8(230, 230, 230);
      },
      0.85f);
  for (float x : {352.f, 432.f, 512.f, 592.f, 672.f}) {
    shaded(
        img, fillPolygon(W, H, roundRectPoly(x - 34, 1975, x + 34, 2030, 12)),
        [](float, float) { return rgb8(90, 94, 104); }, 8, 0.7f);
    addGlowEllipse(img, x, 2026, 30, 14, rgb8(90, 170, 255), 1.4f, 1.5f);
    addGlowEllipse(img, x, 2026, 16, 7, rgb8(230, 245, 255), 1.4f, 1.5f);
  }
  // Fighters parked on deck, ready to launch.
  Image fighter = fighterPicture();
  for (V2 p : {V2{300, 1000}, V2{300, 1110}, V2{300, 1220}, V2{620, 1700}})
    drawRotated(img, fighter, p.x, p.y, 0.36f, p.y > 1500 ? 0.f : -20.f);
  addGlow(img, 180, 1000, 9, rgb8(255, 40, 40), 1.0f);
  addGlow(img, 792, 1000, 9, rgb8(40, 255, 90), 1.0f);
  addGlow(img, 512, 60, 8, rgb8(255, 255, 255), 1.0f);
  return img;
}

void makeCarrier(Output& out) {
  Image ship = carrierPicture();
  for (int i = 0; i < 8; ++i) {
    int col = i % 2, row = i / 2;
    out.png("Images/InDep" + std::to_string(i + 1) + ".PNG",
            cropped(ship, col * 512, row * 512, 512, 512), PicKind::Keyed, false);
  }
  // One review picture of the whole ship, to judge the seams.
  out.review("Images/InDep1-8 (whole)", resized(ship, 512, 1024), PicKind::Keyed);
}

}  // namespace assetgen
