// DrawFrame's points from one vertex array, against the same frame with every record sent
// as three immediate-mode vertices: the images must be identical to the byte.
#include "app/app_state.h"
#include "bench/immediate_frame.h"
#include "render/frame.h"
#include "tests/pixel/pixel_util.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// count points in the box [lo, hi], from a fixed sequence, every fourth one repeated.
std::vector<PointRecord> Cloud(int count, const float lo[3], const float hi[3]) {
  std::vector<PointRecord> points;
  uint32_t state = 12345;
  auto next = [&state](float a, float b) {
    state = state * 1664525u + 1013904223u;
    return a + (b - a) * static_cast<float>(state >> 8) / 16777216.0f;
  };
  while (static_cast<int>(points.size()) < count) {
    PointRecord p = {next(lo[0], hi[0]), next(lo[1], hi[1]), next(lo[2], hi[2])};
    points.push_back(p);
    if (points.size() % 4 == 0) points.push_back(p);
  }
  return points;
}

struct Scene {
  const char* name;
  float position[3];
  float angle[3];
  float size;
  int points;
  float lo[3];
  float hi[3];
};

const Scene kScenes[] = {
    {"dense and overlapping, size 1", {-3, 0, -15}, {0, 0, 0}, 1, 20000, {-2, -2, -2}, {2, 2, 2}},
    {"dense and overlapping, size 5", {-3, 0, -15}, {0, 0, 0}, 5, 20000, {-2, -2, -2}, {2, 2, 2}},
    {"coincident, size 10", {-3, 0, -15}, {0, 0, 0}, 10, 300, {0, 0, 0}, {0.3f, 0.3f, 0.3f}},
    {"in front of and behind the text", {-3, 3, 6.5f}, {0, 0, 0}, 5, 3000, {-1.5f, 0, -3},
     {0.5f, 1, 0.8f}},
    {"turned about every axis", {-3, 0, -15}, {30, 45, 10}, 5, 5000, {-4, -1, -3}, {4, 1, 3}},
    {"turned far round", {0, 1, -12}, {-60, 120, 200}, 10, 2000, {-3, -3, -3}, {3, 3, 3}},
    {"partly outside the view volume", {-3, 0, -15}, {0, 0, 0}, 5, 20000, {-40, -30, -5},
     {40, 30, 25}},
    {"empty table", {-3, 0, -15}, {20, 0, 0}, 5, 0, {0, 0, 0}, {0, 0, 0}},
};

// Draws the scene with the given drawing function from the same state and reads it back.
pixel::Frame Render(const Scene& s, void (*draw)()) {
  pixel::SetView(s.position, s.angle);
  frameRateMeter.rate = 61.25f;
  frameRateMeter.frameCounter = 0;
  glPointSize(s.size);
  draw();
  return pixel::ReadFrame(GL_BACK);
}

// The immediate frame runs first, so DrawFrame starts from the client state and current
// colour that the axes' interleaved array leaves behind.
TEST(PointArray, SameImageAsThreeImmediateVerticesARecord) {
  if (windowContext.renderingContext == nullptr) GTEST_SKIP() << "no window";
  loadedFileInfo.fileName = "cloud.txt";
  for (const Scene& s : kScenes) {
    SCOPED_TRACE(s.name);
    std::vector<PointRecord> points = Cloud(s.points, s.lo, s.hi);
    pointTable.count = static_cast<int32_t>(points.size());
    pointTable.records = points.empty() ? nullptr : points.data();
    const pixel::Frame reference = Render(s, DrawImmediateFrame);
    const pixel::Frame drawn = Render(s, DrawFrame);
    EXPECT_EQ(s.points > 0, pixel::CountAll(reference, pixel::IsCyan) > 0);
    EXPECT_EQ(0, pixel::DiffOutside(reference, drawn, -1, -1, -1, -1)) << "pixels differ";
  }
  pointTable = PointTable{};
  loadedFileInfo = LoadedFileInfo{};
  viewState = ViewState{};
  frameRateMeter = FrameRateMeter{};
  glPointSize(1.0f);
}

}  // namespace
