#include "platform/glextensions.h"

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace {

template <typename T>
void Fetch(T& entry, const char* name) {
  entry = reinterpret_cast<T>(platform::GetProcAddress(name));
}

// "major.minor ..." of GL_VERSION as major * 10 + minor; 0 when unknown.
int Version() {
  const char* text = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (text == nullptr) return 0;
  char* end = nullptr;
  const long major = std::strtol(text, &end, 10);
  const long minor = *end == '.' ? std::strtol(end + 1, nullptr, 10) : 0;
  return static_cast<int>(major * 10 + minor);
}

void FetchShaderObjects(GlExtensions& e) {
  Fetch(e.glCreateProgramObjectARB, "glCreateProgramObjectARB");
  Fetch(e.glDeleteObjectARB, "glDeleteObjectARB");
  Fetch(e.glUseProgramObjectARB, "glUseProgramObjectARB");
  Fetch(e.glCreateShaderObjectARB, "glCreateShaderObjectARB");
  Fetch(e.glShaderSourceARB, "glShaderSourceARB");
  Fetch(e.glCompileShaderARB, "glCompileShaderARB");
  Fetch(e.glGetObjectParameterivARB, "glGetObjectParameterivARB");
  Fetch(e.glAttachObjectARB, "glAttachObjectARB");
  Fetch(e.glGetInfoLogARB, "glGetInfoLogARB");
  Fetch(e.glLinkProgramARB, "glLinkProgramARB");
  Fetch(e.glGetUniformLocationARB, "glGetUniformLocationARB");
  Fetch(e.glUniform1fARB, "glUniform1fARB");
  Fetch(e.glUniform1iARB, "glUniform1iARB");
  Fetch(e.glGetAttribLocationARB, "glGetAttribLocationARB");
  Fetch(e.glVertexAttribPointerARB, "glVertexAttribPointerARB");
  Fetch(e.glEnableVertexAttribArrayARB, "glEnableVertexAttribArrayARB");
  Fetch(e.glDisableVertexAttribArrayARB, "glDisableVertexAttribArrayARB");
  e.shadingLanguage = e.HasExtension("GL_ARB_shading_language_100");
  e.shaderObjects = e.HasExtension("GL_ARB_shader_objects") && e.glCreateProgramObjectARB &&
                    e.glDeleteObjectARB && e.glUseProgramObjectARB && e.glCreateShaderObjectARB &&
                    e.glShaderSourceARB && e.glCompileShaderARB && e.glGetObjectParameterivARB &&
                    e.glAttachObjectARB && e.glGetInfoLogARB && e.glLinkProgramARB &&
                    e.glGetUniformLocationARB && e.glUniform1fARB && e.glUniform1iARB &&
                    e.glGetAttribLocationARB && e.glVertexAttribPointerARB &&
                    e.glEnableVertexAttribArrayARB && e.glDisableVertexAttribArrayARB;
}

GlExtensions Load() {
  GlExtensions e;
  Fetch(e.glGetStringi, "glGetStringi");
  Fetch(e.glGenFramebuffers, "glGenFramebuffers");
  Fetch(e.glDeleteFramebuffers, "glDeleteFramebuffers");
  Fetch(e.glBindFramebuffer, "glBindFramebuffer");
  Fetch(e.glGenRenderbuffers, "glGenRenderbuffers");
  Fetch(e.glDeleteRenderbuffers, "glDeleteRenderbuffers");
  Fetch(e.glBindRenderbuffer, "glBindRenderbuffer");
  Fetch(e.glRenderbufferStorage, "glRenderbufferStorage");
  Fetch(e.glFramebufferRenderbuffer, "glFramebufferRenderbuffer");
  Fetch(e.glFramebufferTexture2D, "glFramebufferTexture2D");
  Fetch(e.glCheckFramebufferStatus, "glCheckFramebufferStatus");
  Fetch(e.glBlitFramebuffer, "glBlitFramebuffer");
  Fetch(e.glActiveTextureARB, "glActiveTextureARB");
  const int version = Version();
  e.framebuffers = (version >= 30 || e.HasExtension("GL_ARB_framebuffer_object")) &&
                   e.glGenFramebuffers && e.glDeleteFramebuffers && e.glBindFramebuffer &&
                   e.glGenRenderbuffers && e.glDeleteRenderbuffers && e.glBindRenderbuffer &&
                   e.glRenderbufferStorage && e.glFramebufferRenderbuffer &&
                   e.glFramebufferTexture2D && e.glCheckFramebufferStatus && e.glBlitFramebuffer;
  e.multitexture = (version >= 13 || e.HasExtension("GL_ARB_multitexture")) && e.glActiveTextureARB;
  FetchShaderObjects(e);
  Fetch(e.glCompressedTexImage2DARB, "glCompressedTexImage2DARB");
  e.compressedTextures = (version >= 13 || e.HasExtension("GL_ARB_texture_compression")) &&
                         e.glCompressedTexImage2DARB;
  return e;
}

}  // namespace

bool GlExtensions::HasExtension(const char* name) const {
  const size_t length = std::strlen(name);
  const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (list != nullptr) {
    for (const char* p = std::strstr(list, name); p != nullptr; p = std::strstr(p + 1, name)) {
      const bool starts = p == list || p[-1] == ' ';
      const bool ends = p[length] == ' ' || p[length] == '\0';
      if (starts && ends) return true;
    }
    return false;
  }
  // A core-profile context has no single list: ask name by name.
  if (glGetStringi == nullptr) return false;
  GLint count = 0;
  glGetIntegerv(GL_NUM_EXTENSIONS, &count);
  for (GLint i = 0; i < count; ++i) {
    const char* e =
        reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
    if (e != nullptr && std::strcmp(e, name) == 0) return true;
  }
  return false;
}

const GlExtensions& Gl() {
  static GlExtensions table;
  static bool loaded = false;
  // Without a current context nothing can be asked yet: the next call tries.
  if (!loaded && glGetString(GL_VERSION) != nullptr) {
    table = Load();
    loaded = true;
  }
  return table;
}
