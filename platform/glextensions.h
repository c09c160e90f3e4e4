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
  // GLSL programs (the ARB shader-object family) of the medium and high levels.
  PFNGLCREATEPROGRAMOBJECTARBPROC glCreateProgramObjectARB = nullptr;
  PFNGLDELETEOBJECTARBPROC glDeleteObjectARB = nullptr;
  PFNGLUSEPROGRAMOBJECTARBPROC glUseProgramObjectARB = nullptr;
  PFNGLCREATESHADEROBJECTARBPROC glCreateShaderObjectARB = nullptr;
  PFNGLSHADERSOURCEARBPROC glShaderSourceARB = nullptr;
  PFNGLCOMPILESHADERARBPROC glCompileShaderARB = nullptr;
  PFNGLGETOBJECTPARAMETERIVARBPROC glGetObjectParameterivARB = nullptr;
  PFNGLATTACHOBJECTARBPROC glAttachObjectARB = nullptr;
  PFNGLGETINFOLOGARBPROC glGetInfoLogARB = nullptr;
  PFNGLLINKPROGRAMARBPROC glLinkProgramARB = nullptr;
  PFNGLGETUNIFORMLOCATIONARBPROC glGetUniformLocationARB = nullptr;
  PFNGLUNIFORM1FARBPROC glUniform1fARB = nullptr;
  PFNGLUNIFORM1IARBPROC glUniform1iARB = nullptr;
  PFNGLGETATTRIBLOCATIONARBPROC glGetAttribLocationARB = nullptr;
  PFNGLVERTEXATTRIBPOINTERARBPROC glVertexAttribPointerARB = nullptr;
  PFNGLENABLEVERTEXATTRIBARRAYARBPROC glEnableVertexAttribArrayARB = nullptr;
  PFNGLDISABLEVERTEXATTRIBARRAYARBPROC glDisableVertexAttribArrayARB = nullptr;
  // Compressed texture upload (nothing draws with it yet).
  PFNGLCOMPRESSEDTEXIMAGE2DARBPROC glCompressedTexImage2DARB = nullptr;

  // Framebuffer objects: GL 3.0 or ARB_framebuffer_object, and every entry
  // point above them found.
  bool framebuffers = false;
  // glActiveTextureARB: GL 1.3 or ARB_multitexture.
  bool multitexture = false;
  // GLSL: ARB_shading_language_100 listed.
  bool shadingLanguage = false;
  // ARB_shader_objects listed, and every GLSL entry point above found.
  bool shaderObjects = false;
  // glCompressedTexImage2DARB: GL 1.3 or ARB_texture_compression.
  bool compressedTextures = false;

  // True when the context lists `name` among its extensions.
  bool HasExtension(const char* name) const;
};

// The table, filled on the first call; that call needs a current GL context
// (every user draws, so one is current).
const GlExtensions& Gl();
