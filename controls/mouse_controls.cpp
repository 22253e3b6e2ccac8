// The mouse's view controls (see mouse_controls.h).
#include "controls/mouse_controls.h"

#include "controls/view_controls.h"
#include "records/app_state.h"
#include "render/frame.h"
#include "render/framing.h"
#include "render/scene.h"

#include <algorithm>
#include <cmath>

namespace {

// Scene units per client pixel at the cloud's depth (a cloud at or behind the eye is taken at
// the near plane), so that a point there follows the pointer.
double UnitsPerPixel() {
  const double depth = std::max(CloudDepth(), static_cast<double>(NEAR_PLANE));
  return 2.0 * HalfHeightSlope() * depth / std::max(pointerState.clientHeight, 1);
}

}  // namespace

// The spin stops whatever the button; the drag starts at the pointer.
void PressMouseButton(uint8_t drag, int x, int y) {
  StopTurning();
  pointerState.drag = drag;
  pointerState.lastX = x;
  pointerState.lastY = y;
}

// The left button turns; the right and the middle move.
bool DragHeld(WPARAM buttons) {
  switch (pointerState.drag) {
    case DRAG_TURN: return (buttons & MK_LBUTTON) != 0;
    case DRAG_MOVE: return (buttons & (MK_RBUTTON | MK_MBUTTON)) != 0;
    default: return false;
  }
}

// Nothing drags until the next press.
void EndDrag() { pointerState.drag = DRAG_NONE; }

// Right on the screen turns the near side right (about Y), down turns it down (about X);
// moving follows the pointer, whose y grows downwards.
void DragPointerTo(int x, int y) {
  const int dx = x - pointerState.lastX;
  const int dy = y - pointerState.lastY;
  pointerState.lastX = x;
  pointerState.lastY = y;
  if (pointerState.drag == DRAG_TURN) {
    AddStep(viewState.angleY, dx * TURN_DEGREES_PER_PIXEL);
    AddStep(viewState.angleX, dy * TURN_DEGREES_PER_PIXEL);
  } else if (pointerState.drag == DRAG_MOVE) {
    const double units = UnitsPerPixel();
    AddStep(viewState.positionX, dx * units);
    AddStep(viewState.positionY, -dy * units);
  }
}

// The distance shrinks or grows by a factor per notch, so a notch forward and one back cancel
// and a far cloud comes near in a few notches. A cloud at or behind the eye is taken at the
// near plane, so the wheel always brings it in front.
void TurnWheel(int delta) {
  frameSampling.wheelTime = timeGetTime();
  frameSampling.wheelTurned = 1;
  const double notches = delta / static_cast<double>(WHEEL_DELTA);
  const double depth = std::max(CloudDepth(), static_cast<double>(NEAR_PLANE));
  const double nearer = std::min(depth * std::pow(1.0 - WHEEL_NOTCH_SHARE, notches),
                                 std::max(depth, WHEEL_FARTHEST));
  viewState.positionZ = static_cast<float>(-OverlayTranslation().z - nearer);
}
