// Frame-rate measurement against the fake platform's clock.
#include "records/app_state.h"
#include "tests/fake/fake_platform.h"
#include "render/frame.h"
#include "render/frame_sampling.h"
#include "render/scene.h"

#include <gtest/gtest.h>

#include <cstring>

// A meter, then a scene set-up at clock start and frames, the clock moving on by step at each
// reading: the meter after them. A new set-up (an F1 switch) restarts the clock that keys use
// before the first measurement; the meter's frame count and rate carry on.
TEST(Meter, MeasuresEveryHundredFrames) {
  const struct {
    const char* name;
    FrameRateMeter before;
    uint32_t start, step;
    int frames;
    FrameRateMeter after;
  } cases[] = {
      {"hundredth frame only counts", {}, 1000, 2000, 100, {0.0f, 100, 1000, 100}},
      {"first measurement on frame 101", {}, 1000, 2000, 101, {50.0f, 1, 3000, 101}},
      {"timer wraps between readings", {}, 0xFFFFFFF0u, 21, 101, {4761.9048f, 1, 5, 101}},
      {"no elapsed time counts as 1 ms", {}, 4242, 0, 101, {100000.0f, 1, 4242, 101}},
      {"a new set-up restarts only the clock", {250.0f, 52, 1000, 52}, 5000, 0, 2, {250.0f, 54, 5000, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetFakePlatform();
    frameRateMeter = c.before;
    fakePlatform.clock = c.start;
    fakePlatform.clockStep = c.step;
    ASSERT_TRUE(InitScene());
    for (int frame = 0; frame < c.frames; frame++) MeasureFrameRate();
    EXPECT_EQ(0, std::memcmp(&c.after, &frameRateMeter, sizeof frameRateMeter));
  }
}

// The share of a 1M cloud's points a frame draws: all of them unless a drag is under way or the
// wheel turned within 250 ms, and the last whole frame took over 40 ms; then, on the drag's first
// frame, one in the whole frame's time over 40, and after that the last stride scaled by the last
// frame's time over 40.
TEST(Meter, FramesKeepUpWithTheMouse) {
  const struct {
    const char* name;
    uint8_t drag;
    uint32_t wheelTime;  // 0: never turned
    uint32_t now, wholeFrameMs;
    int32_t stride;
    uint32_t lastFrameMs;
    int32_t next;
  } cases[] = {
      {"the mouse at rest", DRAG_NONE, 0, 5000, 4000, 7, 60, 1},
      {"a turn, frames in time", DRAG_TURN, 0, 5000, 40, 1, 40, 1},
      {"a turn, frames just late", DRAG_TURN, 0, 5000, 41, 1, 41, 2},
      {"a move, its frames too slow", DRAG_MOVE, 0, 5000, 500, 13, 60, 20},
      {"the wheel just turned", DRAG_NONE, 4751, 5000, 4000, 1, 4000, 100},
      {"the wheel at rest", DRAG_NONE, 4750, 5000, 4000, 100, 40, 1},
      {"no fewer than one point", DRAG_TURN, 0, 5000, 4000, 900000, 400, 1000000},
  };
  for (const auto& c : cases) {
    ResetFakePlatform();
    pointTable.count = 1000000;
    pointerState.drag = c.drag;
    frameSampling = FrameSampling{c.wholeFrameMs, c.lastFrameMs, c.wheelTime, c.wheelTime != 0, c.stride};
    fakePlatform.clock = c.now;
    ChooseFrameSampling();
    EXPECT_EQ(c.next, frameSampling.stride) << c.name;
  }
}
