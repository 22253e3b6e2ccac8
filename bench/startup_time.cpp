// startup-time FILE [RUNS]: how long the viewer takes from the start of loading FILE to its
// first frame on screen, split into loading, opening the window and drawing the first
// frame (swapped and finished). Runs the viewer's own start-up steps RUNS times (default 3)
// in one process and prints each run: the first is the cold start a user sees (the
// platform's video and GL set-up included), the later ones show what stays.
#include "records/app_state.h"
#include "records/texts.h"
#include "records/window_size.h"
#include "platform/platform_api.h"
#include "window/viewer_window.h"
#include "pointdata/point_file.h"
#include "render/frame.h"
#include "window/message_pump.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds between two instants.
double Milliseconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// The three shares of one start-up, in milliseconds.
struct StartupTimes {
  double load;
  double window;
  double frame;
  int32_t points;
};

// One start-up: load, open the window, draw and show the first frame; then tear down.
bool MeasureStartup(const char* name, StartupTimes& times) {
  const Clock::time_point start = Clock::now();
  LoadPointFile(name);
  const Clock::time_point loaded = Clock::now();
  if (!CreateViewerWindow(VIEWER_TITLE, WINDOW_WIDTH, WINDOW_HEIGHT, COLOUR_BITS, false)) {
    ReleasePointTable();
    return false;
  }
  const Clock::time_point opened = Clock::now();
  PumpMessages();
  DrawFrame();
  SwapBuffers(windowContext.deviceContext);
  glFinish();
  const Clock::time_point shown = Clock::now();
  times = {Milliseconds(start, loaded), Milliseconds(loaded, opened), Milliseconds(opened, shown),
           pointTable.count};
  DestroyViewerWindow();
  ReleasePointTable();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: startup-time FILE [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  for (int run = 1; run <= runs; run++) {
    StartupTimes times;
    if (!MeasureStartup(argv[1], times)) return 1;
    const double total = times.load + times.window + times.frame;
    std::printf("run %d: %d points: load %.1f ms, window %.1f ms, first frame %.1f ms, total %.1f ms\n",
                run, static_cast<int>(times.points), times.load, times.window, times.frame, total);
  }
  return 0;
}
