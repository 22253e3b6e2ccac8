// Framing: one more model transform for the points alone, chosen once per load, that puts the
// middle of the cloud's bounds at the cloud's origin and scales the cloud to fill the start
// view. A cloud the start view shows whole starts unframed, in the file's own units.
#pragma once

#include "records/app_state.h"
#include "render/frame.h"

// The share of the start view's half-width and half-height, around the view's middle, that
// a framed cloud's box keeps within: a margin of a twentieth of the window on every side.
constexpr double FRAMED_VIEW_SHARE = 0.9;

// The view's half-height per unit of depth in front of the eye.
double HalfHeightSlope();
// Where the cloud's origin sits in eye coordinates at the start position.
SceneVector StartPivot();
// How far in front of the eye the cloud's origin is now (negative behind it).
double CloudDepth();
// Whether the start view (width over height aspect) shows the whole box of the bounds, in the
// file's own units: every corner between the near and far planes and inside the four sides.
bool StartViewShowsWhole(const CloudBounds& bounds, double aspect);
// The largest scale at which the box of the bounds, its middle at the start pivot, keeps within
// FRAMED_VIEW_SHARE of the start view and between the near and far planes; 1 for a box of no
// extent.
double FramingScale(const CloudBounds& bounds, double aspect);
// Chooses framingState from cloudBounds for the window's start size: framed unless the start
// view shows the whole cloud; no transform for a cloud without bounds.
void ChooseFraming();
// Multiplies the model-view matrix by the framing transform.
void ApplyFraming();
