// Drawing one frame: overlay with frame-rate measurement, then points and axes.
#pragma once

// Clears the frame and draws it whole: the steps below, in their order.
void DrawFrame();
// The five status lines, measuring the rate between the fourth and the fifth.
void DrawOverlay();
// The view transform: the cloud's position, then its three angles.
void PlaceView();
// Adds each rotation speed to its angle.
void AdvanceAngles();
// The point table as cyan points (or in their height colours), at the current point size,
// through the framing transform while framed.
void DrawPoints();
// The three coloured axis lines.
void DrawAxes();
// A place or a shift in eye coordinates (scene units).
struct SceneVector {
  double x, y, z;
};
// Where DrawOverlay leaves the model-view matrix: the sum of its lines' translations.
SceneVector OverlayTranslation();
// Counts a frame (also since the last scene set-up) and, every 100 frames, measures the
// rate from timeGetTime.
void MeasureFrameRate();
