// One in-game frame on a real GL context after the real start-up: the
// simulation step runs once per frame on every level, the dead ship's menu
// takes clicks, the living ship shows the mini-map and ignores them.
#include "app/drawall.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "app/gameobjects.h"
#include "app/gamestates.h"
#include "app/singleplayer.h"
#include "app/startup.h"
#include "platform/globals.h"
#include "platform/platform.h"
#include "render/rendersort.h"
#include "render/shaderhelper.h"
#include "render/shaderlibrary.h"
#include "render/texturelibrary.h"
#include "sim/enemymanager.h"
#include "sim/spaceship.h"
#include "tests/support/gameprocess.h"
#include "tests/support/glcontext.h"
#include "tests/support/glyphreader.h"
#include "tests/support/testenv.h"
#include "ui/menu.h"
#include "world/world.h"

namespace {

void NoKeys(bool* k) {
  for (int i = 0; i < 256; ++i) k[i] = false;
}

// Mean brightness (0..255) of a column of the frame between two rows.
double Column(int x, int y0, int y1) {
  double sum = 0;
  for (int y = y0; y < y1; ++y) {
    const auto c = testsupport::ReadPixel(x, y);
    sum += (c.r + c.g + c.b) / 3.0;
  }
  return sum / (y1 - y0);
}

bool MiniMapEdgeShown() { return Column(768, 10, 240) > Column(764, 10, 240) + 20; }

class DrawAllGlTest : public testsupport::GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    testsupport::PrepareRunDirectory(dir.path().string());
    oldDir = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    Textures = TextureLibrary();
    Enemies = EnemyManager();
    Menus.clear();
    StartUp();
    FinishLoading();
    // Title -> Play -> game start, on the low level.
    multiplayer = false;
    StartTitleChoice(true, false);
    graphicslevel = 2;
    Game = 1;
    SetUpComputerPlayers();
    SortedRenderer.InitMe(&Textures, &Shaders);
    inloop = ScreenState::Playing;
    SetKeyProvider(&NoKeys);
    lclick = false;
  }
  void TearDown() override {
    SetKeyProvider(nullptr);
    lclick = false;
    std::filesystem::current_path(oldDir);
  }
  void Frame(int level) {
    platform::BeginFrame();
    DrawAll(level);
  }
  void ClickAt(int x, int y) {
    platform::StoreCursorPosition(x, y);
    lclick = true;
  }
  testsupport::TempDir dir;
  std::filesystem::path oldDir;
};

TEST_F(DrawAllGlTest, DeadShipMenuTakesClicksUntilTheShipRespawns) {
  ASSERT_FALSE(Player.alive);
  Frame(2);
  EXPECT_FALSE(MiniMapEdgeShown());
  // Row 1 of the hull tree's first page: "Respawn as Fighter".
  ClickAt(60, 96 + 16 + 8);
  Frame(2);
  EXPECT_FALSE(lclick);
  EXPECT_EQ(onmenu, 1);
  // A click beside the rows stays pending and changes nothing.
  ClickAt(700, 600);
  Frame(2);
  EXPECT_TRUE(lclick);
  EXPECT_EQ(onmenu, 1);
  // "Respawn as Space Superiority Fighter": alive in the next frame.
  ClickAt(60, 96 + 16 + 8);
  Frame(2);
  EXPECT_TRUE(Player.respawnRequested);
  Frame(2);
  EXPECT_TRUE(Player.alive);
  EXPECT_FLOAT_EQ(Player.maxSpeed, 40.0f);
  // The respawn place is random, and bright scenery beside the panel can
  // hide its edge: the mini-map is looked for from open space.
  Player.x = 12000;
  Player.y = 16000;
  Player.vx = Player.vy = 0;
  Frame(2);
  EXPECT_TRUE(MiniMapEdgeShown());
  // While alive, clicks are left alone.
  ClickAt(60, 96 + 16 + 8);
  Frame(2);
  EXPECT_TRUE(lclick);
  EXPECT_EQ(onmenu, 1);
  EXPECT_EQ(testsupport::TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(DrawAllGlTest, OwnMiniMapDotIsOpaqueWhite) {
  Player.respawnRequested = true;
  Frame(2);
  ASSERT_TRUE(Player.alive);
  Player.x = 12000;  // dot at (768 + 147.9, 197.2)
  Player.y = 16000;
  Player.vx = Player.vy = 0;
  Frame(2);
  const auto dot = testsupport::ReadPixel(916, 197);
  EXPECT_EQ(dot.r, 255);
  EXPECT_EQ(dot.g, 255);
  EXPECT_EQ(dot.b, 255);
}

TEST_F(DrawAllGlTest, EveryLevelSimulatesOncePerFrameAndOthersNotAtAll) {
  Player.respawnRequested = true;
  Frame(2);
  ASSERT_TRUE(Player.alive);
  // A drifting ship in open space, below its speed limit: one step a frame.
  Player.x = 12000;
  Player.y = 16000;
  ASSERT_FALSE(Level.CollisionObjects(Player.x - 200, Player.y - 200, 400, 400));
  Player.vx = 3;
  Player.vy = -2;
  // The high level needs the off-screen buffers; a game start falls back to
  // medium without them, so it is only drawn here when they exist.
  std::vector<int> levels = {2, 1};
  ShaderUtility.InitMe();
  if (ShaderUtility.InitPBuffers()) levels.push_back(0);
  for (int level : levels) {
    SCOPED_TRACE(level);
    const float x = Player.x, y = Player.y;
    Frame(level);
    EXPECT_FLOAT_EQ(Player.x, x + 3);
    EXPECT_FLOAT_EQ(Player.y, y - 2);
    EXPECT_EQ(testsupport::TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
    EXPECT_TRUE(MiniMapEdgeShown());
  }
  const float x = Player.x;
  Frame(3);
  Frame(-1);
  EXPECT_FLOAT_EQ(Player.x, x);
}

// Held while the ship is dead, the scoreboard leaves the menu readable and
// takes the payload panel's place instead of printing over both.
TEST_F(DrawAllGlTest, ScoreboardWhileDeadLeavesTheMenuAndThePanelReadable) {
  ASSERT_FALSE(Player.alive);
  Player.name = "Tester";
  const testsupport::GlyphReader reader;
  ASSERT_TRUE(reader.Loaded());
  auto shot = [] {
    return testsupport::Picture{1024, 768, testsupport::ReadPixels(0, 0, 1024, 768)};
  };
  keys[vk::Tab] = true;
  Frame(2);
  keys[vk::Tab] = false;
  const testsupport::Picture board = shot();
  EXPECT_EQ(reader.Read(board, 0, 96, 20), "----Respawn Menu----");
  EXPECT_EQ(reader.Read(board, 0, 112, 18), "Respawn as Fighter");
  const int top = testsupport::GlyphReader::TopOf(688);
  EXPECT_EQ(reader.Read(board, 512, top, 50), "  Pilot                     Kills  Deaths   Bounty");
  int own = 0;
  for (int row = 1; row <= 8; ++row)
    own += reader.Read(board, 512, top + 16 * row, 8) == "> Tester";
  EXPECT_EQ(own, 1);
  Frame(2);
  EXPECT_EQ(reader.Read(shot(), 512, 112, 19), "Current Payload is:")
      << "the panel did not come back";
}

void FireFirstSlot(bool* k) {
  NoKeys(k);
  k['Z'] = true;
}

// Pixels of the hit marker's colour in its four ticks around the ship.
int MarkerPixels() {
  int lit = 0;
  for (int k = 0; k < 4; ++k) {
    const int cx = 512 + ((k & 1) ? 30 : -30), cy = 384 + ((k & 2) ? 30 : -30);
    for (int y = cy - 6; y <= cy + 6; ++y)
      for (int x = cx - 6; x <= cx + 6; ++x) {
        const auto c = testsupport::ReadPixel(x, y);
        lit += c.r > 200 && c.g > 170 && c.b < 140;
      }
  }
  return lit;
}

// A ship in play shows what each key fires; a shot that hurts another ship
// shows the hit marker.
TEST_F(DrawAllGlTest, SlotLineAndHitMarkerWhenALocalShotHurtsAShip) {
  Player.respawnRequested = true;
  Frame(2);
  ASSERT_TRUE(Player.alive);
  Player.x = 12000;
  Player.y = 16000;
  Frame(2);
  const testsupport::GlyphReader reader;
  const testsupport::Picture shot{1024, 768, testsupport::ReadPixels(0, 0, 1024, 768)};
  const int top = testsupport::GlyphReader::TopOf(80);
  EXPECT_EQ(reader.Read(shot, 2, top, 7), "Z Laser");
  EXPECT_EQ(reader.Read(shot, 202, top, 7), "X Laser");
  EXPECT_EQ(reader.Read(shot, 802, top, 5), "Shift");
  EXPECT_EQ(MarkerPixels(), 0);

  // Targets on all four sides, whichever way the ship faces; held in place.
  int rows[4];
  for (int k = 0; k < 4; ++k)
    rows[k] = Enemies.AddPlayer(64, 64, 0, 500.0f + k, "Target" + std::to_string(k), false,
                                Player.team + 1, 1);
  SetKeyProvider(&FireFirstSlot);
  int marked = 0;
  for (int frame = 0; frame < 80 && marked == 0; ++frame) {
    const float d = 180;
    const float at[4][2] = {{d, 0}, {-d, 0}, {0, d}, {0, -d}};
    for (int k = 0; k < 4; ++k)
      Enemies.UpdatePlayer(rows[k], Player.x + at[k][0], Player.y + at[k][1], 0, 0, false, 0, 0, 0);
    Player.vx = Player.vy = 0;
    Frame(2);
    marked = MarkerPixels();
  }
  EXPECT_GT(marked, 20) << "no hit marker while the laser hits the targets";
}

// Names of other ships on the high level are blended by the font's alpha:
// the backdrop shows between and around the letters (drawn opaque while the
// shaders were in use, the font's black made a box around every name).
TEST_F(DrawAllGlTest, OpponentNamesOnTheHighLevelLeaveTheBackdropAroundTheirLetters) {
  ShaderUtility.InitMe();
  if (!ShaderUtility.InitPBuffers()) GTEST_SKIP() << "no off-screen buffers on this driver";
  graphicslevel = 0;
  SetUpGraphicsLevel(0);
  ASSERT_TRUE(Shaders.UsingShaders());
  Player.respawnRequested = true;
  Frame(0);
  ASSERT_TRUE(Player.alive);
  // The ship still over the middle of the largest backdrop picture, so that
  // the scene behind the name is lit; the camera settles to its size at rest.
  ASSERT_FALSE(Level.backgroundObjects.empty());
  const auto& back = *std::max_element(
      Level.backgroundObjects.begin(), Level.backgroundObjects.end(),
      [](const auto& a, const auto& b) { return a.width * a.height < b.width * b.height; });
  Player.x = back.x + back.width / 2;
  Player.y = back.y + back.height / 2;
  for (int i = 0; i < 60; ++i) {
    Player.vx = Player.vy = 0;
    Frame(0);
  }
  const std::vector<uint8_t> scene = testsupport::ReadPixels(0, 0, 1024, 768);

  // An opponent whose name (scale 2.4: 24 units a character, 38.4 high, its
  // baseline 96 units above the ship's top edge) is centred 200 units above
  // the player's ship.
  const std::string name = "Backdrop";
  const float nameW = 24.0f * name.size(), nameH = 38.4f;
  const float baseline = Player.y - 200 + nameH / 2, left = Player.x - nameW / 2;
  const int row = Enemies.AddPlayer(128, 128, 0, 999.0f, name, false, Player.team + 1, 1);
  Enemies.UpdatePlayer(row, left + 64, baseline + 64 + 96, 90, 0, false, 0, 0, 0);
  Player.vx = Player.vy = 0;
  Frame(0);
  const std::vector<uint8_t> shown = testsupport::ReadPixels(0, 0, 1024, 768);

  const float sx = 1024 / CameraWidth, sy = 768 / CameraHeight;
  const int x0 = static_cast<int>((left - Player.x) * sx + 512);
  const int x1 = static_cast<int>((left + nameW - Player.x) * sx + 512);
  const int y0 = static_cast<int>((baseline - nameH - Player.y) * sy + 384);
  const int y1 = static_cast<int>((baseline - Player.y) * sy + 384);
  int lit = 0, blacked = 0, red = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const uint8_t* before = &scene[(y * 1024 + x) * 4];
      const uint8_t* after = &shown[(y * 1024 + x) * 4];
      red += after[0] > 200 && after[1] < 60;
      if (std::max({before[0], before[1], before[2]}) < 40) continue;
      ++lit;
      blacked += std::max({after[0], after[1], after[2]}) < 12;
    }
  ASSERT_GT(red, 20) << "no name drawn in " << x0 << ".." << x1 << ", " << y0 << ".." << y1;
  ASSERT_GT(lit, 200) << "the scene behind the name is dark: nothing to see";
  // The dark outline around the strokes is all that may hide the scene.
  EXPECT_LT(blacked, lit / 3) << blacked << " of " << lit << " lit pixels went black";
}

}  // namespace
