// Shader benchmarks under a real (software) GL context: a crowded frame of
// sorted sprites drawn by the fixed-function path and by the FireRender
// program, and the high level's glow passes on their own.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <string>

#include "bench/glbench.h"
#include "render/defaultsprite.h"
#include "render/rendersort.h"
#include "render/shaderhelper.h"
#include "render/shaderlibrary.h"
#include "render/texturelibrary.h"

namespace {

TextureLibrary gLibrary;
ShaderLibrary gShaders;
ShaderHelper gHelper;

bool OpenContext() {
  static bool opened = [] {
    if (!glbench::OpenHiddenWindow()) return false;
    glbench::AddTestPictures(gLibrary, 20);
    gShaders.directory = std::string(VOIDRAKE_RUN_DIR) + "/Shaders/";
    gShaders.BuildMe();
    gShaders.SetBlurFallOff(0.1f);
    gHelper.InitMe();
    return gShaders.UsingShaders() && gHelper.InitPBuffers();
  }();
  return opened;
}

// 2,500 turned 16-pixel sprites over 20 textures, in a scattered order.
void SortedFrame(RenderSort& sorter, bool fast) {
  sorter.Reset();
  sorter.CameraRect(512, 384, 1024, 768);
  for (int i = 0; i < 2500; ++i) {
    const float x = static_cast<float>((i * 37) % 1000) + 12;
    const float y = static_cast<float>((i * 53) % 740) + 14;
    sorter.AddQuad((i * 7) % 20, 0, 0, x, y, 8, 8, 1, 1, 1, 1, static_cast<float>(i % 360), false);
  }
  if (fast) {
    gShaders.ShaderFireRender();
    sorter.RenderFast();
    gShaders.ShadersOff();
  } else {
    sorter.RenderSlow();
  }
  glFinish();
}

void BM_SortedSprites(benchmark::State& state) {
  if (!OpenContext()) {
    state.SkipWithError("no GL context with shaders and off-screen buffers");
    return;
  }
  const bool fast = state.range(0) != 0;
  RenderSort sorter;
  sorter.InitMe(&gLibrary, &gShaders);
  for (auto _ : state) SortedFrame(sorter, fast);
  state.counters["quads_drawn"] = 2500;
}
// Arg: 0 RenderSlow (low level), 1 RenderFast through FireRender.
BENCHMARK(BM_SortedSprites)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The glow of a frame with 40 bright sprites: capture into ping, the
// horizontal blur into pong, the vertical blur added over the frame.
void BM_GlowPasses(benchmark::State& state) {
  if (!OpenContext()) {
    state.SkipWithError("no GL context with shaders and off-screen buffers");
    return;
  }
  DefaultSprite sprite, screen;
  sprite.InitMe(0, 0, 24, 24, 0.5f, 0.5f, 1, 1, &gLibrary);
  screen.InitMe(512, 384, 1024, 768, 0.5f, 0.5f, 1, 1, &gLibrary);
  for (auto _ : state) {
    gHelper.RenderOffScreenPing();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (int i = 0; i < 40; ++i)
      sprite.RenderMe(static_cast<float>(i * 97 % 1000), static_cast<float>(i * 61 % 760), 0, 0, 1,
                      1, 1, 1, i % 20, false, false);
    gHelper.RenderPBufferToTexturePing(1);
    gHelper.RenderOffScreenPong();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gHelper.BindScreen(1, 0);
    gShaders.ShaderHorizBlur2(512);
    screen.RenderMe(0, 0, 0, 0, 1, 1, 1, 1, -1, false, false);
    gHelper.RenderPBufferToTexturePong(2);
    gHelper.RenderToScreen();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    gHelper.BindScreen(2, 0);
    gShaders.ShaderVertBlur2(512);
    screen.RenderMe(0, 0, 0, 0, 1, 1, 1, 1, -1, false, false);
    glDisable(GL_BLEND);
    gShaders.ShadersOff();
    glFinish();
  }
}
BENCHMARK(BM_GlowPasses)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
