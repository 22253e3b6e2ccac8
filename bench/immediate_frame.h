// The frame as the viewer used to draw it, every record sent as three immediate-mode
// vertices (cyan, then two that coincide with it): the reference the pixel tests compare
// DrawFrame's image with, and the frame benchmark its cost.
#pragma once

#include "records/app_state.h"
#include "render/frame.h"

#include <cstdint>

inline void DrawImmediateFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  DrawOverlay();
  PlaceView();
  AdvanceAngles();
  glEnable(GL_POINT_SMOOTH);
  glBegin(GL_POINTS);
  for (int32_t i = 0; i < pointTable.count; ++i) {
    const PointRecord& p = pointTable.records[i];
    for (const float green : {1.0f, 0.5f, 0.0f}) {
      glColor3f(0.0f, green, 1.0f);
      glVertex3f(p.x, p.y, p.z);
    }
  }
  glEnd();
  DrawAxes();
}
