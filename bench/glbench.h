// Shared set-up of the GL benchmarks: a hidden window with the game's fixed
// GL state, and small test pictures. Header only, because every .cpp in
// bench/ is a benchmark program of its own.
#pragma once

#include <GL/gl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "render/glwrapper.h"
#include "render/texturelibrary.h"

namespace glbench {

// Opens the hidden window, makes its context current and sets the fixed GL
// state. False, with the reason on standard error, without a display or GL.
inline bool OpenHiddenWindow() {
  platform::WindowOptions options;
  options.hidden = true;
  std::string error;
  if (!platform::OpenWindow(options, &error)) {
    std::fprintf(stderr, "no GL context: %s\n", error.c_str());
    return false;
  }
  GlWrapper setup;
  setup.EnableOpenGL();
  platform::BeginFrame();
  setup.SetFixedGlState();
  return true;
}

// Adds `count` linearly filtered 32 x 32 pictures, each with its own texels,
// to the next slots of `library`.
inline void AddTestPictures(TextureLibrary& library, int count) {
  std::vector<unsigned char> texels(32 * 32 * 4);
  for (int t = 0; t < count; ++t) {
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<unsigned char>(i * (t + 1));
    unsigned int name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 32, 32, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    library.AddTexture(name);
  }
}

}  // namespace glbench
