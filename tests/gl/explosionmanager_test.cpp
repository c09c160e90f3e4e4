// Explosions drawn into a real GL frame: which loop frame shows on which
// frame, when a slot ends, and how slots are reused.
#include "sim/explosionmanager.h"

#include <GL/gl.h>

#include <vector>

#include "draw/explosionmanager_draw.h"
#include "render/texturelibrary.h"
#include "tests/support/glcontext.h"

namespace {
using testsupport::GlTest;
using testsupport::ReadPixel;
using testsupport::Rgba;

// Frame k of the test loop is a solid picture with red = 8k.
class ExplosionGlTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    std::vector<unsigned int> frames(31);
    glGenTextures(31, frames.data());
    for (int k = 0; k < 31; ++k) {
      glBindTexture(GL_TEXTURE_2D, frames[k]);
      const uint8_t texel[4] = {static_cast<uint8_t>(8 * k), 40, 0, 255};
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    }
    loop = library.AddLoopTexture(frames);
    explosions.InitMe(nullptr);
    view.InitMe(&explosions, &library, nullptr);
  }
  void TearDown() override {
    for (unsigned int name : library.loopTextures[0].frames) glDeleteTextures(1, &name);
  }
  // One game frame: clear, advance and draw.
  void Frame() {
    glClear(GL_COLOR_BUFFER_BIT);
    view.RenderExplosions();
  }
  TextureLibrary library;
  ExplosionManager explosions;
  ExplosionView view;
  int loop = 0;
};

TEST_F(ExplosionGlTest, AnExplosionOfNFramesShowsFramesOneToNMinusOne) {
  explosions.AddExplosion(200, 200, 64, 64, loop, 1, false);
  explosions.AddExplosion(400, 200, 64, 64, loop, 2, false);
  explosions.AddExplosion(600, 200, 100, 50, loop, 30, false);
  Frame();
  EXPECT_EQ(ReadPixel(200, 200), (Rgba{0, 0, 0, 255}));  // 1 frame: never drawn
  EXPECT_FALSE(explosions.list[0].active);
  EXPECT_EQ(ReadPixel(400, 200), (Rgba{8, 40, 0, 255}));  // 2 frames: frame 1, once
  EXPECT_EQ(ReadPixel(600, 200), (Rgba{8, 40, 0, 255}));
  EXPECT_EQ(ReadPixel(645, 200), (Rgba{8, 40, 0, 255}));  // sized 100 x 50 around its centre
  EXPECT_EQ(ReadPixel(600, 230), (Rgba{0, 0, 0, 255}));
  for (int shown = 2; shown <= 29; ++shown) {
    Frame();
    ASSERT_EQ(ReadPixel(600, 200).r, 8 * shown) << "frame " << shown;
    EXPECT_EQ(ReadPixel(400, 200).r, 0);
  }
  EXPECT_TRUE(explosions.list[2].active);
  Frame();
  EXPECT_FALSE(explosions.list[2].active);
  EXPECT_EQ(ReadPixel(600, 200).r, 0);
}

TEST_F(ExplosionGlTest, OverlappingExplosionsAddUpAndLeaveBlendingOff) {
  explosions.AddExplosion(300, 300, 64, 64, loop, 5, false);
  explosions.AddExplosion(300, 300, 64, 64, loop, 5, false);
  Frame();
  EXPECT_EQ(ReadPixel(300, 300), (Rgba{16, 80, 0, 255}));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(ExplosionGlTest, AddingAppendsOnlyWhenEverySlotRuns) {
  explosions.AddExplosion(0, 0, 8, 8, loop, 1, false);
  explosions.AddExplosion(0, 0, 8, 8, loop, 10, false);
  explosions.AddExplosion(0, 0, 8, 8, loop, 1, false);
  EXPECT_EQ(explosions.list.size(), 3u);
  Frame();  // the two 1-frame explosions end
  explosions.AddExplosion(50, 60, 8, 8, loop, 7, false);
  ASSERT_EQ(explosions.list.size(), 3u);
  EXPECT_TRUE(explosions.list[0].active);
  EXPECT_EQ(explosions.list[0].x, 50);
  EXPECT_EQ(explosions.list[0].framesLeft, 7);
  EXPECT_FALSE(explosions.list[2].active);
  explosions.AddExplosion(70, 80, 8, 8, loop, 7, false);
  EXPECT_EQ(explosions.list[2].y, 80);
  explosions.AddExplosion(90, 90, 8, 8, loop, 7, false);
  EXPECT_EQ(explosions.list.size(), 4u);
  // Explosions advance only on frames that draw them.
  EXPECT_EQ(explosions.list[1].framesLeft, 9);
}

TEST_F(ExplosionGlTest, OffScreenExplosionsCostNoDrawAndEachLoopFrameOne) {
  view.CameraRect(512, 384, 1024, 768);
  for (int k = 0; k < 1000; ++k) explosions.AddExplosion(3000, 3000 + k, 64, 64, loop, 9, false);
  Frame();
  for (int k = 0; k < 20; ++k) explosions.AddExplosion(100 + 40 * k, 100, 16, 16, loop, 9, false);
  Frame();
  for (int k = 0; k < 20; ++k) explosions.AddExplosion(100 + 40 * k, 300, 16, 16, loop, 9, false);
  Frame();
  EXPECT_EQ(view.layer.draws, 2) << "loop frames 2 and 1; frame 3 is off screen";
  EXPECT_EQ(ReadPixel(860, 100), (Rgba{16, 40, 0, 255}));
  EXPECT_EQ(ReadPixel(860, 300), (Rgba{8, 40, 0, 255}));
}

// The duration is a small unsigned count: one of no frames must still end at
// its first frame (not wrap round to a long one), and a longer one than the
// record holds is cut to the longest it can.
TEST(ExplosionDuration, NoFramesEndsAtOnceAndTooManyAreCut) {
  ExplosionManager explosions;
  explosions.AddExplosion(0, 0, 8, 8, 0, 0, false);
  explosions.AddExplosion(0, 0, 8, 8, 0, 100000, false);
  explosions.AgeExplosions();
  EXPECT_FALSE(explosions.list[0].active);
  ASSERT_TRUE(explosions.list[1].active);
  EXPECT_EQ(explosions.list[1].frames, ExplosionManager::kMaxFrames);
  EXPECT_EQ(explosions.list[1].framesLeft, ExplosionManager::kMaxFrames - 1);
}

}  // namespace
