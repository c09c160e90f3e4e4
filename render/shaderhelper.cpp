#include "render/shaderhelper.h"

#include <vector>

#include "app/platform.h"

void ShaderHelper::InitMe() {
  const std::vector<float> black(kBufferSize * kBufferSize * 3, 0.0f);
  glGenTextures(kScreens, screens);
  for (GLuint screen : screens) {
    glBindTexture(GL_TEXTURE_2D, screen);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kBufferSize, kBufferSize, 0, GL_RGB, GL_FLOAT,
                 black.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  glActiveTextureARB =
      reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(platform::GetProcAddress("glActiveTextureARB"));
}

bool ShaderHelper::InitPBuffers(void*, int, void*) {
  // The off-screen buffers come with the shader work still to come; until
  // then the game start falls back to the medium level.
  return false;
}

void ShaderHelper::RenderOffScreenPing() {
  if (!pingFramebuffer || !glBindFramebuffer) return;
  glBindFramebuffer(GL_FRAMEBUFFER, pingFramebuffer);
  glViewport(0, 0, pingWidth, pingHeight);
}

void ShaderHelper::RenderOffScreenPong() {
  if (!pongFramebuffer || !glBindFramebuffer) return;
  glBindFramebuffer(GL_FRAMEBUFFER, pongFramebuffer);
  glViewport(0, 0, pongWidth, pongHeight);
}

void ShaderHelper::RenderToScreen(void*, void*) {
  platform::BeginFrame();
  glViewport(0, 0, platform::kFrameWidth, platform::kFrameHeight);
}

void ShaderHelper::RenderPBufferToTexturePing(int n) {
  if (n < 1 || n > kScreens) return;
  glBindTexture(GL_TEXTURE_2D, screens[n - 1]);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, kBufferSize, kBufferSize);
}

void ShaderHelper::RenderPBufferToTexturePong(int n) { RenderPBufferToTexturePing(n); }

void ShaderHelper::BindScreen(int n, int unit) {
  const bool switchUnit = glActiveTextureARB && unit >= 0 && unit <= 8;
  if (switchUnit) glActiveTextureARB(GL_TEXTURE0_ARB + unit);
  if (n >= 1 && n <= kScreens) glBindTexture(GL_TEXTURE_2D, screens[n - 1]);
  if (glActiveTextureARB) glActiveTextureARB(GL_TEXTURE0_ARB);
}
