// Frames of the viewer drawn in its real 800 x 600 window and read back: points, axes and
// overlay, and the points' one-call array against the immediate-mode reference.
#include "records/window_size.h"
#include "bench/immediate_frame.h"
#include "window/viewer_window.h"
#include "render/scene.h"
#include "window/message_pump.h"

#include <gtest/gtest.h>

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
// The box of 2 pixels around (x, y from the top).
Box At(Colour c, int x, int y, int least = 1) { return {c, x - 2, y - 2, x + 2, y + 2, least}; }

// A view and its points, and the boxes of its frame. The cyan boxes are the only places with
// cyan, up to 3 pixels around them (they lie apart).
struct Scene {
  const char* name;
  ViewState view;
  std::vector<PointRecord> points;
  std::vector<Box> boxes;
  int32_t stride = 1;  // every stride-th record drawn, as while the mouse moves a big cloud
};

// Axes show at 2.5 and 4.5 units along, and not at 6 where that lies clear of the others.
const Scene SCENES[] = {
    {"no points: overlay and axes", {}, {},
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
    {"axes turned and moved", {0, 1, -12, -25, 40, 15}, {},
     {At(kRed, 559, 360), At(kRed, 597, 358), At(kGreen, 482, 276), At(kGreen, 466, 210),
      At(kBlue, 579, 336), At(kBlue, 651, 310)}},
    {"start view", {}, {{1, 1, 1}, {-2, 3, 0.5f}, {3, -1, -2}, {-4, -2, 1}},
     {At(kCyan, 426, 357), At(kCyan, 327, 290), At(kCyan, 482, 409), At(kCyan, 258, 458)}},
    {"a speed turns from the next frame", {-3, 0, -15, 12, 34, 0, 0, 0, 30}, {{3, 0, 0}},
     {At(kCyan, 459, 328), At(kCyan, 468, 370, 0)}},
    // While the mouse moves a big cloud: of the start view's points, the first and the fourth.
    {"a drag's frame: every third point", {}, {{1, 1, 1}, {-2, 3, 0.5f}, {3, -1, -2}, {-4, -2, 1}},
     {At(kCyan, 426, 357), At(kCyan, 327, 290, 0), At(kCyan, 482, 409, 0), At(kCyan, 258, 458)}, 3},
};

// Each scene is drawn, with points of size 5, as the immediate-mode reference of every point
// (first, so that DrawFrame starts from the client state and colour the axes' interleaved array
// leave behind), then twice by DrawFrame: the first must match it to the byte when it draws every
// point, the next must repeat the first in a still view (no rate is measured in these frames) and
// shows the boxes.
TEST(FramePixels, ScenesShowWhereTheViewPutsThem) {
  frameRateMeter = FrameRateMeter{};
  loadedFileInfo = {"sphere.txt", 5000.0f};
  glPointSize(5);
  for (Scene s : SCENES) {
    SCOPED_TRACE(s.name);
    pointTable = {static_cast<int32_t>(s.points.size()), s.points.data()};
    viewState = s.view;
    Frame reference = Draw(DrawImmediateFrame);
    viewState = s.view;
    frameSampling.stride = s.stride;
    Frame first = Draw();
    EXPECT_EQ(s.stride == 1, first == reference) << "the point array's frame against the reference";
    Frame next = Draw();
    EXPECT_TRUE(s.view.speedZ != 0 || next == first) << "a still view changed";
    int nearCyan = 0;
    for (const Box& b : s.boxes) {
      int n = Count(next, b.colour, b.x0, b.y0, b.x1, b.y1);
      EXPECT_TRUE(b.least == 0 ? n == 0 : n >= b.least) << n << " in box " << &b - &s.boxes[0];
      if (b.colour == kCyan) nearCyan += Count(next, kCyan, b.x0 - 3, b.y0 - 3, b.x1 + 3, b.y1 + 3);
    }
    EXPECT_EQ(nearCyan, Count(next, kCyan, 0, 0, WINDOW_WIDTH - 1, WINDOW_HEIGHT - 1)) << "cyan away from the points";
  }
}

}  // namespace

