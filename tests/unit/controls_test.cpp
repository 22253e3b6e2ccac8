// The keyboard controls: each key's effect, Shift, reset, the rate before the first measurement.
#include "records/app_state.h"
#include "controls/view_controls.h"
#include "tests/fake/fake_platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// Each key moves exactly its own field by one step at 37 frames a second, from speed X 0.5 and
// the start position, without and with Shift (which scales only the rotation step).
TEST(ViewControls, EachKeyMovesItsField) {
  const struct {
    int key;
    float ViewState::*field;
    float plain, shifted;
  } cases[] = {
      {VK_PRIOR, &ViewState::speedZ, 0.0270270258f, 0.00135135138f},
      {VK_NEXT, &ViewState::speedZ, -0.0270270258f, -0.00135135138f},
      {VK_DOWN, &ViewState::speedX, 0.527027011f, 0.501351357f},
      {VK_UP, &ViewState::speedX, 0.472972959f, 0.498648643f},
      {VK_RIGHT, &ViewState::speedY, 0.0270270258f, 0.00135135138f},
      {VK_LEFT, &ViewState::speedY, -0.0270270258f, -0.00135135138f},
      {'Q', &ViewState::positionZ, -15.2702703f, -15.2702703f},
      {'Z', &ViewState::positionZ, -14.7297297f, -14.7297297f},
      {'W', &ViewState::positionY, 0.270270258f, 0.270270258f},
      {'S', &ViewState::positionY, -0.270270258f, -0.270270258f},
      {'D', &ViewState::positionX, -2.72972965f, -2.72972965f},
      {'A', &ViewState::positionX, -3.27027035f, -3.27027035f},
  };
  for (bool shift : {false, true}) {
    for (const auto& c : cases) {
      ResetFakePlatform();
      frameRateMeter.rate = 37.0f;
      viewState.speedX = 0.5f;
      keyTable.down[c.key] = 1;
      keyTable.down[VK_SHIFT] = shift;
      ViewState expected = viewState;
      expected.*c.field = shift ? c.shifted : c.plain;
      ApplyViewControls();
      EXPECT_EQ(0, std::memcmp(&expected, &viewState, sizeof expected)) << "key " << c.key << " shift " << shift;
    }
  }
}

// Before the first measurement the steps use the frames since the scene set-up over the time
// since then, at least one frame over one millisecond: the view after one call with the keys
// held. R runs after movement in the same call: speeds 0, position (0, 0, -15) (x not back at
// its start value), the angles as they were.
TEST(ViewControls, BeforeTheFirstMeasurement) {
  const struct {
    const char* name;
    uint32_t setUp;   // clock at the scene set-up
    int32_t frames;   // frames drawn since then
    uint32_t now;     // clock when the keys are applied
    std::vector<int> keys;
    ViewState view;
    ViewState before = {};
  } cases[] = {
      {"40 frames a second", 1000, 20, 1500, {VK_RIGHT, 'Q'}, {-3, 0, -15.25f, 0, 0, 0, 0, 0.0249999985f, 0}},
      {"before any frame", 1000, 0, 1000, {VK_RIGHT, 'Q'}, {-3, 0, -15.0100002f, 0, 0, 0, 0, 0.000999999931f, 0}},
      {"timer wrapped since then", 0xFFFFFFC0u, 2, 36, {VK_RIGHT, 'Q'}, {-3, 0, -15.5f, 0, 0, 0, 0, 0.0499999970f, 0}},
      {"R last", 0, 0, 0, {VK_RIGHT, 'D', 'W', 'R'}, {0, 0, -15, 0, 33, 0, 0, 0, 0}, {-3, 0, -15, 0, 33, 0, 2, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetFakePlatform();
    frameRateMeter.lastMeasurementTime = c.setUp;
    frameRateMeter.framesSinceSetUp = c.frames;
    fakePlatform.clock = c.now;
    viewState = c.before;
    for (int key : c.keys) keyTable.down[key] = 1;
    ApplyViewControls();
    EXPECT_EQ(0, std::memcmp(&c.view, &viewState, sizeof viewState));
  }
}

}  // namespace
