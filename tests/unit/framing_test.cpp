// The cloud's robust bounds, whether the start view shows a cloud whole, and the framing scale.
#include "pointdata/cloud_bounds.h"
#include "records/app_state.h"
#include "render/framing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Points i / 1000 along all three axes, every seventh x infinite.
std::vector<PointRecord> Line(int count) {
  std::vector<PointRecord> points(count);
  for (int i = 0; i < count; i++) points[i] = {i % 7 ? i / 1000.0f : INFINITY, i / 1000.0f, -i / 1000.0f};
  return points;
}

// Per axis the 1st and 99th percentiles of the finite values of an even sample: infinities left
// out, a million points sampled, nothing measured without a finite value. (A terrain's strays
// left out: the end-to-end terrains open framed whole.)
TEST(CloudBounds, PercentilesOfAnEvenSample) {
  const struct {
    const char* name;
    std::vector<PointRecord> points;
    CloudBounds bounds;
  } cases[] = {
      {"a million points, every seventh x infinite", Line(1000000), {1, 10.009f, 9.994f, -989.99f, 989.99f, 989.99f, -9.994f}},
      {"one point", {{3, -4, 5}}, {1, 3, -4, 5, 3, -4, 5}},
      {"no finite z", {{1, 2, INFINITY}, {3, 4, -INFINITY}}, {}},
      {"none", {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CloudBounds b = RobustBounds(c.points.data(), static_cast<int32_t>(c.points.size()));
    const CloudBounds& e = c.bounds;
    EXPECT_EQ(std::vector<float>({float(e.measured), e.lowX, e.lowY, e.lowZ, e.highX, e.highY, e.highZ}),
              std::vector<float>({float(b.measured), b.lowX, b.lowY, b.lowZ, b.highX, b.highY, b.highZ}));
  }
}

// Bounds in the file's units: whether the start view of an 800 x 600 window shows them whole,
// and the scale that frames them. (The sphere shown, the terrain and its UTM twin framed: end to end.)
TEST(Framing, StartViewAndScale) {
  const struct {
    const char* name;
    CloudBounds bounds;
    bool shown;
    double scale;
  } cases[] = {
      {"a small cloud beyond the far plane", {1, -1, -1, -80, 1, 1, -78}, false, 4.14325239},
      {"a small cloud behind the eye", {1, -1, -1, 25, 1, 1, 26}, false, 4.79420370},
      {"wide", {1, 0, 0, 0, 1000, 1, 0}, false, 0.0219675323},
      {"tall", {1, 0, 0, 0, 1, 1000, 0}, false, 0.0113756492},
      {"deep", {1, 0, 0, 0, 1, 1, 1000}, false, 0.0304330829},
      {"one point out of sight", {1, 1e6f, 0, 0, 1e6f, 0, 0}, false, 1.0},
      {"nothing measured", {}, true, 1.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.shown, StartViewShowsWhole(c.bounds, 800.0 / 600.0));
    EXPECT_NEAR(c.scale, FramingScale(c.bounds, 800.0 / 600.0), 1e-8);
  }
}

}  // namespace
