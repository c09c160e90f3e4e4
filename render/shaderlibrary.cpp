#include "render/shaderlibrary.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/glextensions.h"
#include "app/platform.h"

std::unique_ptr<char[]> textFileRead(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return nullptr;
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  auto text = std::make_unique<char[]>(bytes.size() + 1);
  std::memcpy(text.get(), bytes.data(), bytes.size());
  text[bytes.size()] = '\0';
  return text;
}

namespace {

template <typename T>
void Fetch(T& entry, const char* name) {
  entry = reinterpret_cast<T>(platform::GetProcAddress(name));
}

}  // namespace

void ShaderLibrary::BuildMe() {
  Release();
  usingShaders = false;
  if (!Gl().HasExtension("GL_ARB_shading_language_100")) {
    platform::ShowMessageBox(
        "Your Computer doesn't support this high a graphics level!  Try low graphics.", "ERROR");
    return;
  }
  const bool complete = FetchEntryPoints();
  if (!Gl().HasExtension("GL_ARB_shader_objects")) {
    platform::ShowMessageBox("GL_ARB_shader_objects extension was not found", "ERROR");
    return;
  }
  if (!complete) {
    platform::ShowMessageBox("One or more GL_ARB_shader_objects functions were not found",
                             "ERROR");
    return;
  }
  // A program that does not build would draw nothing or garbage: the game
  // is better off with fixed-function drawing, which the caller falls back
  // to when usingShaders stays false.
  if (!BuildPrograms() || !LookUpLocations()) {
    Release();
    return;
  }
  usingShaders = true;
}

// True when every entry point the programs are built and switched with was
// found. The attribute calls are needed by the sorted drawing too.
bool ShaderLibrary::FetchEntryPoints() {
  Fetch(glCreateProgramObjectARB, "glCreateProgramObjectARB");
  Fetch(glDeleteObjectARB, "glDeleteObjectARB");
  Fetch(glUseProgramObjectARB, "glUseProgramObjectARB");
  Fetch(glCreateShaderObjectARB, "glCreateShaderObjectARB");
  Fetch(glShaderSourceARB, "glShaderSourceARB");
  Fetch(glCompileShaderARB, "glCompileShaderARB");
  Fetch(glGetObjectParameterivARB, "glGetObjectParameterivARB");
  Fetch(glAttachObjectARB, "glAttachObjectARB");
  Fetch(glGetInfoLogARB, "glGetInfoLogARB");
  Fetch(glLinkProgramARB, "glLinkProgramARB");
  Fetch(glGetUniformLocationARB, "glGetUniformLocationARB");
  Fetch(glUniform4fARB, "glUniform4fARB");
  Fetch(glUniform3fARB, "glUniform3fARB");
  Fetch(glUniform1fARB, "glUniform1fARB");
  Fetch(glUniform1iARB, "glUniform1iARB");
  Fetch(glGetAttribLocationARB, "glGetAttribLocationARB");
  Fetch(glVertexAttrib3fARB, "glVertexAttrib3fARB");
  Fetch(glVertexAttribPointerARB, "glVertexAttribPointerARB");
  Fetch(glEnableVertexAttribArrayARB, "glEnableVertexAttribArrayARB");
  Fetch(glDisableVertexAttribArrayARB, "glDisableVertexAttribArrayARB");
  return glCreateProgramObjectARB && glDeleteObjectARB && glUseProgramObjectARB &&
         glCreateShaderObjectARB && glShaderSourceARB && glCompileShaderARB &&
         glGetObjectParameterivARB && glAttachObjectARB && glGetInfoLogARB && glLinkProgramARB &&
         glGetUniformLocationARB && glUniform4fARB && glUniform1fARB && glUniform1iARB &&
         glGetAttribLocationARB && glVertexAttribPointerARB && glEnableVertexAttribArrayARB &&
         glDisableVertexAttribArrayARB;
}

void ShaderLibrary::PrintLog(GLhandleARB object, const char* what) {
  GLint length = 0;
  glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
  std::vector<GLcharARB> log(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
  if (length > 0) glGetInfoLogARB(object, length, nullptr, log.data());
  std::fprintf(stderr, "Shader %s failed:\n%s\n", what, log.data());
}

GLhandleARB ShaderLibrary::CompileShader(GLenum kind, const char* file) {
  const std::string path = directory + file;
  const std::unique_ptr<char[]> source = textFileRead(path);
  if (!source) {
    std::fprintf(stderr, "Shader source %s cannot be read\n", path.c_str());
    return 0;
  }
  const GLhandleARB shader = glCreateShaderObjectARB(kind);
  if (shader == 0) return 0;
  const GLcharARB* text = source.get();
  glShaderSourceARB(shader, 1, &text, nullptr);
  glCompileShaderARB(shader);
  GLint compiled = 0;
  glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
  if (!compiled) {
    PrintLog(shader, ("compile of " + path).c_str());
    glDeleteObjectARB(shader);
    return 0;
  }
  return shader;
}

GLhandleARB ShaderLibrary::LinkProgram(GLhandleARB vertex, GLhandleARB fragment,
                                       const char* name) {
  if (vertex == 0 || fragment == 0) return 0;
  const GLhandleARB program = glCreateProgramObjectARB();
  if (program == 0) return 0;
  glAttachObjectARB(program, vertex);
  glAttachObjectARB(program, fragment);
  glLinkProgramARB(program);
  GLint linked = 0;
  glGetObjectParameterivARB(program, GL_OBJECT_LINK_STATUS_ARB, &linked);
  if (!linked) {
    PrintLog(program, (std::string("link of ") + name).c_str());
    glDeleteObjectARB(program);
    return 0;
  }
  return program;
}

bool ShaderLibrary::BuildPrograms() {
  maskingVertex = CompileShader(GL_VERTEX_SHADER_ARB, "ParticleDiscard.vert");
  maskingFragment = CompileShader(GL_FRAGMENT_SHADER_ARB, "ParticleDiscard.frag");
  maskingProgram = LinkProgram(maskingVertex, maskingFragment, "masking");
  if (maskingProgram == 0) return false;

  blendVertex = CompileShader(GL_VERTEX_SHADER_ARB, "thingy.vert");
  blendFragment = CompileShader(GL_FRAGMENT_SHADER_ARB, "thingy.frag");
  blendProgram = LinkProgram(blendVertex, blendFragment, "background blend");
  if (blendProgram == 0) return false;

  motionBlurVertex = CompileShader(GL_VERTEX_SHADER_ARB, "MotionBlur.vert");
  motionBlurFragment = CompileShader(GL_FRAGMENT_SHADER_ARB, "MotionBlur.frag");
  motionBlurProgram = LinkProgram(motionBlurVertex, motionBlurFragment, "motion blur");
  if (motionBlurProgram == 0) return false;

  blurVertex = CompileShader(GL_VERTEX_SHADER_ARB, "Blur.vert");
  horizBlurFragment = CompileShader(GL_FRAGMENT_SHADER_ARB, "HorizBlur.frag");
  horizBlurProgram = LinkProgram(blurVertex, horizBlurFragment, "horizontal blur");
  if (horizBlurProgram == 0) return false;

  // The vertical blur shares the compiled Blur.vert.
  vertBlurFragment = CompileShader(GL_FRAGMENT_SHADER_ARB, "VertBlur.frag");
  vertBlurProgram = LinkProgram(blurVertex, vertBlurFragment, "vertical blur");
  if (vertBlurProgram == 0) return false;

  fireRenderVertex = CompileShader(GL_VERTEX_SHADER_ARB, "FireRender.vert");
  fireRenderFragment = CompileShader(GL_FRAGMENT_SHADER_ARB, "FireRender.frag");
  fireRenderProgram = LinkProgram(fireRenderVertex, fireRenderFragment, "FireRender");
  return fireRenderProgram != 0;
}

bool ShaderLibrary::LookUpLocations() {
  for (int i = 0; i < 8; ++i) {
    const std::string name = "DecalTex" + std::to_string(i + 1);
    motionBlurDecalTex[i] = glGetUniformLocationARB(motionBlurProgram, name.c_str());
  }
  horizDecalTex = glGetUniformLocationARB(horizBlurProgram, "DecalTex");
  horizFalloff = glGetUniformLocationARB(horizBlurProgram, "falloff");
  horizTextureStep = glGetUniformLocationARB(horizBlurProgram, "texturestep");
  vertDecalTex = glGetUniformLocationARB(vertBlurProgram, "DecalTex");
  vertFalloff = glGetUniformLocationARB(vertBlurProgram, "falloff");
  vertTextureStep = glGetUniformLocationARB(vertBlurProgram, "texturestep");
  rotationAttrib = glGetAttribLocationARB(fireRenderProgram, "rotation");
  newposAttrib = glGetAttribLocationARB(fireRenderProgram, "newpos");
  // Without its two attributes the sorted drawing could not turn or place
  // a single sprite.
  if (rotationAttrib < 0 || newposAttrib < 0) {
    std::fprintf(stderr, "Shader FireRender lacks the rotation or newpos attribute\n");
    return false;
  }
  return true;
}

void ShaderLibrary::Release() {
  usingShaders = false;
  if (glDeleteObjectARB == nullptr) return;
  GLhandleARB* objects[] = {
      &maskingProgram,    &maskingVertex,     &maskingFragment,    &blendProgram,
      &blendVertex,       &blendFragment,     &motionBlurProgram,  &motionBlurVertex,
      &motionBlurFragment, &horizBlurProgram, &blurVertex,         &horizBlurFragment,
      &vertBlurProgram,   &vertBlurFragment,  &fireRenderProgram,  &fireRenderVertex,
      &fireRenderFragment};
  for (GLhandleARB* object : objects) {
    if (*object != 0) glDeleteObjectARB(*object);
    *object = 0;
  }
  rotationAttrib = newposAttrib = -1;
}

void ShaderLibrary::ShadersOff() {
  if (usingShaders) glUseProgramObjectARB(0);
}

void ShaderLibrary::ShaderMasking() {
  if (usingShaders) glUseProgramObjectARB(maskingProgram);
}

void ShaderLibrary::ShaderPBlend() {
  if (usingShaders) glUseProgramObjectARB(blendProgram);
}

void ShaderLibrary::ShaderHorizBlur2(float size) {
  if (!usingShaders) return;
  glUseProgramObjectARB(horizBlurProgram);
  glUniform1iARB(horizDecalTex, 0);
  glUniform1fARB(horizFalloff, falloff);
  glUniform1fARB(horizTextureStep, 1.0f / size);
}

void ShaderLibrary::ShaderVertBlur2(float size) {
  if (!usingShaders) return;
  glUseProgramObjectARB(vertBlurProgram);
  glUniform1iARB(vertDecalTex, 0);
  glUniform1fARB(vertFalloff, falloff);
  glUniform1fARB(vertTextureStep, 1.0f / size);
}

void ShaderLibrary::SetBlurFallOff(float value) { falloff = value; }

bool ShaderLibrary::UsingShaders() const { return usingShaders; }

void ShaderLibrary::ShaderFireRender() {
  if (usingShaders) glUseProgramObjectARB(fireRenderProgram);
}

void ShaderLibrary::UnlockFireRender() {
  if (!usingShaders) return;
  glEnableVertexAttribArrayARB(static_cast<GLuint>(rotationAttrib));
  glEnableVertexAttribArrayARB(static_cast<GLuint>(newposAttrib));
}

void ShaderLibrary::LockFireRender() {
  if (!usingShaders) return;
  glDisableVertexAttribArrayARB(static_cast<GLuint>(rotationAttrib));
  glDisableVertexAttribArrayARB(static_cast<GLuint>(newposAttrib));
}

PFNGLVERTEXATTRIBPOINTERARBPROC ShaderLibrary::FireRenderStream() {
  if (!glVertexAttribPointerARB) {
    glVertexAttribPointerARB = reinterpret_cast<PFNGLVERTEXATTRIBPOINTERARBPROC>(
        platform::GetProcAddress("glVertexAttribPointerARB"));
  }
  return glVertexAttribPointerARB;
}
