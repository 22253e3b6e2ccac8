// Frame time of DrawFrame for clouds of 100k to 10M points, in the viewer's real window, and of
// the frames a drag draws (every stride-th point, the stride chosen from a whole frame's time as
// the viewer chooses it), against two references drawn in the same rounds: the bare points (one glDrawArrays from
// a client-side vertex array, nothing else in the frame) and the frame as the viewer drew
// it before, three immediate-mode vertices a record. The three kinds take turns within each
// round, each round starting with another, so a busy machine slows them alike; the medians
// of the times and of each round's ratios are printed.
// Usage: frame-bench [ROUNDS] [MAX_POINTS]  (needs a display; see tools/with-display.sh)
#include "records/app_state.h"
#include "records/texts.h"
#include "records/window_size.h"
#include "bench/bench_clock.h"
#include "bench/immediate_frame.h"
#include "platform/platform_api.h"
#include "window/viewer_window.h"
#include "render/frame.h"
#include "render/frame_sampling.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const int32_t kSizes[] = {100000, 1000000, 10000000};

// Fills the cloud with points spread over a ball of radius 3, as the bundled sphere is.
std::vector<PointRecord> MakeCloud(int32_t count) {
  std::vector<PointRecord> cloud(static_cast<size_t>(count));
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
  return cloud;
}

// The bare points: cleared buffers, the cloud's transform, one glDrawArrays.
void DrawBarePoints() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glTranslatef(-0.2f, -2.7f, -22.5f);
  glDisableClientState(GL_COLOR_ARRAY);
  glColor3f(0.0f, 1.0f, 1.0f);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(PointRecord), pointTable.records);
  glDrawArrays(GL_POINTS, 0, pointTable.count);
}

// DrawFrame as during a drag: every frameSampling.stride-th point.
void DrawDragFrame() {
  DrawFrame();
}

// Milliseconds one frame of the given kind takes, finished.
double TimeFrame(void (*draw)()) {
  viewState = ViewState{};
  const auto start = std::chrono::steady_clock::now();
  draw();
  glFinish();
  return MillisecondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  const int32_t maxPoints = argc > 2 ? std::atoi(argv[2]) : kSizes[2];
  if (rounds < 1 || !CreateViewerWindow(VIEWER_TITLE, WINDOW_WIDTH, WINDOW_HEIGHT, COLOUR_BITS, false)) {
    std::fprintf(stderr, "usage: frame-bench [ROUNDS] [MAX_POINTS] (needs a display)\n");
    return 1;
  }
  std::printf("GL_RENDERER: %s\nrounds: %d\n\n%10s %12s %12s %14s %10s %12s %8s %10s %10s\n",
              reinterpret_cast<const char*>(glGetString(GL_RENDERER)), rounds, "points",
              "bare ms", "DrawFrame ms", "immediate ms", "DF/bare", "immediate/DF", "stride", "drag ms",
              "drag fps");
  loadedFileInfo.fileName = "bench";
  for (int32_t size : kSizes) {
    if (size > maxPoints) break;
    std::vector<PointRecord> cloud = MakeCloud(size);
    pointTable.records = cloud.data();
    pointTable.count = size;
    loadedFileInfo.vertexCounter = static_cast<float>(size);
    void (*const kinds[4])() = {DrawBarePoints, DrawFrame, DrawImmediateFrame, DrawDragFrame};
    std::vector<double> times[4], overBare, overDrawn;
    TimeFrame(DrawFrame);  // the first frame of a size sets up the driver's buffers
    // The drag's first stride, then one more step, as the viewer takes them.
    const uint32_t whole = static_cast<uint32_t>(TimeFrame(DrawFrame));
    int32_t stride = ChoosePointStride(true, whole, 1, whole, size);
    frameSampling.stride = stride;
    stride = ChoosePointStride(true, whole, stride, static_cast<uint32_t>(TimeFrame(DrawDragFrame)), size);
    for (int round = 0; round < rounds; round++) {
      double t[4];
      // Each round starts with another kind, so none always follows the swap.
      for (int k = 0; k < 4; k++) {
        const int kind = (k + round) % 4;
        frameSampling.stride = kind == 3 ? stride : 1;
        t[kind] = TimeFrame(kinds[kind]);
        times[kind].push_back(t[kind]);
      }
      frameSampling.stride = 1;
      SwapBuffers(windowContext.deviceContext);  // as the viewer does; none of the timings
      glFinish();                                // takes the swap on
      overBare.push_back(t[1] / t[0]);
      overDrawn.push_back(t[2] / t[1]);
    }
    std::printf("%10d %12.1f %12.1f %14.1f %10.2f %12.2f %8d %10.1f %10.1f\n", size, Median(times[0]),
                Median(times[1]), Median(times[2]), Median(overBare), Median(overDrawn), static_cast<int>(stride),
                Median(times[3]), 1000.0 / Median(times[3]));
    std::fflush(stdout);
  }
  pointTable = PointTable{};
  DestroyViewerWindow();
  return 0;
}
