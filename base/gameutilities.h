// GameUtilities: the numeric helpers the simulation shares, apart from any
// drawing: the game's random source, identity numbers and the rectangle
// overlap test. GlWrapper (the one instance, Utility) offers them too, so
// the simulation takes either.
#pragma once

// The game's random source: a 15-bit generator (0..32767) with the classic
// linear-congruential step, so a seed gives the same game on every machine.
// Game code calls these, never std::rand.
constexpr int kGameRandMax = 32767;
void GameSeed(unsigned int seed);
int GameRand();
// Drawing's own source, of the same kind: flame flicker, trail puffs,
// lightning segments and stars take their numbers from here, so how much is
// drawn (the glow pass draws some things twice) never shifts the game's
// sequence, and one seed plays one fight at every graphics level.
int VisualRand();

class GameUtilities {
 public:
  // (high - low) * GameRand() / 32767 + low: inclusive of both ends.
  float RangedRandom(float low, float high);
  // The same over VisualRand: for what is only seen.
  float VisualRandom(float low, float high);
  // A practically unique identity number, compared for equality only.
  float GenerateGUID();
  // Rectangles given as min corner, extent along y, extent along x.
  // True when any corner of one lies inside the other (edges inclusive).
  bool RectRect(float x1, float y1, float h1, float w1, float x2, float y2, float h2, float w2);
};
