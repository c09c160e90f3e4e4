// ShaderLibrary: the GLSL programs of the medium and high graphics levels
// (one instance: Shaders). Every switch is a no-op unless BuildMe succeeded,
// so callers switch programs freely on every level. The entry points come
// from the one GL table (platform/glextensions.h), as does their check.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <memory>
#include <string>

// The whole file as newly allocated text ending in a zero byte, or null when
// it cannot be opened.
std::unique_ptr<char[]> textFileRead(const std::string& path);

class ShaderLibrary {
 public:
  float falloff = 0.18f;  // weight parameter of the blur programs

  // Programs and shader objects.
  GLhandleARB maskingProgram = 0, maskingVertex = 0, maskingFragment = 0;
  GLhandleARB blendProgram = 0, blendVertex = 0, blendFragment = 0;
  GLhandleARB motionBlurProgram = 0, motionBlurVertex = 0, motionBlurFragment = 0;
  GLhandleARB horizBlurProgram = 0, blurVertex = 0, horizBlurFragment = 0;
  GLhandleARB vertBlurProgram = 0, vertBlurFragment = 0;  // shares blurVertex
  GLhandleARB fireRenderProgram = 0, fireRenderVertex = 0, fireRenderFragment = 0;

  // Uniform and attribute locations.
  GLint motionBlurDecalTex[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
  GLint horizDecalTex = -1, horizFalloff = -1, horizTextureStep = -1;
  GLint vertDecalTex = -1, vertFalloff = -1, vertTextureStep = -1;
  GLint rotationAttrib = -1, newposAttrib = -1;

  bool usingShaders = false;  // true only after a complete BuildMe

  // Where the sources are read from (the game runs beside "Shaders/").
  std::string directory = "Shaders/";

  // Builds the six programs from `directory`. Missing extensions show their
  // message box; a source that cannot be read, does not compile or does not
  // link is reported on stderr with the GLSL log. Either way usingShaders
  // stays false and nothing built is left behind.
  void BuildMe();
  void ShadersOff();
  void ShaderMasking();
  void ShaderPBlend();
  void ShaderHorizBlur2(float size);
  void ShaderVertBlur2(float size);
  void SetBlurFallOff(float value);
  bool UsingShaders() const;
  void ShaderFireRender();
  // Enable / disable the "rotation" and "newpos" attribute arrays.
  void UnlockFireRender();
  void LockFireRender();
  // The attribute-pointer entry point (from the one GL table), kept by
  // RenderSort.
  PFNGLVERTEXATTRIBPOINTERARBPROC FireRenderStream();

 private:
  bool BuildPrograms();
  // Compiles `file` into a new shader object of `kind`; 0 on failure.
  GLhandleARB CompileShader(GLenum kind, const char* file);
  // Creates a program from two compiled shaders and links it; 0 on failure.
  GLhandleARB LinkProgram(GLhandleARB vertex, GLhandleARB fragment, const char* name);
  bool LookUpLocations();
  // Deletes every program and shader object made so far.
  void Release();
  void PrintLog(GLhandleARB object, const char* what);
};
