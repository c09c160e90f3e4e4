// Small pictures for the drawing tests: written as PNG files into a private
// temporary directory, and read back from GL textures.
#pragma once

#include <FreeImage.h>
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "render/texturelibrary.h"

namespace drawingtest {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

// A picture as drawn in an image editor: row 0 is the top.
struct Picture {
  int width = 0, height = 0;
  std::vector<Rgb> pixels;  // row-major, top row first
  Picture(int w, int h, Rgb fill = {}) : width(w), height(h), pixels(size_t(w) * h, fill) {}
  Rgb& at(int x, int y) { return pixels[size_t(y) * width + x]; }
};

// Writes `picture` as a 24-bit PNG.
inline bool WritePng(const Picture& picture, const std::string& path) {
  FIBITMAP* bitmap = FreeImage_Allocate(picture.width, picture.height, 24);
  if (!bitmap) return false;
  for (int y = 0; y < picture.height; ++y) {
    // FreeImage scan line 0 is the bottom row.
    BYTE* line = FreeImage_GetScanLine(bitmap, picture.height - 1 - y);
    for (int x = 0; x < picture.width; ++x) {
      const Rgb& c = picture.pixels[size_t(y) * picture.width + x];
      line[x * 3 + FI_RGBA_RED] = c.r;
      line[x * 3 + FI_RGBA_GREEN] = c.g;
      line[x * 3 + FI_RGBA_BLUE] = c.b;
    }
  }
  const bool ok = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), 0) != 0;
  FreeImage_Unload(bitmap);
  return ok;
}

// RGBA bytes of level 0 of texture `name`, rows bottom-up (t = 0 first).
inline std::vector<uint8_t> TextureBytes(unsigned int name, int* width, int* height) {
  glBindTexture(GL_TEXTURE_2D, name);
  GLint w = 0, h = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
  std::vector<uint8_t> bytes(size_t(w) * h * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!bytes.empty()) glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
  *width = w;
  *height = h;
  return bytes;
}

// A fresh directory under the system temporary directory, removed at the end.
class TempDir {
 public:
  TempDir() {
    path_ = std::filesystem::temp_directory_path() /
            ("voidrake-drawing-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};

// A texture library that lives as long as the test program, for tests that
// hand it to the text module.
inline TextureLibrary& FontLibrary() {
  static TextureLibrary library;
  return library;
}

}  // namespace drawingtest
