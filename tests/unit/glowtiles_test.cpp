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
  GlowTiles tiles = TexelTiles();
  tiles.MarkBox(20, 20, 30, 30);     // tile (1, 1)
  tiles.MarkBox(500, 200, 511, 201);  // tile (31, 12), on the right edge
  std::vector<GlowTiles::Rect> runs;
  tiles.Runs(1, 1, runs);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].x0, 0);
  EXPECT_EQ(runs[0].y0, 0);
  EXPECT_EQ(runs[0].x1, 48);
  EXPECT_EQ(runs[0].y1, 48);
  EXPECT_EQ(runs[1].x0, 480);
  EXPECT_EQ(runs[1].y0, 176);
  EXPECT_EQ(runs[1].x1, 512);
  EXPECT_EQ(runs[1].y1, 224);
  tiles.Runs(1, 0, runs);
  EXPECT_EQ(runs[0].y1 - runs[0].y0, 16);
}

}  // namespace
