#include "render/shaderlibrary.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/glextensions.h"
#include "platform/platform.h"

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

void ShaderLibrary::BuildMe() {
  Release();
  usingShaders = false;
  const GlExtensions& gl = Gl();
  if (!gl.shadingLanguage) {
    platform::ShowMessageBox(
        "Your Computer doesn't support this high a graphics level!  Try low graphics.", "ERROR");
    return;
  }
  if (!gl.HasExtension("GL_ARB_shader_objects")) {
    platform::ShowMessageBox("GL_ARB_shader_objects extension was not found", "ERROR");
    return;
  }
  if (!gl.shaderObjects) {
    platform::ShowMessageBox("One or more GL_ARB_shader_objects functions were not found", "ERROR");
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

void ShaderLibrary::PrintLog(GLhandleARB object, const char* what) {
  const GlExtensions& gl = Gl();
  GLint length = 0;
  gl.glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
  std::vector<GLcharARB> log(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
  if (length > 0) gl.glGetInfoLogARB(object, length, nullptr, log.data());
  std::fprintf(stderr, "Shader %s failed:\n%s\n", what, log.data());
}

GLhandleARB ShaderLibrary::CompileShader(GLenum kind, const char* file) {
  const GlExtensions& gl = Gl();
  const std::string path = directory + file;
  const std::unique_ptr<char[]> source = textFileRead(path);
  if (!source) {
    std::fprintf(stderr, "Shader source %s cannot be read\n", path.c_str());
    return 0;
  }
  const GLhandleARB shader = gl.glCreateShaderObjectARB(kind);
  if (shader == 0) return 0;
  const GLcharARB* text = source.get();
  gl.glShaderSourceARB(shader, 1, &text, nullptr);
  gl.glCompileShaderARB(shader);
  GLint compiled = 0;
  gl.glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &compiled);
  if (!compiled) {
    PrintLog(shader, ("compile of " + path).c_str());
    gl.glDeleteObjectARB(shader);
    return 0;
  }
  return shader;
}

GLhandleARB ShaderLibrary::LinkProgram(GLhandleARB vertex, GLhandleARB fragment, const char* name) {
  const GlExtensions& gl = Gl();
  if (vertex == 0 || fragment == 0) return 0;
  const GLhandleARB program = gl.glCreateProgramObjectARB();
  if (program == 0) return 0;
  gl.glAttachObjectARB(program, vertex);
  gl.glAttachObjectARB(program, fragment);
  gl.glLinkProgramARB(program);
  GLint linked = 0;
  gl.glGetObjectParameterivARB(program, GL_OBJECT_LINK_STATUS_ARB, &linked);
  if (!linked) {
    PrintLog(program, (std::string("link of ") + name).c_str());
    gl.glDeleteObjectARB(program);
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
  const GlExtensions& gl = Gl();
  for (int i = 0; i < 8; ++i) {
    const std::string name = "DecalTex" + std::to_string(i + 1);
    motionBlurDecalTex[i] = gl.glGetUniformLocationARB(motionBlurProgram, name.c_str());
  }
  horizDecalTex = gl.glGetUniformLocationARB(horizBlurProgram, "DecalTex");
  horizFalloff = gl.glGetUniformLocationARB(horizBlurProgram, "falloff");
  horizTextureStep = gl.glGetUniformLocationARB(horizBlurProgram, "texturestep");
  vertDecalTex = gl.glGetUniformLocationARB(vertBlurProgram, "DecalTex");
  vertFalloff = gl.glGetUniformLocationARB(vertBlurProgram, "falloff");
  vertTextureStep = gl.glGetUniformLocationARB(vertBlurProgram, "texturestep");
  rotationAttrib = gl.glGetAttribLocationARB(fireRenderProgram, "rotation");
  newposAttrib = gl.glGetAttribLocationARB(fireRenderProgram, "newpos");
  // Without its two attributes the sorted drawing could not turn or place
  // a single sprite.
  if (rotationAttrib < 0 || newposAttrib < 0) {
    std::fprintf(stderr, "Shader FireRender lacks the rotation or newpos attribute\n");
    return false;
  }
  return true;
}

void ShaderLibrary::Release() {
  const GlExtensions& gl = Gl();
  usingShaders = false;
  if (!gl.shaderObjects) return;
  GLhandleARB* objects[] = {&maskingProgram,    &maskingVertex,     &maskingFragment,
                            &blendProgram,      &blendVertex,       &blendFragment,
                            &motionBlurProgram, &motionBlurVertex,  &motionBlurFragment,
                            &horizBlurProgram,  &blurVertex,        &horizBlurFragment,
                            &vertBlurProgram,   &vertBlurFragment,  &fireRenderProgram,
                            &fireRenderVertex,  &fireRenderFragment};
  for (GLhandleARB* object : objects) {
    if (*object != 0) gl.glDeleteObjectARB(*object);
    *object = 0;
  }
  rotationAttrib = newposAttrib = -1;
}

void ShaderLibrary::ShadersOff() {
  if (usingShaders) Gl().glUseProgramObjectARB(0);
}

void ShaderLibrary::ShaderMasking() {
  if (usingShaders) Gl().glUseProgramObjectARB(maskingProgram);
}

void ShaderLibrary::ShaderPBlend() {
  if (usingShaders) Gl().glUseProgramObjectARB(blendProgram);
}

void ShaderLibrary::ShaderHorizBlur2(float size) {
  const GlExtensions& gl = Gl();
  if (!usingShaders) return;
  gl.glUseProgramObjectARB(horizBlurProgram);
  gl.glUniform1iARB(horizDecalTex, 0);
  gl.glUniform1fARB(horizFalloff, falloff);
  gl.glUniform1fARB(horizTextureStep, 1.0f / size);
}

void ShaderLibrary::ShaderVertBlur2(float size) {
  const GlExtensions& gl = Gl();
  if (!usingShaders) return;
  gl.glUseProgramObjectARB(vertBlurProgram);
  gl.glUniform1iARB(vertDecalTex, 0);
  gl.glUniform1fARB(vertFalloff, falloff);
  gl.glUniform1fARB(vertTextureStep, 1.0f / size);
}

void ShaderLibrary::SetBlurFallOff(float value) { falloff = value; }

bool ShaderLibrary::UsingShaders() const { return usingShaders; }

void ShaderLibrary::ShaderFireRender() {
  if (usingShaders) Gl().glUseProgramObjectARB(fireRenderProgram);
}

void ShaderLibrary::UnlockFireRender() {
  const GlExtensions& gl = Gl();
  if (!usingShaders) return;
  gl.glEnableVertexAttribArrayARB(static_cast<GLuint>(rotationAttrib));
  gl.glEnableVertexAttribArrayARB(static_cast<GLuint>(newposAttrib));
}

void ShaderLibrary::LockFireRender() {
  const GlExtensions& gl = Gl();
  if (!usingShaders) return;
  gl.glDisableVertexAttribArrayARB(static_cast<GLuint>(rotationAttrib));
  gl.glDisableVertexAttribArrayARB(static_cast<GLuint>(newposAttrib));
}

PFNGLVERTEXATTRIBPOINTERARBPROC ShaderLibrary::FireRenderStream() {
  return Gl().glVertexAttribPointerARB;
}
