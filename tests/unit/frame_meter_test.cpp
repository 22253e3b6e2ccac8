// Frame-rate measurement against the fake platform's clock.
#include "app/app_state.h"
#include "controls/view_controls.h"
#include "platform/fake/fake_platform.h"
#include "render/frame.h"
#include "render/scene.h"

#include <gtest/gtest.h>

// Frames after a scene set-up at clock start, the clock moving on by step at each reading:
// the rate, counter and last measurement time.
TEST(Meter, MeasuresEveryHundredFrames) {
  const struct {
    const char* name;
    uint32_t start, step;
    int frames;
    float rate;
    int32_t counter;
    uint32_t last;
  } cases[] = {
      {"hundredth frame only counts", 1000, 2000, 100, 0.0f, 100, 1000},
      {"first measurement on frame 101", 1000, 2000, 101, 50.0f, 1, 3000},
      {"second one on frame 201", 1000, 2000, 201, 50.0f, 1, 5000},
      {"fractional rate", 7, 3, 101, 33333.332f, 1, 10},
      {"timer wraps between readings", 0xFFFFFFF0u, 21, 101, 4761.9048f, 1, 5},
      {"no elapsed time counts as 1 ms", 4242, 0, 101, 100000.0f, 1, 4242},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetFakePlatform();
    fakePlatform.clock = c.start;
    fakePlatform.clockStep = c.step;
    ASSERT_TRUE(InitScene());
    for (int frame = 0; frame < c.frames; frame++) MeasureFrameRate();
    EXPECT_FLOAT_EQ(c.rate, frameRateMeter.rate);
    EXPECT_EQ(c.counter, frameRateMeter.frameCounter);
    EXPECT_EQ(c.last, frameRateMeter.lastMeasurementTime);
  }
}

// A new scene set-up (display-mode switch) restarts the clock and the provisional count that
// keys use before the first measurement; the meter's frame count and rate carry on.
TEST(Meter, NewSceneRestartsOnlyTheClock) {
  ResetFakePlatform();
  fakePlatform.clock = 1000;
  ASSERT_TRUE(InitScene());
  for (int frame = 0; frame < 50; frame++) MeasureFrameRate();
  fakePlatform.clock = 5000;
  ASSERT_TRUE(InitScene());
  MeasureFrameRate();
  MeasureFrameRate();
  fakePlatform.clock = 5100;
  keyTable.down[VK_RIGHT] = 1;
  ApplyViewControls();
  EXPECT_EQ(0.0499999970f, viewState.speedY);  // 2 frames in 100 ms
  EXPECT_EQ(52, frameRateMeter.frameCounter);
  // Frame 101 measures 100 frames over the time since the switch; a later switch keeps the rate.
  fakePlatform.clock = 5400;
  for (int frame = 0; frame < 49; frame++) MeasureFrameRate();
  EXPECT_FLOAT_EQ(250.0f, frameRateMeter.rate);
  EXPECT_EQ(1, frameRateMeter.frameCounter);
  fakePlatform.clock = 9000;
  ASSERT_TRUE(InitScene());
  EXPECT_FLOAT_EQ(250.0f, frameRateMeter.rate);
  EXPECT_EQ(9000u, frameRateMeter.lastMeasurementTime);
}
