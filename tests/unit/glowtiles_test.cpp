// The glow's tile marks under boxes the drawing code reports: a box off the
// buffer or with non-finite corners (a corrupt position from the network)
// lights nothing, a huge finite one lights everything without overflowing, and the
// margins around lit tiles stop at the buffer's edges.
#include "render/glowtiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Drawing coordinates 0..512 map onto the buffer's texels, y up.
GlowTiles TexelTiles() {
  const float m[16] = {2.0f / 512, 0, 0, 0, 0, 2.0f / 512, 0, 0, 0, 0, 1, 0, -1, -1, 0, 1};
  GlowTiles tiles;
  tiles.Begin(m);
  return tiles;
}

TEST(GlowTilesTest, BadOrDistantBoxesLightNothingAndHugeOnesAreClipped) {
  GlowTiles tiles = TexelTiles();
  tiles.MarkBox(NAN, 10, 20, 20);
  tiles.MarkBox(600, 600, 700, 700);
  tiles.MarkBox(-INFINITY, -INFINITY, -1, -1);
  EXPECT_TRUE(tiles.Empty());
  tiles.MarkBox(-1e30f, -1e30f, 1e30f, 1e30f);
  EXPECT_EQ(tiles.LitCount(), GlowTiles::kTiles * GlowTiles::kTiles);
}

TEST(GlowTilesTest, MarginsGrowAroundLitTilesAndStopAtTheEdges) {
  constexpr int T = GlowTiles::kTileSize, N = GlowTiles::kTiles;
  GlowTiles tiles = TexelTiles();
  tiles.MarkBox(T + 1, T + 1, 2 * T - 1, 2 * T - 1);        // tile (1, 1)
  tiles.MarkBox(512 - T + 1, 12 * T + 1, 511, 12 * T + 2);  // tile (N - 1, 12), right edge
  std::vector<GlowTiles::Rect> runs;
  tiles.Runs(1, 1, runs);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].x0, 0);
  EXPECT_EQ(runs[0].y0, 0);
  EXPECT_EQ(runs[0].x1, 3 * T);
  EXPECT_EQ(runs[0].y1, 3 * T);
  EXPECT_EQ(runs[1].x0, (N - 2) * T);
  EXPECT_EQ(runs[1].y0, 11 * T);
  EXPECT_EQ(runs[1].x1, 512);
  EXPECT_EQ(runs[1].y1, 14 * T);
  tiles.Runs(1, 0, runs);
  EXPECT_EQ(runs[0].y1 - runs[0].y0, T);
}

}  // namespace
