// Slot bookkeeping of the texture library (no GL needed).
#include "render/texturelibrary.h"

#include <gtest/gtest.h>

namespace {

TEST(TextureLibraryTest, ReplaceTextureOverwritesAppendsOrIgnores) {
  TextureLibrary lib;
  EXPECT_EQ(lib.AddTexture(11), 0);
  EXPECT_EQ(lib.AddTexture(12), 1);
  lib.ReplaceTexture(21, 0);
  lib.ReplaceTexture(13, 2);   // slot == count: appends
  lib.ReplaceTexture(99, 4);   // slot > count: nothing
  lib.ReplaceTexture(98, -1);  // no such slot either
  EXPECT_EQ(lib.textures, (std::vector<unsigned int>{21, 12, 13}));
}

TEST(TextureLibraryTest, LoopsCycleAndWrap) {
  TextureLibrary lib;
  std::vector<unsigned int> frames(20);
  for (unsigned int i = 0; i < 20; ++i) frames[i] = 100 + i;
  EXPECT_EQ(lib.AddLoopTexture({1, 2}), 0);
  EXPECT_EQ(lib.AddLoopTexture(frames), 1);
  EXPECT_EQ(lib.loopTextures[1].frames, frames);
  EXPECT_EQ(lib.loopTextures[1].current, 0);
  for (int i = 0; i < 19; ++i) lib.CycleLoopedTexture(1);
  EXPECT_EQ(lib.loopTextures[1].current, 19);
  lib.CycleLoopedTexture(1);
  EXPECT_EQ(lib.loopTextures[1].current, 0);
  EXPECT_EQ(lib.loopTextures[0].current, 0);  // loops are independent
  // An empty loop or a loop slot that does not exist is harmless.
  lib.AddLoopTexture({});
  lib.CycleLoopedTexture(2);
  lib.CycleLoopedTexture(7);
  EXPECT_EQ(lib.loopTextures[2].current, 0);
}

}  // namespace
