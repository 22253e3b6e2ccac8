// Frames of the viewer drawn in its real window and read back: points, axes, overlay, text.
#include "app/app_state.h"
#include "app/messages.h"
#include "app/window_size.h"
#include "platform/platform_api.h"
#include "platform/viewer_window.h"
#include "pointdata/point_file.h"
#include "render/frame.h"
#include "render/scene.h"
#include "tests/pixel/pixel_util.h"
#include "tools/pump_messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Draws one frame and reads it back from the back buffer before any swap.
pixel::Frame DrawAndRead() {
  PumpMessages();
  DrawFrame();
  return pixel::ReadFrame(GL_BACK);
}

// A fresh view, no points, big points; the window stays from the start of the run.
class FramePixels : public ::testing::Test {
 protected:
  void SetUp() override {
    viewState = ViewState{};
    pointTable = PointTable{};
    loadedFileInfo = LoadedFileInfo{};
    loadedFileInfo.fileName = "sphere.txt";
    loadedFileInfo.vertexCounter = 5000.0f;
    glPointSize(5.0f);
  }
  void TearDown() override {
    pointTable = PointTable{};
    loadedFileInfo = LoadedFileInfo{};
    viewState = ViewState{};
    glPointSize(1.0f);
  }
  // Puts the points into the table (the vector must outlive the frame).
  void UsePoints(std::vector<PointRecord>& points) {
    pointTable.count = static_cast<int32_t>(points.size());
    pointTable.records = points.empty() ? nullptr : points.data();
  }
};

// A view and the points drawn in it.
struct ViewCase {
  const char* name;
  float position[3];
  float angle[3];
  std::vector<PointRecord> points;
};

const ViewCase kViewCases[] = {
    {"start view", {-3.0f, 0.0f, -15.0f}, {0, 0, 0},
     {{1, 1, 1}, {-2, 3, 0.5f}, {3, -1, -2}, {-4, -2, 1}}},
    {"moved nearer", {1.0f, 2.0f, -10.0f}, {0, 0, 0}, {{0.5f, 0.5f, 0}, {-1, -1, 0}, {2, -3, 1}}},
    {"turned about all axes", {-3.0f, 0.0f, -15.0f}, {30, 45, 10},
     {{2, 1, -1}, {-1, 2, 2}, {1, -2, 0.5f}, {-3, -1, -2}}},
    {"turned about Z only", {-3.0f, 0.0f, -15.0f}, {0, 0, 90}, {{3, 0, 0}, {0, 3, 0}}},
};

// Sets the view state to the case's position and angles (speeds 0).
void UseView(const ViewCase& c) { pixel::SetView(c.position, c.angle); }

// Each point shows cyan where the transform puts it, and no cyan shows anywhere else.
TEST_F(FramePixels, PointsLandWhereTheTransformPutsThem) {
  for (const ViewCase& c : kViewCases) {
    SCOPED_TRACE(c.name);
    std::vector<PointRecord> points = c.points;
    UsePoints(points);
    UseView(c);
    pixel::Frame frame = DrawAndRead();
    std::vector<pixel::WindowPoint> expected;
    for (const PointRecord& p : points) {
      pixel::WindowPoint w = pixel::Project(c.position, c.angle, p.x, p.y, p.z);
      ASSERT_TRUE(w.visible);
      expected.push_back(w);
      EXPECT_TRUE(pixel::FoundNear(frame, pixel::IsCyan, w.x, w.y, 2))
          << "point (" << p.x << "," << p.y << "," << p.z << ") expected near (" << w.x << ","
          << w.y << ")";
    }
    int stray = 0;
    for (int y = 0; y < pixel::kHeight; y++) {
      for (int x = 0; x < pixel::kWidth; x++) {
        if (!pixel::IsCyan(pixel::At(frame, x, y))) continue;
        bool nearExpected = false;
        for (const pixel::WindowPoint& w : expected) {
          if (std::fabs(x - w.x) <= 5 && std::fabs(y - w.y) <= 5) nearExpected = true;
        }
        if (!nearExpected) stray++;
      }
    }
    EXPECT_EQ(0, stray);
  }
}

// Each axis shows its colour halfway and near its end, and nothing past its 5-unit end.
TEST_F(FramePixels, AxesRunAlongTheirProjectedDirections) {
  struct AxisView {
    const char* name;
    float position[3];
    float angle[3];
    bool checkEnds;  // the projected ends lie clear of the other axes
  };
  const AxisView views[] = {
      {"start view", {-3.0f, 0.0f, -15.0f}, {0, 0, 0}, true},
      {"turned", {-3.0f, 0.0f, -15.0f}, {20, -30, 0}, false},
      {"turned and moved", {0.0f, 1.0f, -12.0f}, {-25, 40, 15}, false},
  };
  bool (*const colours[3])(pixel::Rgb) = {pixel::IsRed, pixel::IsGreen, pixel::IsBlue};
  for (const AxisView& v : views) {
    SCOPED_TRACE(v.name);
    pixel::SetView(v.position, v.angle);
    pixel::Frame frame = DrawAndRead();
    for (int axis = 0; axis < 3; axis++) {
      SCOPED_TRACE(axis);
      for (double along : {2.5, 4.5}) {
        double p[3] = {0, 0, 0};
        p[axis] = along;
        pixel::WindowPoint w = pixel::Project(v.position, v.angle, p[0], p[1], p[2]);
        EXPECT_TRUE(pixel::FoundNear(frame, colours[axis], w.x, w.y, 2))
            << along << " along, expected near (" << w.x << "," << w.y << ")";
      }
      if (v.checkEnds && axis < 2) {
        double p[3] = {0, 0, 0};
        p[axis] = 6.0;
        pixel::WindowPoint w = pixel::Project(v.position, v.angle, p[0], p[1], p[2]);
        EXPECT_FALSE(pixel::FoundNear(frame, colours[axis], w.x, w.y, 2)) << "past the end";
      }
    }
  }
}

// One overlay line: its colour, the box its glyphs fill and the strip left of its start.
struct OverlayLine {
  const char* name;
  bool (*is)(pixel::Rgb);
  int x0, y0, x1, y1;  // box of the glyphs, rows from the top
  int minimum;         // lit pixels of the colour at least
  int leftX0, leftX1;  // columns left of the start that must hold none of the colour
};

const OverlayLine kOverlayLines[] = {
    {"line 1 file name", pixel::IsBlue, 12, 20, 200, 38, 150, 0, 11},
    {"line 2 vertices", pixel::IsBlue, 12, 45, 200, 63, 120, 0, 11},
    {"line 5 rate", pixel::IsGreen, 620, 499, 799, 517, 60, 560, 619},
    {"line 3 position", pixel::IsRed, 623, 527, 799, 545, 120, 560, 622},
    {"line 4 speeds", pixel::IsRed, 615, 564, 799, 582, 120, 560, 614},
};

// The five lines show in their colours at their places in an 800 x 600 window.
TEST_F(FramePixels, OverlayLinesSitAtTheirPlaces) {
  pixel::Frame frame = DrawAndRead();
  for (const OverlayLine& line : kOverlayLines) {
    SCOPED_TRACE(line.name);
    EXPECT_GE(pixel::CountIn(frame, line.is, line.x0, line.y0, line.x1, line.y1), line.minimum);
    EXPECT_EQ(0, pixel::CountIn(frame, line.is, line.leftX0, line.y0, line.leftX1, line.y1));
  }
  // Nothing blue between the two top lines and the cloud, nothing green outside line 5.
  EXPECT_EQ(0, pixel::CountIn(frame, pixel::IsBlue, 0, 70, 250, 200));
  EXPECT_EQ(0, pixel::CountAll(frame, pixel::IsGreen) -
                   pixel::CountIn(frame, pixel::IsGreen, 560, 495, 799, 520) -
                   pixel::CountIn(frame, pixel::IsGreen, 300, 200, 560, 420));
}

// An empty table draws the overlay and the axes and not a single cyan pixel.
TEST_F(FramePixels, EmptyTableDrawsOverlayAndAxesOnly) {
  pixel::Frame frame = DrawAndRead();
  EXPECT_EQ(0, pixel::CountAll(frame, pixel::IsCyan));
  EXPECT_GT(pixel::CountIn(frame, pixel::IsBlue, 12, 20, 200, 63), 200);
  EXPECT_GT(pixel::CountIn(frame, pixel::IsRed, 615, 527, 799, 582), 200);
  const float angle[3] = {0, 0, 0};
  pixel::WindowPoint x = pixel::Project(&viewState.positionX, angle, 2.5, 0, 0);
  pixel::WindowPoint y = pixel::Project(&viewState.positionX, angle, 0, 2.5, 0);
  EXPECT_TRUE(pixel::FoundNear(frame, pixel::IsRed, x.x, x.y, 2));
  EXPECT_TRUE(pixel::FoundNear(frame, pixel::IsGreen, y.x, y.y, 2));
}

// With all speeds 0 two frames are the same outside the rate line.
TEST_F(FramePixels, StillViewRepeatsTheFrame) {
  std::vector<PointRecord> points = {{1, 1, 1}, {-2, 3, 0.5f}, {3, -1, -2}, {0.5f, -2, 2}};
  UsePoints(points);
  viewState.angleX = 12.0f;
  viewState.angleY = 34.0f;
  pixel::Frame first = DrawAndRead();
  pixel::Frame second = DrawAndRead();
  EXPECT_EQ(0, pixel::DiffOutside(first, second, 560, 495, 799, 520));
  EXPECT_EQ(12.0f, viewState.angleX);
  EXPECT_EQ(34.0f, viewState.angleY);
  EXPECT_GT(pixel::CountAll(first, pixel::IsCyan), 0);
}

// A speed turns the cloud: the next frame shows it at the advanced angle.
TEST_F(FramePixels, SpeedTurnsTheCloudFromTheNextFrame) {
  std::vector<PointRecord> points = {{3, 0, 0}};
  UsePoints(points);
  viewState.speedZ = 30.0f;
  const float position[3] = {-3.0f, 0.0f, -15.0f};
  const float before[3] = {0, 0, 0};
  const float after[3] = {0, 0, 30};
  pixel::WindowPoint w0 = pixel::Project(position, before, 3, 0, 0);
  pixel::WindowPoint w1 = pixel::Project(position, after, 3, 0, 0);

  pixel::Frame first = DrawAndRead();
  EXPECT_TRUE(pixel::FoundNear(first, pixel::IsCyan, w0.x, w0.y, 2));
  EXPECT_FALSE(pixel::FoundNear(first, pixel::IsCyan, w1.x, w1.y, 2));
  pixel::Frame second = DrawAndRead();
  EXPECT_TRUE(pixel::FoundNear(second, pixel::IsCyan, w1.x, w1.y, 2));
  EXPECT_FALSE(pixel::FoundNear(second, pixel::IsCyan, w0.x, w0.y, 2));
  EXPECT_GT(pixel::DiffOutside(first, second, 560, 495, 799, 520), 0);
  EXPECT_FLOAT_EQ(60.0f, viewState.angleZ);
}

// Sets a raster position on the left of the window in white and returns it (window pixels).
void StartText(float out[4]) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, -1.0f);
  glColor3f(1.0f, 1.0f, 1.0f);
  glRasterPos2f(-0.5f, 0.0f);
  glGetFloatv(GL_CURRENT_RASTER_POSITION, out);
}

// How far the raster position moves while the text is drawn, in pixels.
template <typename... Args>
float AdvanceOf(const char* format, Args... args) {
  float start[4];
  float end[4];
  StartText(start);
  PrintText(format, args...);
  glGetFloatv(GL_CURRENT_RASTER_POSITION, end);
  return end[0] - start[0];
}

using TextPixels = FramePixels;

// "Filename: sphere.txt" draws readable glyphs in the raster colour on its baseline.
TEST_F(TextPixels, GlyphsFillTheirBox) {
  float start[4];
  StartText(start);
  PrintText("Filename: %s", "sphere.txt");
  float end[4];
  glGetFloatv(GL_CURRENT_RASTER_POSITION, end);
  pixel::Frame frame = pixel::ReadFrame(GL_BACK);
  int x0 = static_cast<int>(start[0]);
  int baseline = pixel::kHeight - static_cast<int>(start[1]);
  int x1 = static_cast<int>(end[0]);
  int lit = pixel::CountIn(frame, pixel::IsLit, x0 - 1, baseline - 16, x1 + 1, baseline + 5);
  EXPECT_GE(lit, 200);
  EXPECT_EQ(lit, pixel::CountAll(frame, pixel::IsLit));
  EXPECT_GT(end[0] - start[0], 100.0f);
  EXPECT_LT(end[0] - start[0], 200.0f);
  EXPECT_FLOAT_EQ(start[1], end[1]);
  // Each of the 20 glyphs but the space leaves pixels in its own column span.
  EXPECT_GT(pixel::CountIn(frame, pixel::IsLit, x0, baseline - 16, x0 + 10, baseline + 5), 10);
  EXPECT_GT(pixel::CountIn(frame, pixel::IsLit, x1 - 10, baseline - 16, x1, baseline + 5), 10);
}

// Texts whose drawings must advance the raster position equally.
struct SameAdvance {
  const char* name;
  std::string a;
  std::string b;
};

// Text cut at 255 characters, bytes without a glyph, formatting.
TEST_F(TextPixels, AdvanceMatchesTheDrawnCharacters) {
  const SameAdvance cases[] = {
      {"300 characters are cut to 255", std::string(300, '.'), std::string(255, '.')},
      {"256 characters are cut to 255", std::string(256, 'i'), std::string(255, 'i')},
      {"bytes from 128 draw nothing", "A\xC9" "B\xFF\x80", "AB"},
      {"control bytes draw nothing", "A\x01\x1F" "B", "AB"},
  };
  for (const SameAdvance& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FLOAT_EQ(AdvanceOf("%s", c.b.c_str()), AdvanceOf("%s", c.a.c_str()));
  }
  EXPECT_GT(AdvanceOf("%s", std::string(255, '.').c_str()), AdvanceOf("%s", std::string(254, '.').c_str()));
  EXPECT_FLOAT_EQ(AdvanceOf("%s", "12345-2.2"), AdvanceOf("%d-%0.1f", 12345, 2.25));
}

// A byte without a glyph leaves exactly the pixels of the text without it.
TEST_F(TextPixels, MissingGlyphsLeaveTheRestIntact) {
  float start[4];
  StartText(start);
  PrintText("%s", "Vexa\xE9Point");
  pixel::Frame with = pixel::ReadFrame(GL_BACK);
  StartText(start);
  PrintText("%s", "VexaPoint");
  pixel::Frame without = pixel::ReadFrame(GL_BACK);
  EXPECT_EQ(0, pixel::DiffOutside(with, without, -1, -1, -1, -1));
  EXPECT_GT(pixel::CountAll(with, pixel::IsLit), 100);
}

// The list base is restored after the text, and a null format touches nothing.
TEST_F(TextPixels, ListBaseRestoredAndNullDrawsNothing) {
  float start[4];
  StartText(start);
  glListBase(7);
  PrintText("abc");
  GLint base = 0;
  glGetIntegerv(GL_LIST_BASE, &base);
  EXPECT_EQ(7, base);

  StartText(start);
  glListBase(9);
  PrintText(nullptr);
  float end[4];
  glGetFloatv(GL_CURRENT_RASTER_POSITION, end);
  glGetIntegerv(GL_LIST_BASE, &base);
  EXPECT_EQ(9, base);
  EXPECT_FLOAT_EQ(start[0], end[0]);
  EXPECT_EQ(0, pixel::CountAll(pixel::ReadFrame(GL_BACK), pixel::IsLit));
  glListBase(0);
}

}  // namespace

// Opens the viewer's window once for all tests (a display is needed).
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (!CreateViewerWindow(VIEWER_TITLE, kWindowWidth, kWindowHeight, kColourBits, false)) {
    std::fprintf(stderr, "pixel tests: no window could be opened\n");
    return 1;
  }
  int result = RUN_ALL_TESTS();
  DestroyViewerWindow();
  return result;
}
