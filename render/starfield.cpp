#include "render/starfield.h"

#include <GL/gl.h>

#include <cmath>

#include "platform/platform.h"
#include "render/batchrenderer.h"
#include "render/glwrapper.h"

namespace {
// Fraction of the ship's velocity (in camera widths) a star of speed factor
// 1 moves per frame.
constexpr float kDrift = 0.08f;
constexpr float kCreatedMinSize = 0.4f;
constexpr float kRecycledMinSize = 0.2f;
}  // namespace

void Starfield::NewSize(Star& star, float low) {
  star.size = utilities->VisualRandom(low, maxSize);
  star.speed = maxSize > 0 ? star.size / maxSize * depthScale : 0.0f;
}

void Starfield::InitMe(int count, float& camWidth, float& camHeight, float maxStarSize, float depth,
                       GlWrapper* utility, TextureLibrary* lib, BatchRenderer* batch) {
  renderer = batch;
  library = lib;
  utilities = utility;
  cameraWidth = &camWidth;
  cameraHeight = &camHeight;
  maxSize = maxStarSize;
  depthScale = depth;
  stars.clear();
  for (int i = 0; i < count; ++i) {
    Star star;
    NewSize(star, kCreatedMinSize);
    star.x = utilities->VisualRandom(0, 1);
    star.y = utilities->VisualRandom(0, 1);
    stars.push_back(star);
  }
}

void Starfield::UpdateMe(float vx, float vy) {
  if (!cameraWidth || !cameraHeight) return;
  float stepX = vx / *cameraWidth * kDrift;
  float stepY = vy / *cameraHeight * kDrift;
  // A zero-sized camera or a runaway velocity must not leave stars at NaN,
  // outside every recycling test below.
  if (!std::isfinite(stepX)) stepX = 0;
  if (!std::isfinite(stepY)) stepY = 0;
  for (Star& star : stars) {
    star.x -= stepX * star.speed;
    star.y -= stepY * star.speed;
    if (star.x > 1) {
      NewSize(star, kRecycledMinSize);
      star.x = 0;
      star.y = utilities->VisualRandom(0, 1);
    }
    if (star.x < 0) {
      NewSize(star, kRecycledMinSize);
      star.x = 1;
      star.y = utilities->VisualRandom(0, 1);
    }
    if (star.y > 1) {
      NewSize(star, kRecycledMinSize);
      star.x = utilities->VisualRandom(0, 1);
      star.y = 0;
    }
    if (star.y < 0) {
      NewSize(star, kRecycledMinSize);
      star.x = utilities->VisualRandom(0, 1);
      star.y = 1;
    }
  }
}

void Starfield::RenderMeLight() {
  glDisable(GL_BLEND);
  if (!renderer || !cameraWidth || !cameraHeight) return;
  for (const Star& star : stars) {
    renderer->AddQuad(0, star.x * *cameraWidth, star.y * *cameraHeight, star.size, star.size, 1, 1,
                      1, 1);
  }
}

void Starfield::StarCamera() {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, cameraWidth ? *cameraWidth : platform::kFrameWidth,
          cameraHeight ? *cameraHeight : platform::kFrameHeight, 0, -10, 10);
  glMatrixMode(GL_MODELVIEW);
}
