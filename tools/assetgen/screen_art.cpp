// The full-screen pictures (1024 x 768): title, options, name entry, the
// internet server list, the loading picture and a backdrop. The invisible
// buttons of the front end sit at fixed rectangles; the pictures draw each
// button with its label exactly there, and keep dark the places where the
// game prints text over them (the help line at the bottom left, the name at
// the top right).
#include <cmath>

#include "art.h"
#include "noise.h"
#include "raster.h"
#include "scenery.h"

namespace assetgen {

namespace {

constexpr int W = 1024, H = 768;
const Color kCyan = rgb8(70, 200, 255);

// Exhaust light trailing behind a ship drawn at (x, y), heading rotated by
// deg clockwise from "up".
void exhaust(Image& img, float x, float y, float deg, float dist, float len, Color c) {
  float a = deg * float(M_PI) / 180.f, bx = -std::sin(a), by = std::cos(a);
  for (int i = 0; i < 12; ++i) {
    float t = i / 11.f, d = dist + len * t;
    addGlow(img, x + bx * d, y + by * d, (1 - t) * len * 0.22f + 3, c, 0.35f * (1 - t), 1.6f);
  }
  addGlow(img, x + bx * dist, y + by * dist, len * 0.12f, rgb8(255, 255, 240), 0.7f);
}

void paintLogo(Image& img, std::string_view word, float x, float baseline, float size, Color top,
               Color bottom, Color glow, float shear = -0.18f) {
  Typeface bold(kSansBold);
  Mask m(img.w, img.h);
  bold.draw(m, word, x, baseline, size, 1.05f, shear);
  float capTop = baseline - size * 0.73f;
  addMask(img, blurred(m, size * 0.25f), glow, 0.7f);
  Mask rim = maskSubtract(blurred(m, 2.5f), m);
  for (float& v : rim.v) v = clamp01(v * 4);
  paintMask(img, rim, rgb8(6, 10, 24));
  paintMask(img, m, [=](float, float y) {
    float t = clamp01((y - capTop) / (baseline - capTop));
    Color c = mix(top, bottom, t);
    if (t > 0.48f && t < 0.56f) c = mix(c, rgb8(255, 255, 255), 0.6f);  // chrome horizon line
    return c;
  });
}

void paintTitleLogo(Image& img, float x, float baseline, float size) {
  Typeface bold(kSansBold);
  float w = bold.width("VOIDRAKE", size, 1.05f);
  paintLogo(img, "VOIDRAKE", x, baseline, size, rgb8(235, 242, 255), rgb8(70, 86, 124), kCyan);
  paintLogo(img, "2", x + w + size * 0.12f, baseline, size * 1.15f, rgb8(255, 230, 120),
            rgb8(210, 50, 20), rgb8(255, 110, 30));
}

// A dark input field where the game prints the name in green (additive, so
// the field must stay nearly black): from x 772, 16 characters and the caret
// 10 pixels apart.
void nameField(Image& img, Typeface& label) {
  paintMask(img, fillPolygon(W, H, roundRectPoly(762, 139, 960, 167, 5)), rgb8(2, 5, 10));
  Poly rim = roundRectPoly(762.5f, 139.5f, 959.5f, 166.5f, 5);
  rim.push_back(rim.front());
  paintMask(img, strokeMask(W, H, rim, 1.5f), kCyan * 0.8f);
  paintText(img, label, "PILOT", 712, 158, 13, rgb8(150, 210, 240), 1.f, 0.f, {}, 1.5f);
}

Image scene(uint32_t seed, const NebulaStyle& style) {
  Image img(W, H);
  paintSpace(img, seed, style, 650);
  return img;
}

}  // namespace

void makeTitle(Output& out) {
  Image img = scene(31, {rgb8(50, 12, 80), rgb8(120, 40, 150), rgb8(255, 140, 200), 2.2f, 0.9f});
  paintPlanet(img, 880, 930, 460,
              {rgb8(120, 50, 24), rgb8(238, 178, 110), rgb8(255, 160, 90), 18, 0, 5});
  drawRotated(img, bomberPicture(), 250, 530, 0.78f, 18);
  exhaust(img, 250, 530, 18, 70, 120, rgb8(190, 90, 255));
  drawRotated(img, scoutPicture(), 760, 560, 0.42f, 38);
  exhaust(img, 760, 560, 38, 46, 90, rgb8(90, 255, 170));
  drawRotated(img, fighterPicture(), 560, 440, 0.9f, 28);
  exhaust(img, 560, 440, 28, 110, 180, rgb8(255, 150, 60));
  darkenBottom(img, 620, 0.12f);
  paintTitleLogo(img, 46, 230, 104);
  Typeface sans(kSansBold);
  paintText(img, sans, "SPACE  COMBAT", 52, 276, 22, rgb8(160, 220, 255), 1.f, 0.6f, kCyan, 6);

  paintPanel(img, 700, 3, 1006, 152, kCyan);
  paintButton(img, sans, 755, 29, 90, 35, "Internet", kCyan);
  paintButton(img, sans, 853, 29, 90, 35, "LAN", kCyan);
  paintButton(img, sans, 950, 29, 90, 35, "Host", kCyan);
  paintButton(img, sans, 755, 125, 90, 35, "Options", rgb8(160, 170, 255));
  paintButton(img, sans, 950, 125, 90, 35, "Play", rgb8(255, 150, 60));
  paintTextCentred(img, sans, "MULTIPLAYER", 853, 70, 11, rgb8(120, 190, 230), 0.f, {}, 3);
  addGlow(img, 853, 125, 14, kCyan, 0.6f);
  addGlow(img, 853, 125, 5, rgb8(255, 255, 255), 0.8f);
  out.png("Images/screenintro3s.PNG", img, PicKind::Opaque);
}

void makeOptions(Output& out) {
  Image img = scene(32, {rgb8(8, 50, 60), rgb8(20, 120, 130), rgb8(140, 255, 230), 2.6f, 0.85f});
  paintPlanet(img, 180, 700, 330,
              {rgb8(20, 40, 70), rgb8(70, 140, 170), rgb8(120, 200, 255), 0, 0, 9});
  drawRotated(img, bomberPicture(), 560, 470, 1.1f, -12);
  exhaust(img, 560, 470, -12, 100, 150, rgb8(190, 90, 255));
  darkenBottom(img, 600, 0.12f);
  Typeface sans(kSansBold), plain(kSans);
  paintLogo(img, "OPTIONS", 46, 110, 64, rgb8(235, 242, 255), rgb8(60, 110, 130),
            rgb8(60, 220, 220));
  const char* lines[] = {"Graphics: High glows, Medium uses shaders,", "Low runs on anything.",
                         "Name: what the other pilots see.",
                         "Music: on or off once a game starts."};
  for (int i = 0; i < 4; ++i)
    paintText(img, plain, lines[i], 50, 160 + 24.f * i, 17, rgb8(190, 225, 235));

  paintPanel(img, 700, 3, 1023, 174, rgb8(70, 230, 210));
  paintButton(img, sans, 755, 29, 90, 35, "High", rgb8(255, 200, 80));
  paintButton(img, sans, 853, 29, 90, 35, "Medium", rgb8(120, 230, 160));
  paintButton(img, sans, 950, 29, 90, 35, "Low", rgb8(150, 180, 255));
  paintTextCentred(img, sans, "GRAPHICS", 853, 70, 11, rgb8(140, 220, 210), 0.f, {}, 3);
  paintButton(img, sans, 755, 120, 90, 35, "Name", kCyan);
  paintButton(img, sans, 853, 120, 90, 35, "Music On", rgb8(120, 230, 160));
  paintButton(img, sans, 950, 120, 90, 35, "Music Off", rgb8(255, 120, 110));
  nameField(img, sans);
  out.png("Images/screenintro4s.PNG", img, PicKind::Opaque);
}

void makeNameEntry(Output& out) {
  Image img = scene(33, {rgb8(10, 30, 70), rgb8(30, 80, 160), rgb8(150, 210, 255), 2.4f, 0.9f});
  paintPlanet(img, 300, 820, 420,
              {rgb8(40, 30, 60), rgb8(150, 120, 170), rgb8(200, 150, 255), 0, 0, 21});
  drawRotated(img, fighterPicture(), 420, 400, 1.4f, -8);
  exhaust(img, 420, 400, -8, 150, 220, rgb8(255, 150, 60));
  darkenBottom(img, 600, 0.12f);
  Typeface sans(kSansBold), plain(kSans);
  paintPanel(img, 690, 3, 1023, 182, kCyan);
  paintTextCentred(img, sans, "PILOT NAME", 856, 42, 26, rgb8(235, 245, 255), 0.6f, kCyan, 2);
  paintTextCentred(img, plain, "Type the name other pilots will see.", 856, 80, 14,
                   rgb8(180, 215, 235));
  paintTextCentred(img, plain, "Enter saves it.  Escape goes back.", 856, 102, 14,
                   rgb8(180, 215, 235));
  nameField(img, sans);
  out.png("Images/screenintro5s.PNG", img, PicKind::Opaque);
}

// Drawn squeezed into the top half of the screen: composed at 1024 x 512 as
// seen, then stretched to the file's 1024 x 768.
void makeServerList(Output& out) {
  const int h = 512;
  Image img(W, h);
  paintSpace(img, 34, {rgb8(30, 14, 60), rgb8(70, 40, 130), rgb8(190, 150, 255), 2.f, 0.7f}, 380);
  paintPlanet(img, 900, 520, 240,
              {rgb8(20, 50, 40), rgb8(90, 170, 120), rgb8(140, 255, 200), 0, 0, 17});
  drawRotated(img, scoutPicture(), 860, 250, 0.8f, -25);
  exhaust(img, 860, 250, -25, 86, 130, rgb8(90, 255, 170));
  paintLogo(img, "INTERNET GAMES", 46, 76, 46, rgb8(235, 242, 255), rgb8(80, 80, 140),
            rgb8(150, 120, 255));
  Typeface plain(kSans), mono(kMonoBold);
  paintText(img, plain, "Click a game to join it.  Escape returns to the title.", 50, 118, 16,
            rgb8(190, 200, 240));
  // The list: headings just above y 200, rows of 16 pixels from there on.
  paintMask(img, fillPolygon(W, h, roundRectPoly(52, 170, 712, 540, 10)), rgb8(4, 6, 14), 0.92f);
  for (int r = 0; r < 20; ++r)
    if (r % 2)
      paintMask(img, fillPolygon(W, h, rectPoly(56, 200 + 16.f * r, 708, 216 + 16.f * r)),
                rgb8(14, 18, 34));
  paintMask(img, fillPolygon(W, h, rectPoly(56, 198.5f, 708, 199.5f)), rgb8(90, 110, 170));
  for (float x : {266.f, 420.f})
    paintMask(img, fillPolygon(W, h, rectPoly(x, 178, x + 1, 512)), rgb8(40, 50, 90));
  Poly rim = roundRectPoly(52.5f, 170.5f, 711.5f, 540, 10);
  paintMask(img, strokeMask(W, h, rim, 1.5f), rgb8(120, 110, 220), 0.8f);
  const Color head = rgb8(150, 210, 255);
  paintGameText(img, mono, "Name", 66, 182, 16, 16, head);
  paintGameText(img, mono, "Game", 276, 182, 16, 16, head);
  paintGameText(img, mono, "Map", 429, 182, 16, 16, head);
  out.png("Images/Join Screen.PNG", resized(img, W, H), PicKind::Opaque);
}

void makeLoading(Output& out) {
  Image img = scene(35, {rgb8(30, 10, 60), rgb8(90, 40, 140), rgb8(230, 150, 255), 2.3f, 0.8f});
  paintPlanet(img, 512, 1250, 640,
              {rgb8(30, 40, 80), rgb8(120, 150, 220), rgb8(140, 190, 255), 0, 0, 25});
  Typeface bold(kSansBold);
  float w = bold.width("VOIDRAKE", 120, 1.05f) + 0.12f * 120 + bold.width("2", 138, 1.05f);
  paintTitleLogo(img, 512 - w / 2, 360, 120);
  paintTextCentred(img, bold, "LOADING", 512, 470, 24, rgb8(200, 230, 255), 0.8f, kCyan, 10);
  paintMask(img, fillPolygon(W, H, roundRectPoly(362, 494, 662, 504, 5)), rgb8(20, 30, 50));
  Mask fill = fillPolygon(W, H, roundRectPoly(364, 496, 560, 502, 3));
  addMask(img, blurred(fill, 6), kCyan, 0.6f);
  paintMask(img, fill, rgb8(170, 235, 255));
  out.png("Images/LoadingStretch.png", img, PicKind::Keyed);
}

void makeBackdrop(Output& out) {
  Image img = scene(36, {rgb8(40, 16, 30), rgb8(140, 50, 60), rgb8(255, 180, 140), 2.8f, 0.9f});
  paintPlanet(img, 820, 200, 120,
              {rgb8(60, 40, 30), rgb8(200, 160, 120), rgb8(255, 200, 160), 0, 0, 27});
  out.png("Images/back.PNG", img, PicKind::Opaque);
}

}  // namespace assetgen
