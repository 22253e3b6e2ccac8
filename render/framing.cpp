// Framing (see framing.h). The start view is the eye at the origin looking along -z through
// the perspective of ResizeScene; at the start the cloud's rotation is none, so its box's
// corners sit at the pivot plus their offsets.
#include "render/framing.h"

#include "records/window_size.h"
#include "render/scene.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

// Whether an eye point lies in the view: between the near and far planes, inside the sides.
bool ViewContains(const SceneVector& eye, double aspect) {
  const double depth = -eye.z;
  const double halfHeight = depth * HalfHeightSlope();
  return depth >= static_cast<double>(NEAR_PLANE) && depth <= FAR_PLANE &&
         std::fabs(eye.y) <= halfHeight && std::fabs(eye.x) <= halfHeight * aspect;
}

// Lowers limit to what a * scale <= b allows (b is positive: the pivot meets every bound).
void LimitScale(double a, double b, double* limit) {
  if (a > 0.0) *limit = std::min(*limit, b / a);
}

}  // namespace

// Half the field of view's tangent.
double HalfHeightSlope() {
  return std::tan(FIELD_OF_VIEW_Y * 0.5 * 3.14159265358979323846 / 180.0);
}

// The overlay's translation plus the start position.
SceneVector StartPivot() {
  const SceneVector overlay = OverlayTranslation();
  const ViewState start;
  return SceneVector{overlay.x + start.positionX, overlay.y + start.positionY,
                     overlay.z + start.positionZ};
}

// The overlay's translation in z plus the position's.
double CloudDepth() {
  return -(OverlayTranslation().z + static_cast<double>(viewState.positionZ));
}

// Each of the box's eight corners at the pivot plus its own coordinates.
bool StartViewShowsWhole(const CloudBounds& bounds, double aspect) {
  if (!bounds.measured) return true;
  const SceneVector pivot = StartPivot();
  for (int corner = 0; corner < 8; ++corner) {
    const SceneVector eye = {pivot.x + ((corner & 1) ? bounds.highX : bounds.lowX),
                             pivot.y + ((corner & 2) ? bounds.highY : bounds.lowY),
                             pivot.z + ((corner & 4) ? bounds.highZ : bounds.lowZ)};
    if (!ViewContains(eye, aspect)) return false;
  }
  return true;
}

// A corner at offset d from the pivot p, scaled by s, has the depth D = -p.z - s d.z; it keeps
// within a side where +-(p.x + s d.x) <= k tx D (and alike in y), and between the planes:
// each bound is linear in s, so the largest s is the least of what each corner's bounds allow.
double FramingScale(const CloudBounds& bounds, double aspect) {
  const SceneVector p = StartPivot();
  const double ty = FRAMED_VIEW_SHARE * HalfHeightSlope();
  const double tx = ty * aspect;
  const double half[3] = {(static_cast<double>(bounds.highX) - bounds.lowX) / 2,
                          (static_cast<double>(bounds.highY) - bounds.lowY) / 2,
                          (static_cast<double>(bounds.highZ) - bounds.lowZ) / 2};
  double scale = HUGE_VAL;
  for (int corner = 0; corner < 8; ++corner) {
    const double dx = (corner & 1) ? half[0] : -half[0];
    const double dy = (corner & 2) ? half[1] : -half[1];
    const double dz = (corner & 4) ? half[2] : -half[2];
    for (double side : {1.0, -1.0}) {
      LimitScale(side * dx + tx * dz, -tx * p.z - side * p.x, &scale);
      LimitScale(side * dy + ty * dz, -ty * p.z - side * p.y, &scale);
    }
    LimitScale(dz, -p.z - static_cast<double>(NEAR_PLANE), &scale);
    LimitScale(-dz, FAR_PLANE + p.z, &scale);
  }
  return scale == HUGE_VAL ? 1.0 : scale;
}

// The middle of the bounds, in the file's units, is what the transform puts at the origin.
void ChooseFraming() {
  framingState = FramingState{};
  if (!cloudBounds.measured) return;
  const double aspect = WINDOW_WIDTH / static_cast<double>(WINDOW_HEIGHT);
  // A box of a few denormals' extent would take a scale past a float's range.
  framingState.scale = static_cast<float>(std::min(FramingScale(cloudBounds, aspect), static_cast<double>(FLT_MAX)));
  framingState.centreX = static_cast<float>((static_cast<double>(cloudBounds.lowX) + cloudBounds.highX) / 2);
  framingState.centreY = static_cast<float>((static_cast<double>(cloudBounds.lowY) + cloudBounds.highY) / 2);
  framingState.centreZ = static_cast<float>((static_cast<double>(cloudBounds.lowZ) + cloudBounds.highZ) / 2);
  framingState.framed = StartViewShowsWhole(cloudBounds, aspect) ? 0 : 1;
}

// Scaled about the origin after the middle is moved there.
void ApplyFraming() {
  glScalef(framingState.scale, framingState.scale, framingState.scale);
  glTranslatef(-framingState.centreX, -framingState.centreY, -framingState.centreZ);
}
