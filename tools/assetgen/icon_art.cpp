// The desktop icon: the fighter, nose up, on a round night-blue badge with a
// cyan rim, in the usual launcher sizes. Painted once at 512 and reduced, so
// every size shows the same emblem; the corners stay transparent.
#include <cmath>

#include "art.h"
#include "raster.h"

namespace assetgen {

namespace {

constexpr int S = 512;

Image emblemPicture() {
  Image img(S, S);
  const float c = S / 2.f, r = S * 0.48f;
  const Paint depth = [=](float x, float y) {
    float d = std::hypot(x - c, y - c * 0.8f) / r;
    return mix(rgb8(34, 52, 104), rgb8(6, 8, 22), clamp01(d * 0.9f));
  };
  paintMask(img, discMask(S, S, c, c, r), depth);
  addMask(img, ringMask(S, S, c, c, r * 0.90f, r * 0.955f), rgb8(60, 200, 255), 0.9f);
  addMask(img, blurred(ringMask(S, S, c, c, r * 0.90f, r * 0.955f), 6), rgb8(40, 140, 255), 0.5f);
  // The ship a little larger than the inner disc: its wing tips touch
  // the rim, which reads better at 16 pixels than a small ship would.
  const int ship = int(S * 0.80f);
  const int at = (S - ship) / 2;
  drawImage(img, resized(fighterPicture(), ship, ship), at, at + int(S * 0.01f));
  return img;
}

}  // namespace

void makeDesktopIcons(Output& out) {
  const Image emblem = emblemPicture();
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const std::string dir = std::to_string(size) + "x" + std::to_string(size);
    out.pngWithAlpha("icons/hicolor/" + dir + "/apps/voidrake2.png", resized(emblem, size, size));
  }
}

}  // namespace assetgen
