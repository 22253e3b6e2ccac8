// Drawing one frame: overlay with frame-rate measurement, then points and axes.
#pragma once

#include <cstdint>

// One vertex of the axis lines in the GL_C4UB_V3F interleaved layout.
struct AxisVertex {
  uint8_t r, g, b, a;
  float x, y, z;
};
static_assert(sizeof(AxisVertex) == 16, "GL_C4UB_V3F vertices are 16 bytes");

extern const AxisVertex AxisArray[6];

void DrawFrame();
// The steps of DrawFrame after clearing it, in their order.
void DrawOverlay();
void PlaceView();
void DrawPoints();
void DrawAxes();
// Counts a frame (also since the last scene set-up) and, every 100 frames, measures the
// rate from timeGetTime.
void MeasureFrameRate();
