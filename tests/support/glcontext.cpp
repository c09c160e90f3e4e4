#include "tests/support/glcontext.h"

#include <GL/gl.h>

#include <ostream>

#include "platform/platform.h"

namespace testsupport {
namespace {
bool gOpened = false;
std::string gOpenError;
}  // namespace

std::ostream& operator<<(std::ostream& os, const Rgba& c) {
  return os << "rgba(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << "," << int(c.a) << ")";
}

bool EnsureGlContext(std::string* error) {
  static bool tried = false;
  if (!tried) {
    tried = true;
    platform::WindowOptions options;
    options.hidden = true;
    gOpened = platform::OpenWindow(options, &gOpenError);
    if (gOpened) {
      GlWrapper setup;
      setup.EnableOpenGL();
    }
  }
  if (gOpened && !platform::MakeContextCurrent()) {
    gOpenError = "could not make the GL context current";
    if (error) *error = gOpenError;
    return false;
  }
  if (!gOpened && error) *error = gOpenError;
  return gOpened;
}

void ResetGlState() {
  GlWrapper setup;
  platform::BeginFrame();
  setup.SetFixedGlState();
  glColor4f(1, 1, 1, 1);
  glBindTexture(GL_TEXTURE_2D, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::vector<uint8_t> ReadPixels(int x, int y, int w, int h) {
  std::vector<uint8_t> bottomUp(static_cast<size_t>(w) * h * 4);
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  if (!platform::FrameIsOffscreen()) glReadBuffer(GL_BACK);
  // GL counts rows from the bottom of the frame.
  glReadPixels(x, platform::kFrameHeight - y - h, w, h, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
  std::vector<uint8_t> topDown(bottomUp.size());
  const size_t row = static_cast<size_t>(w) * 4;
  for (int r = 0; r < h; ++r) {
    std::copy_n(bottomUp.begin() + static_cast<long>((h - 1 - r) * row), row,
                topDown.begin() + static_cast<long>(r * row));
  }
  return topDown;
}

Rgba ReadPixel(int x, int y) {
  auto p = ReadPixels(x, y, 1, 1);
  return Rgba{p[0], p[1], p[2], p[3]};
}

unsigned int TakeGlError() {
  GLenum first = glGetError();
  if (first == GL_NO_ERROR) return first;
  for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
  }
  return first;
}

void GlTest::SetUp() {
  std::string error;
  ASSERT_TRUE(EnsureGlContext(&error)) << "no GL context: " << error;
  ResetGlState();
  TakeGlError();
}

}  // namespace testsupport
