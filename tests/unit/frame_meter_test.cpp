// Frame-rate measurement and the per-frame angle advance, against the fake platform's clock.
#include "app/app_state.h"
#include "platform/fake/fake_platform.h"
#include "render/frame.h"
#include "render/scene.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// One run of frames after a scene set-up, and what the meter must hold afterwards.
struct MeterCase {
  const char* name;
  uint32_t start;        // clock at InitScene
  uint32_t step;         // clock advance between two readings
  int frames;            // MeasureFrameRate calls after InitScene
  int measurements;      // readings of the clock by the measurement
  float rate;            // expected rate afterwards
  int32_t counter;       // expected frame counter afterwards
  uint32_t last;         // expected last measurement time afterwards
};

const MeterCase kMeterCases[] = {
    {"no frame yet", 1000, 2000, 0, 0, 0.0f, 0, 1000},
    {"one frame", 1000, 2000, 1, 0, 0.0f, 1, 1000},
    {"hundredth frame only counts", 1000, 2000, 100, 0, 0.0f, 100, 1000},
    {"first measurement on frame 101", 1000, 2000, 101, 1, 50.0f, 1, 3000},
    {"no second one on frame 200", 1000, 2000, 200, 1, 50.0f, 100, 3000},
    {"second one on frame 201", 1000, 2000, 201, 2, 50.0f, 1, 5000},
    {"third one on frame 301", 1000, 500, 301, 3, 200.0f, 1, 2500},
    {"fractional rate", 7, 3, 101, 1, 33333.332f, 1, 10},
    {"timer wraps between readings", 0xFFFFFFF0u, 21, 101, 1, 4761.9048f, 1, 5},
    {"timer wraps exactly to zero", 0xFFFFFF9Cu, 100, 101, 1, 1000.0f, 1, 0},
    {"no elapsed time counts as 1 ms", 4242, 0, 101, 1, 100000.0f, 1, 4242},
    {"no elapsed time twice", 4242, 0, 201, 2, 100000.0f, 1, 4242},
};

}  // namespace

// Runs each case's frames and checks rate, counter, clock readings and last time.
TEST(Meter, MeasuresEveryHundredFrames) {
  for (const MeterCase& c : kMeterCases) {
    SCOPED_TRACE(c.name);
    ResetFakePlatform();
    fakePlatform.clock = c.start;
    fakePlatform.clockStep = c.step;
    ASSERT_TRUE(InitScene());
    EXPECT_EQ(c.start, frameRateMeter.lastMeasurementTime);
    EXPECT_EQ(1, FakeCallCount("timeGetTime"));

    for (int frame = 0; frame < c.frames; frame++) MeasureFrameRate();

    EXPECT_EQ(1 + c.measurements, FakeCallCount("timeGetTime"));
    EXPECT_FLOAT_EQ(c.rate, frameRateMeter.rate);
    EXPECT_EQ(c.counter, frameRateMeter.frameCounter);
    EXPECT_EQ(c.last, frameRateMeter.lastMeasurementTime);
  }
}

// A new scene set-up (display-mode switch) restarts only the clock.
TEST(MeterCarry, CounterAndRateSurviveNewScene) {
  ResetFakePlatform();
  fakePlatform.clock = 1000;
  ASSERT_TRUE(InitScene());
  fakePlatform.clock = 1400;
  for (int frame = 0; frame < 150; frame++) MeasureFrameRate();
  ASSERT_FLOAT_EQ(250.0f, frameRateMeter.rate);
  ASSERT_EQ(50, frameRateMeter.frameCounter);

  fakePlatform.clock = 9000;
  ASSERT_TRUE(InitScene());
  EXPECT_EQ(9000u, frameRateMeter.lastMeasurementTime);
  EXPECT_EQ(50, frameRateMeter.frameCounter);
  EXPECT_FLOAT_EQ(250.0f, frameRateMeter.rate);

  // 50 more frames reach 100; the 51st measures 100 frames over the time since 9000.
  fakePlatform.clock = 9250;
  for (int frame = 0; frame < 50; frame++) MeasureFrameRate();
  EXPECT_EQ(100, frameRateMeter.frameCounter);
  EXPECT_FLOAT_EQ(250.0f, frameRateMeter.rate);
  MeasureFrameRate();
  EXPECT_FLOAT_EQ(400.0f, frameRateMeter.rate);
  EXPECT_EQ(1, frameRateMeter.frameCounter);
  EXPECT_EQ(9250u, frameRateMeter.lastMeasurementTime);
}

// The scene set-up reads the clock after the glyphs are built, and only once.
TEST(MeterCarry, SceneSetUpReadsClockAfterFont) {
  ResetFakePlatform();
  fakePlatform.clock = 77;
  ASSERT_TRUE(InitScene());
  EXPECT_EQ(1, FakeCallCount("timeGetTime"));
  EXPECT_LT(FakeCallIndex("wglUseFontBitmapsA"), FakeCallIndex("timeGetTime"));
  EXPECT_EQ(0, frameRateMeter.frameCounter);
  EXPECT_EQ(0.0f, frameRateMeter.rate);
}

namespace {

// One view state before the frames, and the angles they must leave.
struct AdvanceCase {
  const char* name;
  ViewState view;  // position, angles, speeds
  int frames;
  float expected[3];
};

const AdvanceCase kAdvanceCases[] = {
    {"still", {-3, 0, -15, 0, 0, 0, 0, 0, 0}, 5, {0, 0, 0}},
    {"each axis its own speed", {-3, 0, -15, 0, 0, 0, 1.0f, -0.5f, 0.25f}, 4, {4.0f, -2.0f, 1.0f}},
    {"no wrapping past 360", {-3, 0, -15, 359.0f, -359.0f, 0, 2.0f, -2.0f, 0}, 1, {361.0f, -361.0f, 0}},
};

}  // namespace

// DrawFrame advances the angles by the speeds once per frame and measures once per frame.
TEST(FrameAdvance, AnglesGrowBySpeedEachFrame) {
  for (const AdvanceCase& c : kAdvanceCases) {
    SCOPED_TRACE(c.name);
    ResetFakePlatform();
    viewState = c.view;
    for (int frame = 0; frame < c.frames; frame++) DrawFrame();
    EXPECT_FLOAT_EQ(c.expected[0], viewState.angleX);
    EXPECT_FLOAT_EQ(c.expected[1], viewState.angleY);
    EXPECT_FLOAT_EQ(c.expected[2], viewState.angleZ);
    EXPECT_FLOAT_EQ(c.view.speedX, viewState.speedX);
    EXPECT_EQ(c.frames, frameRateMeter.frameCounter);
  }
}

