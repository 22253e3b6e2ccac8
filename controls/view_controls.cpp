// Keyboard view controls: held keys change speeds, position and point size every frame.
#include "controls/view_controls.h"

#include "app/app_state.h"
#include "platform/platform_api.h"

// The single-precision step factors, widened as the arithmetic needs them.
static const double kStepFactor = static_cast<double>(0.01f);
static const double kShiftMultiplier = static_cast<double>(0.05f);

// Adds delta to a stored float in double precision and stores the result back as a float.
static void AddStep(float& field, double delta) {
  field = static_cast<float>(static_cast<double>(field) + delta);
}

// True while the key with this virtual-key code is held.
static bool KeyDown(int virtualKey) { return keyTable.down[virtualKey] != 0; }

// Point size chosen by the held digit keys (the last of 1..9, 0 wins), or 0 for none.
int SelectedPointSize() {
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

// R: stop turning and put the cloud at the reset position; the angles stay.
static void ApplyResetKey() {
  if (!KeyDown('R')) return;
  viewState.speedX = 0.0f;
  viewState.speedY = 0.0f;
  viewState.speedZ = 0.0f;
  viewState.positionX = 0.0f;
  viewState.positionY = 0.0f;
  viewState.positionZ = -15.0f;
}

// Sets the point size asked for by the held digit keys, if any.
static void ApplyPointSizeKeys() {
  const int size = SelectedPointSize();
  if (size != 0) glPointSize(static_cast<GLfloat>(size));
}

// Changes speeds, position and point size from the held keys, scaled by the measured rate.
// Until the first rate is measured (rate 0) the steps would divide by zero, so every key,
// digits included, is left without effect until then.
void ApplyViewControls() {
  const float rate = frameRateMeter.rate;
  if (rate == 0.0f) return;
  const double multiplier = KeyDown(VK_SHIFT) ? kShiftMultiplier : 1.0;
  const double rotationStep = (100.0 / static_cast<double>(rate)) * kStepFactor * multiplier;
  const double positionStep = (1000.0 / static_cast<double>(rate)) * kStepFactor;
  ApplySpeedKeys(rotationStep);
  ApplyMovementKeys(positionStep);
  ApplyResetKey();
  ApplyPointSizeKeys();
}
