// The window-side GL set-up of GlWrapper, expressed over the platform layer
// (which picks the pixel format and owns the window).
#include <GL/gl.h>

#include "platform/platform.h"
#include "render/glwrapper.h"

int GlWrapper::EnableOpenGL() {
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  return 0;
}

void GlWrapper::SetFixedGlState() {
  glClearDepth(1.0);
  glDisable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glViewport(0, 0, platform::kFrameWidth, platform::kFrameHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, platform::kFrameWidth, platform::kFrameHeight, 0, -10, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glShadeModel(GL_SMOOTH);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

int GlWrapper::DisableOpenGL() {
  platform::ReleaseContext();
  platform::CloseWindow();
  return 1;
}

void GlWrapper::ChangeToFullscreen() {
  switch (platform::EnterFullscreen()) {
    case platform::FullscreenResult::kOk: return;
    case platform::FullscreenResult::kNoDisplayMode:
      platform::ShowMessageBox("Could Not Enum Display Settings", "Error");
      return;
    case platform::FullscreenResult::kModeFailed:
      platform::ShowMessageBox("Display Mode Not Compatible", "Error");
      platform::PostQuit();
      return;
  }
}
