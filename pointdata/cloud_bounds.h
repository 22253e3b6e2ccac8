// The cloud's extent without its strays, measured once per load from an even sample of its
// points: what framing and the height colours go by.
#pragma once

#include "records/app_state.h"

#include <cstdint>

// The most points the bounds are measured from: enough for percentiles to a few hundredths
// of the extent, few enough to cost a few milliseconds next to loading.
constexpr int32_t BOUNDS_SAMPLE_MAX = 65536;
// The share of the sampled points left outside the bounds on each side, per axis.
constexpr double BOUNDS_OUTSIDE_SHARE = 0.01;

// The bounds of count records: per axis, the BOUNDS_OUTSIDE_SHARE and 1 - BOUNDS_OUTSIDE_SHARE
// percentiles of the finite values of an even sample of at most BOUNDS_SAMPLE_MAX records.
// Not measured when an axis has no finite value (or the sample's memory cannot be had).
CloudBounds RobustBounds(const PointRecord* records, int32_t count);

// Measures the point table into cloudBounds.
void MeasureCloudBounds();
