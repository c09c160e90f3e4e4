// The 24-bit BMP reader: row padding, orientation, and refusal of files that
// are truncated, of another format or describe absurd sizes.
#include "render/texture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = (v >> 8) & 0xFF;
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

// A BMP with pixel (x, row) = (blue x, green row, red 7); rows stored
// bottom-up and padded to four bytes, padding bytes 0xEE so a reader that
// keeps them shows skew.
std::vector<uint8_t> MakeBmp(int width, int height, int bits = 24) {
  const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
  const size_t rows = size_t(height < 0 ? -height : height);
  std::vector<uint8_t> b(54 + stride * rows, 0xEE);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, uint32_t(b.size()));
  Put32(b, 6, 0);
  Put32(b, 10, 54);
  Put32(b, 14, 40);
  Put32(b, 18, uint32_t(width));
  Put32(b, 22, uint32_t(height));
  Put16(b, 26, 1);
  Put16(b, 28, uint32_t(bits));
  for (int i = 30; i < 54; ++i) b[i] = 0;
  for (size_t row = 0; row < rows; ++row)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &b[54 + row * stride + size_t(x) * 3];
      p[0] = uint8_t(x);
      p[1] = uint8_t(row);
      p[2] = 7;
    }
  return b;
}

TEST(TextureTest, OddWidthLoadsWithoutSkew) {
  for (int width : {1, 2, 3, 5, 7}) {
    auto bytes = MakeBmp(width, 3);
    TEXTURE t;
    ASSERT_TRUE(t.LoadFromMemory(bytes.data(), bytes.size())) << width;
    EXPECT_EQ(t.Width(), width);
    EXPECT_EQ(t.Height(), 3);
    EXPECT_EQ(t.infoHeader.bitCount, 24);
    EXPECT_EQ(t.fileHeader.offBits, 54u);
    for (int row = 0; row < 3; ++row)
      for (int x = 0; x < width; ++x) {
        const uint8_t* p = t.data + (size_t(row) * width + x) * 3;
        ASSERT_EQ(p[0], x) << "width " << width << " row " << row;
        ASSERT_EQ(p[1], row);
        ASSERT_EQ(p[2], 7);
      }
  }
}

TEST(TextureTest, TopDownFilesAreStoredBottomUp) {
  auto bytes = MakeBmp(2, -3);
  TEXTURE t;
  ASSERT_TRUE(t.LoadFromMemory(bytes.data(), bytes.size()));
  EXPECT_EQ(t.Height(), 3);
  EXPECT_EQ(t.data[1], 2);  // the file's last row is the bottom one
}

TEST(TextureTest, RefusesWhatItCannotReadAndHoldsNothing) {
  TEXTURE t;
  auto good = MakeBmp(4, 4);
  ASSERT_TRUE(t.LoadFromMemory(good.data(), good.size()));

  auto truncated = good;
  truncated.resize(truncated.size() - 1);
  EXPECT_FALSE(t.LoadFromMemory(truncated.data(), truncated.size()));
  EXPECT_EQ(t.data, nullptr);
  EXPECT_EQ(t.infoHeader.width, 0);

  auto headerOnly = good;
  headerOnly.resize(40);
  EXPECT_FALSE(t.LoadFromMemory(headerOnly.data(), headerOnly.size()));

  auto paletted = MakeBmp(4, 4, 8);
  EXPECT_FALSE(t.LoadFromMemory(paletted.data(), paletted.size()));

  auto compressed = good;
  Put32(compressed, 30, 1);
  EXPECT_FALSE(t.LoadFromMemory(compressed.data(), compressed.size()));

  // Sizes that would overflow or ask for gigabytes from a small file.
  for (uint32_t w : {0u, 0x7FFFFFFFu, 0x80000000u, 100000u}) {
    auto huge = good;
    Put32(huge, 18, w);
    EXPECT_FALSE(t.LoadFromMemory(huge.data(), huge.size())) << w;
  }
  auto farOffset = good;
  Put32(farOffset, 10, 0xFFFFFFF0u);
  EXPECT_FALSE(t.LoadFromMemory(farOffset.data(), farOffset.size()));
  EXPECT_FALSE(t.LoadFromMemory(nullptr, 100));
  EXPECT_EQ(t.data, nullptr);
}

TEST(TextureTest, LoadsFromFileAndReleases) {
  const auto path = std::filesystem::temp_directory_path() / "voidrake-texture-test.bmp";
  auto bytes = MakeBmp(3, 2);
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  TEXTURE t;
  EXPECT_TRUE(t.Load(path.string()));
  EXPECT_EQ(t.Width(), 3);
  t.Release();
  EXPECT_EQ(t.data, nullptr);
  EXPECT_EQ(t.fileHeader.type, 0);
  std::filesystem::remove(path);
  EXPECT_FALSE(t.Load(path.string()));
}

}  // namespace
