// Reading back the viewer's frame and predicting where scene points land in it.
#pragma once

#include "app/app_state.h"
#include "platform/platform_api.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace pixel {

const int kWidth = 800;
const int kHeight = 600;

// One RGB pixel.
struct Rgb {
  uint8_t r, g, b;
};

// A frame read back from the GL, with rows kept bottom-up as GL gives them.
struct Frame {
  std::vector<uint8_t> bytes;  // kWidth * kHeight * 3
};

// Reads the whole client area of the given buffer (GL_BACK before the swap).
inline Frame ReadFrame(GLenum buffer = GL_BACK) {
  Frame frame;
  frame.bytes.assign(static_cast<size_t>(kWidth) * kHeight * 3, 0);
  glFinish();
  glReadBuffer(buffer);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, frame.bytes.data());
  return frame;
}

// The pixel x columns from the left and y rows from the top; black outside the frame.
inline Rgb At(const Frame& frame, int x, int yFromTop) {
  if (x < 0 || x >= kWidth || yFromTop < 0 || yFromTop >= kHeight) return Rgb{0, 0, 0};
  size_t row = static_cast<size_t>(kHeight - 1 - yFromTop);
  const uint8_t* p = &frame.bytes[(row * kWidth + x) * 3];
  return Rgb{p[0], p[1], p[2]};
}

// Colour classes of what the viewer draws.
inline bool IsCyan(Rgb c) { return c.r < 60 && c.g > 190 && c.b > 190; }
inline bool IsRed(Rgb c) { return c.r > 190 && c.g < 60 && c.b < 60; }
inline bool IsGreen(Rgb c) { return c.r < 60 && c.g > 190 && c.b < 60; }
inline bool IsBlue(Rgb c) { return c.r < 60 && c.g < 60 && c.b > 190; }
inline bool IsLit(Rgb c) { return c.r > 100 || c.g > 100 || c.b > 100; }

// Pixels of a class in the box [x0, x1] x [y0, y1] (inclusive, rows from the top).
inline int CountIn(const Frame& frame, bool (*is)(Rgb), int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y <= y1; y++) {
    for (int x = x0; x <= x1; x++) {
      if (is(At(frame, x, y))) n++;
    }
  }
  return n;
}

// Pixels of a class anywhere in the frame.
inline int CountAll(const Frame& frame, bool (*is)(Rgb)) {
  return CountIn(frame, is, 0, 0, kWidth - 1, kHeight - 1);
}

// Whether a pixel of the class lies within radius pixels (a square) of (x, yFromTop).
inline bool FoundNear(const Frame& frame, bool (*is)(Rgb), double x, double yFromTop,
                      int radius) {
  int cx = static_cast<int>(std::floor(x));
  int cy = static_cast<int>(std::floor(yFromTop));
  return CountIn(frame, is, cx - radius, cy - radius, cx + radius, cy + radius) > 0;
}

// Pixels that differ between two frames, outside the box [x0, x1] x [y0, y1].
inline int DiffOutside(const Frame& a, const Frame& b, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = 0; y < kHeight; y++) {
    for (int x = 0; x < kWidth; x++) {
      if (x >= x0 && x <= x1 && y >= y0 && y <= y1) continue;
      Rgb p = At(a, x, y);
      Rgb q = At(b, x, y);
      if (p.r != q.r || p.g != q.g || p.b != q.b) n++;
    }
  }
  return n;
}

// A fresh view state at this position and these angles (speeds 0).
inline void SetView(const float position[3], const float angle[3]) {
  viewState = ViewState{};
  viewState.positionX = position[0];
  viewState.positionY = position[1];
  viewState.positionZ = position[2];
  viewState.angleX = angle[0];
  viewState.angleY = angle[1];
  viewState.angleZ = angle[2];
}

// A window position: x from the left, y from the top, and whether it is in front of the eye.
struct WindowPoint {
  double x;
  double y;
  bool visible;
};

// Where the viewer puts a point of the cloud: eye = overlay offset + position + Rx Ry Rz p,
// then the 45-degree perspective for 800 x 600 and the full-window viewport.
inline WindowPoint Project(const float position[3], const float angle[3], double px, double py,
                           double pz) {
  const double deg = 3.14159265358979323846 / 180.0;
  // Rz, then Ry, then Rx (the matrix product Rx Ry Rz applied to the point).
  double cz = std::cos(angle[2] * deg), sz = std::sin(angle[2] * deg);
  double x1 = cz * px - sz * py, y1 = sz * px + cz * py, z1 = pz;
  double cy = std::cos(angle[1] * deg), sy = std::sin(angle[1] * deg);
  double x2 = cy * x1 + sy * z1, y2 = y1, z2 = -sy * x1 + cy * z1;
  double cx = std::cos(angle[0] * deg), sx = std::sin(angle[0] * deg);
  double x3 = x2, y3 = cx * y2 - sx * z2, z3 = sx * y2 + cx * z2;
  double ex = 2.8 + position[0] + x3;
  double ey = -2.7 + position[1] + y3;
  double ez = -7.5 + position[2] + z3;
  double f = 1.0 / std::tan(22.5 * deg);
  double aspect = kWidth / static_cast<double>(kHeight);
  double w = -ez;
  double ndcX = (f / aspect) * ex / w;
  double ndcY = f * ey / w;
  WindowPoint out;
  out.x = (ndcX + 1.0) * 0.5 * kWidth;
  out.y = kHeight - (ndcY + 1.0) * 0.5 * kHeight;
  out.visible = w > 0.1 && std::fabs(ndcX) < 1.0 && std::fabs(ndcY) < 1.0;
  return out;
}

}  // namespace pixel
