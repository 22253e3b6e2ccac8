// What framing and the height colours cost: the cloud's robust bounds measured at load, and
// DrawFrame's time framed (the whole cloud in view), in cyan and in the height colours, for
// clouds of 1M and 10M points (a terrain: x and y over 0..100, z around 12), in the viewer's
// real window. Medians of ROUNDS runs, the two frame kinds taking turns within each round.
// Usage: view-bench [ROUNDS]  (needs a display; see tools/with-display.sh)
#include "bench/bench_clock.h"
#include "pointdata/cloud_bounds.h"
#include "records/app_state.h"
#include "records/texts.h"
#include "records/window_size.h"
#include "render/frame.h"
#include "render/framing.h"
#include "window/viewer_window.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// A square terrain of count points, rows of evenly spaced points with a gentle relief.
std::vector<PointRecord> MakeTerrain(int32_t count) {
  const int32_t side = static_cast<int32_t>(std::sqrt(static_cast<double>(count)));
  std::vector<PointRecord> cloud(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; i++) {
    const float x = 100.0f * (i / side) / side, y = 100.0f * (i % side) / side;
    cloud[i] = {x, y, 12.0f + 6.0f * (x - 50.0f) / 50.0f + 2.0f * std::sin(x / 7.0f) * std::cos(y / 9.0f)};
  }
  return cloud;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  if (rounds < 1 || !CreateViewerWindow(VIEWER_TITLE, WINDOW_WIDTH, WINDOW_HEIGHT, COLOUR_BITS, false)) {
    std::fprintf(stderr, "usage: view-bench [ROUNDS] (needs a display)\n");
    return 1;
  }
  std::printf("%10s %10s %10s %11s %15s\n", "points", "bounds ms", "cyan ms", "colours ms", "colours/cyan");
  loadedFileInfo.fileName = "bench";
  for (int32_t size : {1000000, 10000000}) {
    std::vector<PointRecord> cloud = MakeTerrain(size);
    pointTable = {size, cloud.data()};
    std::vector<double> bounds, frames[2], ratios;
    MeasureCloudBounds();
    ChooseFraming();
    DrawFrame();  // the first frame of a size sets up the driver's buffers
    for (int round = 0; round < rounds; round++) {
      const auto start = std::chrono::steady_clock::now();
      MeasureCloudBounds();
      bounds.push_back(MillisecondsSince(start));
      for (int k = 0; k < 2; k++) {
        const int kind = (k + round) % 2;
        viewState = ViewState{};
        heightColours.on = kind == 1;
        const auto frameStart = std::chrono::steady_clock::now();
        DrawFrame();
        glFinish();
        frames[kind].push_back(MillisecondsSince(frameStart));
      }
      ratios.push_back(frames[1].back() / frames[0].back());
    }
    std::printf("%10d %10.2f %10.1f %11.1f %15.2f\n", size, Median(bounds), Median(frames[0]),
                Median(frames[1]), Median(ratios));
    std::fflush(stdout);
  }
  pointTable = PointTable{};
  DestroyViewerWindow();
  return 0;
}
