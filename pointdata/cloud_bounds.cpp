// The cloud's robust bounds (see cloud_bounds.h).
#include "pointdata/cloud_bounds.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

namespace {

// The value of one axis of a record: x, y or z.
float AxisValue(const PointRecord& record, int axis) {
  return axis == 0 ? record.x : axis == 1 ? record.y : record.z;
}

// Copies the finite values of one axis of an even sample of the records into values; returns
// how many. The sample takes every record when there are few, otherwise evenly spaced ones.
int32_t SampleAxis(const PointRecord* records, int32_t count, int axis, float* values) {
  const int32_t taken = std::min(count, BOUNDS_SAMPLE_MAX);
  int32_t finite = 0;
  for (int32_t i = 0; i < taken; ++i) {
    const int64_t index = static_cast<int64_t>(i) * count / taken;
    const float value = AxisValue(records[index], axis);
    if (std::isfinite(value)) values[finite++] = value;
  }
  return finite;
}

// The two percentiles of n values, which it reorders; false when there are none.
bool AxisPercentiles(float* values, int32_t n, float* low, float* high) {
  if (n <= 0) return false;
  const int32_t lowIndex = static_cast<int32_t>(std::floor(BOUNDS_OUTSIDE_SHARE * (n - 1)));
  const int32_t highIndex = static_cast<int32_t>(std::ceil((1.0 - BOUNDS_OUTSIDE_SHARE) * (n - 1)));
  std::nth_element(values, values + lowIndex, values + n);
  *low = values[lowIndex];
  // Everything from lowIndex on is at least the low percentile, so the high one lies there.
  std::nth_element(values + lowIndex, values + highIndex, values + n);
  *high = values[highIndex];
  return true;
}

}  // namespace

// Each axis sampled and ordered on its own, in one buffer of the sample's size.
CloudBounds RobustBounds(const PointRecord* records, int32_t count) {
  CloudBounds bounds;
  if (records == nullptr || count <= 0) return bounds;
  std::unique_ptr<float[]> values(new (std::nothrow) float[std::min(count, BOUNDS_SAMPLE_MAX)]);
  if (!values) return bounds;
  float* lows[3] = {&bounds.lowX, &bounds.lowY, &bounds.lowZ};
  float* highs[3] = {&bounds.highX, &bounds.highY, &bounds.highZ};
  for (int axis = 0; axis < 3; ++axis) {
    const int32_t n = SampleAxis(records, count, axis, values.get());
    if (!AxisPercentiles(values.get(), n, lows[axis], highs[axis])) return CloudBounds{};
  }
  bounds.measured = 1;
  return bounds;
}

// The table as the loader left it.
void MeasureCloudBounds() {
  cloudBounds = RobustBounds(pointTable.records, pointTable.count);
}
