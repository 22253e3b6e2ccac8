// Frame time of DrawFrame for clouds of 10k to 10M points, against the same points sent
// in one glDrawArrays call from a client-side vertex array, in the viewer's real window.
// Usage: frame-bench [google-benchmark flags]  (needs a display; DISPLAY=:92 under Xvfb)
#include "app/app_state.h"
#include "platform/platform_api.h"
#include "platform/viewer_window.h"
#include "render/frame.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const int64_t kSizes[] = {10000, 100000, 1000000, 10000000};
const int kSizeCount = 4;

std::vector<PointRecord> cloud;  // the largest cloud; smaller runs use its first records

// Seconds per frame of the last run of each kind and size (0 until measured).
double viewerSeconds[kSizeCount] = {};
double referenceSeconds[kSizeCount] = {};

// Index of a size in kSizes.
int SizeIndex(int64_t count) {
  for (int i = 0; i < kSizeCount; i++) {
    if (kSizes[i] == count) return i;
  }
  return 0;
}

// Fills the cloud with points spread over a ball of radius 3, as the bundled sphere is.
void MakeCloud(int64_t count) {
  cloud.resize(static_cast<size_t>(count));
  uint32_t seed = 12345;
  for (PointRecord& p : cloud) {
    float v[3];
    float length2 = 0.0f;
    do {
      length2 = 0.0f;
      for (float& c : v) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<float>(seed >> 8) / 16777216.0f * 2.0f - 1.0f;
        length2 += c * c;
      }
    } while (length2 > 1.0f);
    p = PointRecord{v[0] * 3.0f, v[1] * 3.0f, v[2] * 3.0f};
  }
}

// Delivers whatever the window has queued.
void PumpMessages() {
  MSG msg = {};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// The viewer's frame: DrawFrame and glFinish, the points in immediate mode.
void BM_DrawFrame(benchmark::State& state) {
  const int64_t count = state.range(0);
  pointTable.count = static_cast<int32_t>(count);
  pointTable.records = cloud.data();
  viewState = ViewState{};
  PumpMessages();
  auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    DrawFrame();
    glFinish();
  }
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  viewerSeconds[SizeIndex(count)] = seconds / static_cast<double>(state.iterations());
  state.counters["points/s"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate);
  pointTable = PointTable{};
}

// The reference: same transform, the points once each in cyan from a vertex array.
void BM_VertexArray(benchmark::State& state) {
  const int64_t count = state.range(0);
  PumpMessages();
  auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(-0.2f, -2.7f, -22.5f);
    glColor3f(0.0f, 1.0f, 1.0f);
    // DrawFrame's glInterleavedArrays leaves the colour array on, pointing at the axes.
    glDisableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(PointRecord), cloud.data());
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(count));
    glDisableClientState(GL_VERTEX_ARRAY);
    glFinish();
  }
  auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  referenceSeconds[SizeIndex(count)] = seconds / static_cast<double>(state.iterations());
  state.counters["points/s"] =
      benchmark::Counter(static_cast<double>(count), benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_DrawFrame)->Arg(10000)->Arg(100000)->Arg(1000000)->Arg(10000000)
    ->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_VertexArray)->Arg(10000)->Arg(100000)->Arg(1000000)->Arg(10000000)
    ->Unit(benchmark::kMillisecond)->MinTime(0.5);

// Prints the per-size ratio of the viewer's frame to the reference, and the growth per size.
void PrintRatios() {
  std::printf("\n%10s %14s %14s %8s %16s %12s\n", "points", "DrawFrame ms", "array ms", "ratio",
              "ns/point (view)", "growth x10");
  for (int i = 0; i < kSizeCount; i++) {
    if (viewerSeconds[i] <= 0.0 || referenceSeconds[i] <= 0.0) continue;
    double growth = (i > 0 && viewerSeconds[i - 1] > 0.0) ? viewerSeconds[i] / viewerSeconds[i - 1]
                                                          : 0.0;
    std::printf("%10lld %14.3f %14.3f %8.2f %16.2f %12.2f\n", static_cast<long long>(kSizes[i]),
                viewerSeconds[i] * 1e3, referenceSeconds[i] * 1e3,
                viewerSeconds[i] / referenceSeconds[i],
                viewerSeconds[i] * 1e9 / static_cast<double>(kSizes[i]), growth);
  }
}

}  // namespace

// Opens the viewer's window, builds the cloud and runs the benchmarks; then the ratios.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!CreateViewerWindow("Quillmere OpenGL by KALMO", 800, 600, 32, false)) {
    std::fprintf(stderr, "frame-bench: no window (is DISPLAY set?)\n");
    return 1;
  }
  loadedFileInfo.fileName = "bench";
  loadedFileInfo.vertexCounter = 0.0f;
  MakeCloud(kSizes[kSizeCount - 1]);
  std::printf("GL_RENDERER: %s\nGL_VERSION: %s\n",
              reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
              reinterpret_cast<const char*>(glGetString(GL_VERSION)));
  benchmark::RunSpecifiedBenchmarks();
  PrintRatios();
  benchmark::Shutdown();
  DestroyViewerWindow();
  return 0;
}
