// Keyboard view controls: held keys change speeds, position and point size every frame.
#include "controls/view_controls.h"

#include "records/app_state.h"
#include "platform/platform_api.h"

#include <cassert>

// The single-precision step factors, widened as the arithmetic needs them.
static const double STEP_FACTOR = static_cast<double>(0.01f);
static const double SHIFT_MULTIPLIER = static_cast<double>(0.05f);

// In double precision, stored back as a float.
void AddStep(float& field, double delta) {
  field = static_cast<float>(static_cast<double>(field) + delta);
}

// All three speeds to 0; the angles stay.
void StopTurning() {
  viewState.speedX = 0.0f;
  viewState.speedY = 0.0f;
  viewState.speedZ = 0.0f;
}

// True while the key is held, and for the one frame after a key-down message of it.
bool KeyDown(int virtualKey) {
  assert(virtualKey >= 0 && virtualKey < VIRTUAL_KEY_COUNT);
  return (keyTable.down[virtualKey] | keyTable.pressed[virtualKey]) != 0;
}

// Set by a key-down message that was not an auto-repeat, since the last frame.
bool KeyPressed(int virtualKey) {
  assert(virtualKey >= 0 && virtualKey < VIRTUAL_KEY_COUNT);
  return keyTable.pressed[virtualKey] != 0;
}

// Ends the frame's hold on the keys pressed since the frame before.
void ForgetKeyPresses() {
  for (uint8_t& flag : keyTable.pressed) flag = 0;
}

// The rate the steps are scaled by: the measured one, or before the first measurement the
// frames drawn since the scene was set up over the time since then. At least one frame and
// one millisecond count, so the rate is finite and above 0 from the first frame on.
static double StepRate() {
  if (frameRateMeter.rate > 0.0f) return static_cast<double>(frameRateMeter.rate);
  const uint32_t elapsed = timeGetTime() - frameRateMeter.lastMeasurementTime;
  const int32_t frames = frameRateMeter.framesSinceSetUp;
  return (frames > 0 ? frames : 1) / static_cast<double>(elapsed > 0 ? elapsed : 1) * 1000.0;
}

// Point size chosen by the held digit keys (the last of 1..9, 0 wins), or 0 for none.
static int SelectedPointSize() {
  int size = 0;
  for (int digit = 1; digit <= 9; ++digit) {
    if (KeyDown('0' + digit)) size = digit;
  }
  if (KeyDown('0')) size = 10;
  return size;
}

// Applies the rotation-speed keys with step s.
static void ApplySpeedKeys(double s) {
  if (KeyDown(VK_PRIOR)) AddStep(viewState.speedZ, s);
  if (KeyDown(VK_NEXT)) AddStep(viewState.speedZ, -s);
  if (KeyDown(VK_DOWN)) AddStep(viewState.speedX, s);
  if (KeyDown(VK_UP)) AddStep(viewState.speedX, -s);
  if (KeyDown(VK_RIGHT)) AddStep(viewState.speedY, s);
  if (KeyDown(VK_LEFT)) AddStep(viewState.speedY, -s);
}

// Applies the movement keys with step p.
static void ApplyMovementKeys(double p) {
  if (KeyDown('Q')) AddStep(viewState.positionZ, -p);
  if (KeyDown('Z')) AddStep(viewState.positionZ, p);
  if (KeyDown('W')) AddStep(viewState.positionY, p);
  if (KeyDown('S')) AddStep(viewState.positionY, -p);
  if (KeyDown('D')) AddStep(viewState.positionX, p);
  if (KeyDown('A')) AddStep(viewState.positionX, -p);
}

// Stops turning and puts the cloud at the reset position; the angles stay.
void ResetView() {
  StopTurning();
  viewState.positionX = 0.0f;
  viewState.positionY = 0.0f;
  viewState.positionZ = HOME_POSITION_Z;
}

// R: the reset.
static void ApplyResetKey() {
  if (KeyDown('R')) ResetView();
}

// Space: stop turning; nothing moves.
static void ApplyStopKey() {
  if (KeyDown(VK_SPACE)) StopTurning();
}

// F switches the framing, C the height colours, once per press.
static void ApplySwitchKeys() {
  if (KeyPressed('F')) framingState.framed = framingState.framed ? 0 : 1;
  if (KeyPressed('C')) heightColours.on = heightColours.on ? 0 : 1;
}

// Sets the point size asked for by the held digit keys, if any.
static void ApplyPointSizeKeys() {
  const int size = SelectedPointSize();
  if (size != 0) glPointSize(static_cast<GLfloat>(size));
}

// Changes speeds, position and point size from the held keys, scaled by the frame rate, and
// flips the switches pressed.
void ApplyViewControls() {
  const double rate = StepRate();
  const double multiplier = KeyDown(VK_SHIFT) ? SHIFT_MULTIPLIER : 1.0;
  const double rotationStep = (100.0 / rate) * STEP_FACTOR * multiplier;
  const double positionStep = (1000.0 / rate) * STEP_FACTOR;
  ApplySpeedKeys(rotationStep);
  ApplyStopKey();
  ApplyMovementKeys(positionStep);
  ApplyResetKey();
  ApplyPointSizeKeys();
  ApplySwitchKeys();
}
