// Drawing of the opponents read back from the frame: names and bounties
// anchored to the ship in the world, mini-map dots, the freeze overlay, and
// what each pass hands to the sorted renderer.
#include "sim/enemymanager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "draw/enemymanager_draw.h"
#include "platform/globals.h"
#include "render/rendersort.h"
#include "render/text.h"
#include "render/texturelibrary.h"
#include "sim/explosionmanager.h"
#include "tests/gl/drawing_pictures.h"
#include "tests/support/glcontext.h"

using testsupport::ReadPixel;

namespace {

class OpponentDrawing : public testsupport::GlTest {
 protected:
  void SetUp() override {
    testsupport::GlTest::SetUp();
    graphicslevel = 2;
    unsigned int white = 0;
    ASSERT_TRUE(drawingtest::WritePng(drawingtest::Picture(64, 64, {255, 255, 255}),
                                      dir.File("white.png")));
    ASSERT_TRUE(utility.LoadPNGColorKey(dir.File("white.png"), white));
    library.textures.assign(64, white);    // every slot a white picture
    for (int loop = 0; loop <= 4; loop++)  // loop 4 is the freeze overlay
      library.AddLoopTexture(std::vector<unsigned int>(18, white));
    SetUpText(&library, nullptr);
    testsupport::ResetGlState();
    sorter.InitMe(&library, nullptr);
    booms.InitMe(nullptr);
    table.InitMe(&utility, EnemyManager::AppendTo(log), nullptr, nullptr, &booms);
    view.InitMe(&table, &library, nullptr, &sorter, &camW, &camH);
  }
  int AddRow(float x, float y, int team, const char* name) {
    const int row =
        table.AddPlayer(128, 128, 20, 1 + (float)table.players.size(), name, false, team, 1);
    table.UpdatePlayer(row, x, y, 90, 0, false, 0, 0, 0);
    return row;
  }
  size_t Quads() const {
    size_t n = 0;
    for (const auto& p : sorter.paths) n += p.quads.size();
    return n;
  }

  drawingtest::TempDir dir;
  TextureLibrary library;
  RenderSort sorter;
  ExplosionManager booms;
  std::vector<std::string> log;
  float camW = 1024, camH = 768;
  EnemyManager table;
  EnemyView view;
};

TEST_F(OpponentDrawing, NameAboveAndBountyBelowTheShipWhereverTheCameraIs) {
  // Camera centred on (5000, 5000) showing 1024 x 768 world units: a ship at
  // (5100, 5000) has its name's first glyph (38.4 units, scale 2.4) with its
  // lower-left corner at world (5036, 4840): frame (548, 224).
  const int row = AddRow(5100, 5000, 1, "AB");
  table.players[row].bounty = 7;
  view.RenderAll(false, 5000, 5000, 1, 0);
  auto name = ReadPixel(555, 215);
  EXPECT_EQ(name.r, 0);
  EXPECT_EQ(name.g, 255) << "team mates' names are green";
  EXPECT_EQ(ReadPixel(555, 230).g, 0) << "nothing below the baseline";
  EXPECT_EQ(ReadPixel(540, 215).g, 0) << "nothing left of the first glyph";
  // Bounty "(7)": baseline 96 units below the ship's lower edge: frame y 544.
  const auto bounty = ReadPixel(555, 535);
  EXPECT_EQ(bounty.r, 255);
  EXPECT_EQ(bounty.b, 255);

  testsupport::ResetGlState();
  view.RenderAll(false, 5000, 5000, 3, 1);
  name = ReadPixel(555, 215);
  EXPECT_EQ(name.r, 255) << "other teams' names are red";
  EXPECT_EQ(name.g, 0);
  EXPECT_EQ(ReadPixel(555, 535).r, 0) << "no bounty outside game mode 0";
}

TEST_F(OpponentDrawing, MiniMapDotsAndFreezeOverlay) {
  AddRow(8112.5f, 8112.5f, 1, "mate");  // mini-map (868, 100)
  AddRow(16225, 4056.25f, 3, "enemy");  // mini-map (968, 50)
  view.DrawMiniMapPlayers(0, 0, 9216, false, 1);
  EXPECT_EQ(ReadPixel(868, 100), (testsupport::Rgba{0, 255, 0, 255}));
  EXPECT_EQ(ReadPixel(968, 50), (testsupport::Rgba{255, 0, 0, 255}));
  EXPECT_EQ(ReadPixel(918, 75).g, 0);

  testsupport::ResetGlState();
  table.players.clear();
  const int frozen = AddRow(300, 300, 1, "ice");
  AddRow(700, 300, 1, "warm");
  table.players[frozen].frozenFrames = 5;
  view.RenderFrozenFrames();
  const auto ice = ReadPixel(300, 300);
  EXPECT_NEAR(ice.r, 102, 2) << "white at alpha 0.4 over black";
  EXPECT_EQ(ReadPixel(700, 300).r, 0) << "no overlay without a freeze";
}

TEST_F(OpponentDrawing, EachPassHandsItsShareToTheSortedRenderer) {
  sorter.CameraRect(5000, 5000, 4096, 4096);
  const int row = AddRow(5000, 5000, 1, "");
  table.players[row].upHeld = true;
  table.NewBullet(row, 5100, 5000, 32, 32, 0, 3, 6, 7, 0, 0, 0, 0, 0, 1, 0);   // rocket
  table.NewBullet(row, 5200, 5000, 32, 64, 0, 5, 60, 9, 0, 0, 0, 0, 0, 2, 0);  // lightning
  table.NewBullet(row, 5300, 5000, 32, 32, 0, 1, 5, 9, 0, 0, 0, 0, 0, 3, 0);   // beam

  view.RenderAll(false, 5000, 5000, 1, 1);
  EXPECT_EQ(Quads(), 3u) << "flame, hull, beam; the other styles go to the layer";
  bool hull = false;
  for (const auto& p : sorter.paths)
    if (p.texture == 20) {
      hull = true;
      EXPECT_FLOAT_EQ(p.quads[0].vertices[0][12], 5000);
    }
  EXPECT_TRUE(hull);

  sorter.Reset();
  view.RenderAll(true, 5000, 5000, 1, 1);
  EXPECT_EQ(Quads(), 2u) << "the glow pass: flame and beam only";
  int trails = 0;
  for (const auto& e : booms.list) trails += e.active;
  EXPECT_EQ(trails, 0) << "drawing, however often, makes no smoke";
  table.MainLoop(0);
  for (const auto& e : booms.list) trails += e.active;
  EXPECT_EQ(trails, 2) << "the step leaves the rocket at life 6: even and a multiple of 3";
}

// A crowded arena: the projectiles out of sight are never drawn, and those
// in sight go out in one draw per texture, wherever they are in the table.
TEST_F(OpponentDrawing, ProjectilesShareDrawsByTextureAndOffScreenOnesCostNone) {
  sorter.CameraRect(512, 384, 1024, 768);
  for (int r = 0; r < 3; r++) {
    const int row = AddRow(9000, 9000, 2, "");
    for (int k = 0; k < 500; k++)  // far away
      table.NewBullet(row, 20000 + k, 20000, 16, 16, 0, 0, 9, 50, 0, 0, 0, 0, 0, 1 + k, 0);
    for (int k = 0; k < 40; k++)  // on screen, two textures
      table.NewBullet(row, 100 + 20 * k, 100 + 100 * r, 8, 8, 0, 0, 7 + k % 2, 50, 0, 0, 0, 0, 0,
                      1000 + k, 0);
  }
  view.RenderAll(false, 512, 384, 1, 1);
  EXPECT_EQ(view.layer.draws, 2);
  EXPECT_EQ(ReadPixel(100, 300).r, 255);
  EXPECT_EQ(ReadPixel(110, 300).r, 0);
}

}  // namespace
