// The GL entry points beyond OpenGL 1.1 that the game calls, fetched by name
// once, and the one check of what the context offers. Every user reads this
// table instead of fetching for itself: GLX hands out an address for any
// name, so a non-null entry point proves nothing without the check.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

struct GlExtensions {
  // Framebuffer objects with separate draw and read bindings.
  PFNGLGENFRAMEBUFFERSPROC glGenFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC glDeleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC glBindFramebuffer = nullptr;
  PFNGLGENRENDERBUFFERSPROC glGenRenderbuffers = nullptr;
  PFNGLDELETERENDERBUFFERSPROC glDeleteRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC glBindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC glRenderbufferStorage = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC glFramebufferRenderbuffer = nullptr;
  PFNGLFRAMEBUFFERTEXTURE2DPROC glFramebufferTexture2D = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC glCheckFramebufferStatus = nullptr;
  PFNGLBLITFRAMEBUFFERPROC glBlitFramebuffer = nullptr;
  // Multitexture (texture units of the glow's composite).
  PFNGLACTIVETEXTUREARBPROC glActiveTextureARB = nullptr;
  // The extension list of a core-profile context, one name at a time.
  PFNGLGETSTRINGIPROC glGetStringi = nullptr;

  // Framebuffer objects: GL 3.0 or ARB_framebuffer_object, and every entry
  // point above them found.
  bool framebuffers = false;
  // glActiveTextureARB: GL 1.3 or ARB_multitexture.
  bool multitexture = false;

  // True when the context lists `name` among its extensions.
  bool HasExtension(const char* name) const;
};

// The table, filled on the first call; that call needs a current GL context
// (every user draws, so one is current).
const GlExtensions& Gl();
