// A real GL context for tests: a hidden 1024x768 window opened once per test
// program, with the game's fixed GL state. Pixels are read back in frame
// coordinates (origin top left, y down), like everything the game draws.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "render/glwrapper.h"

namespace testsupport {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 0;
  bool operator==(const Rgba&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Rgba& c);

// Opens the hidden window and makes its context current on the calling
// thread (once; later calls only make it current again). False with a
// reason when no display or no GL is available.
bool EnsureGlContext(std::string* error = nullptr);
// Sets the fixed GL state, binds the frame and clears it to black.
void ResetGlState();
// The pixel at frame position (x, y), y down.
Rgba ReadPixel(int x, int y);
// RGBA bytes of the w x h block whose top-left corner is (x, y), rows from
// top to bottom.
std::vector<uint8_t> ReadPixels(int x, int y, int w, int h);
// Drains the GL error queue; returns the first error (GL_NO_ERROR if none).
unsigned int TakeGlError();

// Fixture for GL tests: a current context with the fixed state and a cleared
// frame before every test, and a GlWrapper for the utilities.
class GlTest : public ::testing::Test {
 protected:
  void SetUp() override;
  GlWrapper utility;
};

}  // namespace testsupport
