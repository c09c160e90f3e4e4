#include "render/shaderhelper.h"

#include <vector>

#include "platform/glextensions.h"
#include "platform/platform.h"
#include "render/shaderlibrary.h"

void ShaderHelper::InitMe() { CreateScreens(); }

void ShaderHelper::CreateScreens() {
  if (screens[0] != 0) return;  // a second game start keeps the first textures
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
}

bool ShaderHelper::InitPBuffers(void*, int, void*) {
  if (pingFramebuffer != 0 && pongFramebuffer != 0) return true;  // made by an earlier start
  if (!Gl().framebuffers) return false;
  CreateScreens();
  GLint draw = 0, read = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
  const bool made = CreateBuffer(pingFramebuffer, kPingScreen, pingDepth) &&
                    CreateBuffer(pongFramebuffer, kPongScreen, pongDepth);
  Gl().glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw));
  Gl().glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read));
  if (!made) {
    DeleteBuffer(pingFramebuffer, pingDepth);
    DeleteBuffer(pongFramebuffer, pongDepth);
  }
  return made;
}

bool ShaderHelper::CreateBuffer(GLuint& framebuffer, int screen, GLuint& depth) {
  Gl().glGenRenderbuffers(1, &depth);
  Gl().glBindRenderbuffer(GL_RENDERBUFFER, depth);
  Gl().glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, kBufferSize, kBufferSize);
  Gl().glBindRenderbuffer(GL_RENDERBUFFER, 0);
  Gl().glGenFramebuffers(1, &framebuffer);
  Gl().glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  Gl().glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                              screens[screen - 1], 0);
  Gl().glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
  if (Gl().glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(clear[0], clear[1], clear[2], clear[3]);
  return true;
}

void ShaderHelper::DeleteBuffer(GLuint& framebuffer, GLuint& depth) {
  if (framebuffer != 0) Gl().glDeleteFramebuffers(1, &framebuffer);
  if (depth != 0) Gl().glDeleteRenderbuffers(1, &depth);
  framebuffer = depth = 0;
}

void ShaderHelper::DrawInto(GLuint framebuffer, int screen, int width, int height) {
  if (framebuffer == 0) return;
  drawingInto = screen;
  if (!offScreen) {
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &frameDrawFramebuffer);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &frameReadFramebuffer);
    offScreen = true;
  }
  Gl().glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glViewport(0, 0, width, height);
}

void ShaderHelper::RenderOffScreenPing() {
  DrawInto(pingFramebuffer, kPingScreen, pingWidth, pingHeight);
}

void ShaderHelper::RenderOffScreenPong() {
  DrawInto(pongFramebuffer, kPongScreen, pongWidth, pongHeight);
}

void ShaderHelper::RenderToScreen(void*, void*) {
  if (offScreen) {
    Gl().glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(frameDrawFramebuffer));
    Gl().glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(frameReadFramebuffer));
    offScreen = false;
  }
  drawingInto = 0;
  glViewport(0, 0, platform::kFrameWidth, platform::kFrameHeight);
}

void ShaderHelper::RenderPBufferToTexturePing(int n) {
  if (n < 1 || n > kScreens) return;
  glBindTexture(GL_TEXTURE_2D, screens[n - 1]);
  // Copying a texture onto itself is undefined, and it is already there.
  if (n == drawingInto) return;
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, kBufferSize, kBufferSize);
}

void ShaderHelper::RenderPBufferToTexturePong(int n) { RenderPBufferToTexturePing(n); }

void ShaderHelper::BindScreen(int n, int unit) {
  const bool switchUnit = Gl().multitexture && unit >= 0 && unit <= 8;
  if (switchUnit) Gl().glActiveTextureARB(GL_TEXTURE0_ARB + unit);
  if (n >= 1 && n <= kScreens) glBindTexture(GL_TEXTURE_2D, screens[n - 1]);
  if (Gl().multitexture) Gl().glActiveTextureARB(GL_TEXTURE0_ARB);
}
