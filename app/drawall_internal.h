// GL helpers the frame order, the HUD and the shop overlay share.
#pragma once

#include <GL/gl.h>

#include "platform/platform.h"

namespace drawall_detail {

// Blending with source alpha / one minus source alpha, or blending off.
inline void AlphaBlending(bool on) {
  if (on) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  } else {
    glDisable(GL_BLEND);
  }
}

// Pushes the projection and loads the 1024x768 screen projection (y down).
inline void PushScreenProjection(float nearPlane, float farPlane) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, platform::kFrameWidth, platform::kFrameHeight, 0, nearPlane, farPlane);
  glMatrixMode(GL_MODELVIEW);
}

inline void PopProjection() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace drawall_detail
