#include "base/gameutilities.h"

static unsigned int gRandState = 1;
static unsigned int gVisualRandState = 1;

static int Step(unsigned int& state) {
  state = state * 214013u + 2531011u;
  return static_cast<int>((state >> 16) & 0x7FFFu);
}

void GameSeed(unsigned int seed) { gRandState = seed; }

int GameRand() { return Step(gRandState); }

int VisualRand() { return Step(gVisualRandState); }

float GameUtilities::RangedRandom(float low, float high) {
  return (high - low) * static_cast<float>(GameRand()) / 32767.0f + low;
}

float GameUtilities::VisualRandom(float low, float high) {
  return (high - low) * static_cast<float>(VisualRand()) / 32767.0f + low;
}

float GameUtilities::GenerateGUID() {
  float a = static_cast<float>(GameRand()) * 12500.0f / 32767.0f;
  float s = 0.0f;
  for (int i = 0; i < 10; ++i) s += static_cast<float>(GameRand());
  return a * (s / 10.0f);
}

static bool PointIn(float px, float py, float x, float y, float h, float w) {
  return px >= x && px <= x + w && py >= y && py <= y + h;
}

bool GameUtilities::RectRect(float x1, float y1, float h1, float w1, float x2, float y2, float h2,
                             float w2) {
  return PointIn(x1, y1, x2, y2, h2, w2) || PointIn(x1 + w1, y1, x2, y2, h2, w2) ||
         PointIn(x1, y1 + h1, x2, y2, h2, w2) || PointIn(x1 + w1, y1 + h1, x2, y2, h2, w2) ||
         PointIn(x2, y2, x1, y1, h1, w1) || PointIn(x2 + w2, y2, x1, y1, h1, w1) ||
         PointIn(x2, y2 + h2, x1, y1, h1, w1) || PointIn(x2 + w2, y2 + h2, x1, y1, h1, w1);
}
