// Drawing benchmarks under a real (software) GL context: the sorted
// renderer with a crowded frame, and a screen of text. A counting operator
// new reports heap allocations per frame in the steady state.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "bench/glbench.h"
#include "platform/globals.h"
#include "render/rendersort.h"
#include "render/text.h"
#include "render/texturelibrary.h"
#include "render/textureslots.h"

namespace {
std::atomic<long> gAllocations{0};
}  // namespace

void* operator new(size_t size) {
  gAllocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

TextureLibrary gLibrary;

bool OpenContext() {
  static bool opened = [] {
    if (!glbench::OpenHiddenWindow()) return false;
    // 20 small pictures plus a font picture in slot 18.
    glbench::AddTestPictures(gLibrary, 20);
    SetUpText(&gLibrary, nullptr);
    graphicslevel = 2;
    return true;
  }();
  return opened;
}

// One frame of 5,000 sprites over 20 textures, half of them outside the
// camera, in a scattered texture order as objects of a real frame are.
void SortedFrame(RenderSort& sorter, float half) {
  sorter.Reset();
  sorter.CameraRect(512, 384, 1024, 768);
  for (int i = 0; i < 5000; ++i) {
    const int texture = (i * 7) % 20;
    const float x = static_cast<float>((i * 37) % 1000) + 12;
    const float y = static_cast<float>((i * 53) % 740) + 14;
    const float offset = (i % 2) ? 0.0f : 3000.0f;  // every other one culled
    sorter.AddQuad(texture, 0, 0, x + offset, y, half, half, 1, 1, 1, 1,
                   static_cast<float>(i % 360), false);
  }
  sorter.RenderSlow();
}

void BM_RenderSortFrame(benchmark::State& state) {
  if (!OpenContext()) {
    state.SkipWithError("no GL context");
    return;
  }
  const float half = static_cast<float>(state.range(0)) / 2;
  const bool finish = state.range(1) != 0;
  RenderSort sorter;
  sorter.InitMe(&gLibrary, nullptr);
  for (int warm = 0; warm < 3; ++warm) SortedFrame(sorter, half);
  glFinish();
  const long before = gAllocations.load();
  long frames = 0;
  for (auto _ : state) {
    SortedFrame(sorter, half);
    if (finish) glFinish();
    ++frames;
  }
  glFinish();
  state.counters["allocs_per_frame"] =
      static_cast<double>(gAllocations.load() - before) / static_cast<double>(frames);
  state.counters["quads_drawn"] = 2500;
}
// Args: quad size in pixels, whether to wait for the rasteriser (glFinish).
BENCHMARK(BM_RenderSortFrame)
    ->Args({2, 1})
    ->Args({16, 0})
    ->Args({16, 1})
    ->Args({32, 1})
    ->Unit(benchmark::kMillisecond);

void BM_TextScreen(benchmark::State& state) {
  if (!OpenContext()) {
    state.SkipWithError("no GL context");
    return;
  }
  const bool finish = state.range(0) != 0;
  std::string line;
  for (int i = 0; i < 60; ++i) line += static_cast<char>('!' + (i % 90));
  for (int warm = 0; warm < 3; ++warm) PrintText(0, 0, line.c_str());
  glFinish();
  const long before = gAllocations.load();
  long frames = 0;
  for (auto _ : state) {
    for (int row = 0; row < 40; ++row) PrintText(10, 750.0f - 18.0f * row, line.c_str());
    if (finish) glFinish();
    ++frames;
  }
  glFinish();
  state.counters["allocs_per_frame"] =
      static_cast<double>(gAllocations.load() - before) / static_cast<double>(frames);
}
BENCHMARK(BM_TextScreen)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same screen through one display-list call per character, for
// comparison with the single array draw per line that PrintText uses.
void BM_TextScreenDisplayLists(benchmark::State& state) {
  if (!OpenContext()) {
    state.SkipWithError("no GL context");
    return;
  }
  std::string line;
  for (int i = 0; i < 60; ++i) line += static_cast<char>('!' + (i % 90));
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE);
  gLibrary.BindTexture(kFontTexture);
  glListBase(base - 32);
  for (auto _ : state) {
    for (int row = 0; row < 40; ++row) {
      glPushMatrix();
      glTranslatef(10, 18.0f * row, 0);
      glCallLists(60, GL_UNSIGNED_BYTE, line.data());
      glPopMatrix();
    }
    glFinish();
  }
  glDisable(GL_BLEND);
}
BENCHMARK(BM_TextScreenDisplayLists)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
