// The mouse: a left drag turns the cloud, a right or middle drag moves it with the pointer,
// the wheel brings it nearer or farther, and any button pressed stops the spin. Each acts as
// its message comes, by the pixels the pointer moved, whatever the frame rate.
#pragma once

#include "platform/platform_api.h"

#include <cstdint>

// Degrees the cloud turns about X and Y per pixel of a left drag.
constexpr double TURN_DEGREES_PER_PIXEL = 0.5;
// The share of the cloud's distance one notch of the wheel forward takes away; a notch back
// gives it back.
constexpr double WHEEL_NOTCH_SHARE = 0.25;
// The farthest the wheel takes the cloud's origin (scene units): far beyond the far plane, and
// near enough for the drags' steps to stay well inside a float's range.
constexpr double WHEEL_FARTHEST = 1.0e6;

// A button pressed at client pixel (x, y): stops the spin and starts a drag of its kind
// (DRAG_TURN or DRAG_MOVE) from there.
void PressMouseButton(uint8_t drag, int x, int y);
// Whether the drag under way holds one of its buttons among the MK_ flags.
bool DragHeld(WPARAM buttons);
// Ends the drag under way.
void EndDrag();
// The pointer now at client pixel (x, y): turns or moves the cloud by the pixels since the
// last place, as the drag under way asks.
void DragPointerTo(int x, int y);
// The wheel turned by delta (WHEEL_DELTA a notch, forward positive): forward brings the cloud
// nearer by WHEEL_NOTCH_SHARE of its distance a notch, back farther (to WHEEL_FARTHEST at most,
// or where it already is).
void TurnWheel(int delta);
