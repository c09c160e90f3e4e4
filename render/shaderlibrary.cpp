#include "render/shaderlibrary.h"

#include "app/platform.h"

void ShaderLibrary::BuildMe() {
  // The GLSL programs are built by the shader work still to come; until then
  // usingShaders stays false and the game start falls back to low graphics.
  FireRenderStream();
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
