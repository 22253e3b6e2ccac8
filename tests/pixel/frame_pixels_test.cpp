// Frames of the viewer drawn in its real 800 x 600 window and read back: points, axes and
// overlay, and the points' one-call array against the immediate-mode reference.
#include "records/window_size.h"
#include "bench/immediate_frame.h"
#include "window/viewer_window.h"
#include "render/scene.h"
#include "window/message_pump.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// The viewer's window, opened once for all tests (a display is needed).
class Window : public ::testing::Environment {
  void SetUp() override {
    ASSERT_TRUE(CreateViewerWindow("pixel tests", WINDOW_WIDTH, WINDOW_HEIGHT, COLOUR_BITS, false));
  }
  void TearDown() override { DestroyViewerWindow(); }
};
::testing::Environment* const kWindow = ::testing::AddGlobalTestEnvironment(new Window);

using Frame = std::vector<uint8_t>;  // RGB, rows bottom-up as GL gives them

// Colour classes of what the viewer draws: each channel above 190 (high) or below 60.
enum Colour { kCyan, kRed, kGreen, kBlue, kWhite };
const bool HIGH[5][3] = {{0, 1, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}};
bool Is(uint8_t channel, bool high) { return high ? channel > 190 : channel < 60; }

// Pixels of the colour in the box [x0, x1] x [y0, y1] (rows from the top) of the frame.
int Count(const Frame& frame, Colour colour, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y <= y1; y++) {
    for (int x = x0; x <= x1; x++) {
      const uint8_t* p = &frame[((WINDOW_HEIGHT - 1 - y) * WINDOW_WIDTH + x) * 3];
      n += Is(p[0], HIGH[colour][0]) && Is(p[1], HIGH[colour][1]) && Is(p[2], HIGH[colour][2]);
    }
  }
  return n;
}
int All(const Frame& frame, Colour colour) { return Count(frame, colour, 0, 0, WINDOW_WIDTH - 1, WINDOW_HEIGHT - 1); }

// Runs the drawing and reads the frame from the back buffer (the read buffer of a
// double-buffered window), before any swap.
Frame Draw(void (*draw)() = DrawFrame) {
  PumpMessages();
  draw();
  Frame frame(WINDOW_WIDTH * WINDOW_HEIGHT * 3);
  glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
  return frame;
}

// A box of the frame that holds at least `least` pixels of the colour, or none if 0.
struct Box { Colour colour; int x0, y0, x1, y1, least; };
// The box of 2 pixels around (x, y from the top); some cyan (3 pixels clear of the edges).
Box At(Colour c, int x, int y, int least = 1) { return {c, x - 2, y - 2, x + 2, y + 2, least}; }
const Box ANY_CYAN = {kCyan, 3, 3, 796, 596, 1};

// `count` points over [lo, hi] from a fixed sequence, every fourth one the same as the third.
std::vector<PointRecord> Cloud(int count, PointRecord lo, PointRecord hi) {
  std::minstd_rand random(12345);
  auto next = [&random](float a, float b) { return a + (b - a) * (random() % 65536) / 65536.0f; };
  std::vector<PointRecord> points(count);
  for (PointRecord& p : points) p = {next(lo.x, hi.x), next(lo.y, hi.y), next(lo.z, hi.z)};
  for (int i = 3; i < count; i += 4) points[i] = points[i - 1];
  return points;
}

// A view, its point size and points, and the boxes of its frame. The cyan boxes are the only
// places with cyan, up to 3 pixels around them (they lie apart).
struct Scene {
  const char* name;
  ViewState view;
  float size;
  std::vector<PointRecord> points;
  std::vector<Box> boxes;
};

// Axes show at 2.5 and 4.5 units along, and not at 6 where that lies clear of the others.
const Scene SCENES[] = {
    {"no points: overlay and axes", {}, 5, {},
     {At(kRed, 474, 386), At(kRed, 538, 386), At(kRed, 586, 386, 0), At(kGreen, 393, 306),
      At(kGreen, 393, 242), At(kGreen, 393, 193, 0), At(kBlue, 392, 397), At(kBlue, 391, 408),
      // The five overlay lines in their boxes, their first glyphs in the first 11 columns, and
      // none of their colour left of them.
      {kBlue, 12, 20, 200, 38, 150}, {kBlue, 12, 45, 200, 63, 120}, {kBlue, 0, 20, 11, 63, 0},
      {kRed, 623, 527, 799, 545, 120}, {kRed, 560, 527, 622, 545, 0}, {kRed, 623, 527, 633, 545, 9},
      {kRed, 615, 564, 799, 582, 120}, {kRed, 560, 564, 614, 582, 0}, {kRed, 615, 564, 625, 582, 9},
      {kGreen, 620, 499, 799, 517, 60}, {kGreen, 560, 499, 619, 517, 0},
      {kBlue, 12, 20, 22, 38, 9}, {kBlue, 12, 45, 22, 63, 9}, {kGreen, 620, 499, 630, 517, 9},
      // Each line's colour nowhere above, between or below its lines (2 rows spare), and no
      // green but the rate line's and the Y axis's.
      {kBlue, 0, 0, 300, 21, 0}, {kBlue, 0, 40, 300, 45, 0}, {kBlue, 0, 61, 300, 200, 0},
      {kGreen, 0, 0, 799, 199, 0}, {kGreen, 0, 200, 299, 599, 0}, {kGreen, 300, 421, 559, 599, 0},
      {kGreen, 560, 200, 799, 500, 0}, {kGreen, 560, 515, 799, 599, 0},
      {kRed, 560, 200, 799, 528, 0}, {kRed, 560, 546, 799, 564, 0}, {kRed, 560, 583, 799, 599, 0}}},
    {"axes turned and moved", {0, 1, -12, -25, 40, 15}, 5, {},
     {At(kRed, 559, 360), At(kRed, 597, 358), At(kGreen, 482, 276), At(kGreen, 466, 210),
      At(kBlue, 579, 336), At(kBlue, 651, 310)}},
    {"start view", {}, 5, {{1, 1, 1}, {-2, 3, 0.5f}, {3, -1, -2}, {-4, -2, 1}},
     {At(kCyan, 426, 357), At(kCyan, 327, 290), At(kCyan, 482, 409), At(kCyan, 258, 458)}},
    {"a speed turns from the next frame", {-3, 0, -15, 12, 34, 0, 0, 0, 30}, 5, {{3, 0, 0}},
     {At(kCyan, 459, 328), At(kCyan, 468, 370, 0)}},
    // For the point array: dense, coincident, clipped.
    {"dense, size 1", {}, 1, Cloud(20000, {-2, -2, -2}, {2, 2, 2}), {ANY_CYAN}},
    {"coincident, size 10", {}, 10, Cloud(300, {0, 0, 0}, {0.3f, 0.3f, 0.3f}), {ANY_CYAN}},
    {"clipped", {}, 5, Cloud(20000, {-40, -30, -5}, {40, 30, 25}), {ANY_CYAN}},
};

// Each scene is drawn as the immediate-mode reference (first, so that DrawFrame starts from
// the client state and colour the axes' interleaved array leave behind), then twice by
// DrawFrame: the first must match it to the byte, the next must repeat it in a still view
// (no rate is measured in these frames) and shows the boxes.
TEST(FramePixels, ScenesShowWhereTheViewPutsThem) {
  frameRateMeter = FrameRateMeter{};
  loadedFileInfo = {"sphere.txt", 5000.0f};
  for (Scene s : SCENES) {
    SCOPED_TRACE(s.name);
    pointTable = {static_cast<int32_t>(s.points.size()), s.points.data()};
    glPointSize(s.size);
    viewState = s.view;
    Frame reference = Draw(DrawImmediateFrame);
    viewState = s.view;
    EXPECT_TRUE(Draw() == reference) << "the point array's frame differs from the reference";
    Frame next = Draw();
    EXPECT_TRUE(s.view.speedZ != 0 || next == reference) << "a still view changed";
    int nearCyan = 0;
    for (const Box& b : s.boxes) {
      int n = Count(next, b.colour, b.x0, b.y0, b.x1, b.y1);
      EXPECT_TRUE(b.least == 0 ? n == 0 : n >= b.least) << n << " in box " << &b - &s.boxes[0];
      if (b.colour == kCyan) nearCyan += Count(next, kCyan, b.x0 - 3, b.y0 - 3, b.x1 + 3, b.y1 + 3);
    }
    EXPECT_EQ(nearCyan, All(next, kCyan)) << "cyan away from the points";
  }
}

// While the mouse moves a big cloud, a frame draws every stride-th record: of the start view's
// four points, with a stride of 3, the first and the fourth; the frame after it every point
// again, byte for byte as the reference draws them.
TEST(FramePixels, DragFramesDrawEveryStrideThPoint) {
  std::vector<PointRecord> points = SCENES[2].points;
  pointTable = {static_cast<int32_t>(points.size()), points.data()};
  glPointSize(5);
  viewState = ViewState{};
  const Frame reference = Draw(DrawImmediateFrame);
  frameSampling.stride = 3;
  const Frame drag = Draw();
  frameSampling.stride = 1;
  EXPECT_TRUE(Draw() == reference) << "the frame after the drag differs from the whole one";
  const bool drawn[4] = {true, false, false, true};
  for (int i = 0; i < 4; i++) {
    const Box& b = SCENES[2].boxes[i];
    EXPECT_EQ(drawn[i], Count(drag, kCyan, b.x0, b.y0, b.x1, b.y1) > 0) << "point " << i;
  }
}

}  // namespace

