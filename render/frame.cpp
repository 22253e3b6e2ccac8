// Drawing one frame (see frame.h).
#include "render/frame.h"

#include "records/app_state.h"
#include "render/framing.h"
#include "render/height_colours.h"
#include "render/scene.h"

#include <cstdint>

namespace {

// One vertex of the axis lines in the GL_C4UB_V3F interleaved layout.
struct AxisVertex {
  uint8_t r, g, b, a;
  float x, y, z;
};
static_assert(sizeof(AxisVertex) == 16, "GL_C4UB_V3F vertices are 16 bytes");

// Frames counted between two measurements of the rate.
constexpr int32_t FRAMES_PER_MEASUREMENT = 100;

// Red X, green Y and blue Z axis, each 5 units from the origin.
const AxisVertex AXIS_ARRAY[6] = {
    {255, 0, 0, 255, 0.0f, 0.0f, 0.0f}, {255, 0, 0, 255, 5.0f, 0.0f, 0.0f},
    {0, 255, 0, 255, 0.0f, 0.0f, 0.0f}, {0, 255, 0, 255, 0.0f, 5.0f, 0.0f},
    {0, 0, 255, 255, 0.0f, 0.0f, 0.0f}, {0, 0, 255, 255, 0.0f, 0.0f, 5.0f},
};

// Where an overlay line sits, as a translation added to those of the lines before it, and
// its colour.
struct OverlayLine {
  float x, y, z;
  float red, green, blue;
};

// The five status lines: file name, vertices, position, speeds, rate.
constexpr OverlayLine OVERLAY_LINES[5] = {
    {-0.3f, 0.05f, -1.5f, 0.0f, 0.0f, 1.0f},
    {-0.8f, 0.45f, -1.5f, 0.0f, 0.0f, 1.0f},
    {3.0f, -2.5f, -1.5f, 1.0f, 0.0f, 0.0f},
    {0.4f, -0.8f, -1.5f, 1.0f, 0.0f, 0.0f},
    {0.5f, 0.1f, -1.5f, 0.0f, 1.0f, 0.0f},
};

// Moves on to overlay line `line` and sets its colour and raster position.
void StartOverlayLine(int line) {
  const OverlayLine& place = OVERLAY_LINES[line];
  glTranslatef(place.x, place.y, place.z);
  glColor3f(place.red, place.green, place.blue);
  glRasterPos2f(-0.5f, 0.5f);
}

}  // namespace

// Draws the overlay, then the cloud and the axes under the view transform, and turns the view.
void DrawFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  // The overlay leaves the matrix translated by (2.8, -2.7, -7.5); the cloud builds on it.
  DrawOverlay();

  PlaceView();
  AdvanceAngles();
  glEnable(GL_POINT_SMOOTH);
  DrawPoints();
  DrawAxes();
}

// Moves and turns the model-view matrix to the cloud's place.
void PlaceView() {
  glTranslatef(viewState.positionX, viewState.positionY, viewState.positionZ);
  glRotatef(viewState.angleX, 1.0f, 0.0f, 0.0f);
  glRotatef(viewState.angleY, 0.0f, 1.0f, 0.0f);
  glRotatef(viewState.angleZ, 0.0f, 0.0f, 1.0f);
}

// Turns each angle by its speed. Called after PlaceView, so a change shows from the next
// frame on.
void AdvanceAngles() {
  viewState.angleX += viewState.speedX;
  viewState.angleY += viewState.speedY;
  viewState.angleZ += viewState.speedZ;
}

// Draws the red X, green Y and blue Z axis from the interleaved array.
void DrawAxes() {
  glInterleavedArrays(GL_C4UB_V3F, 0, AXIS_ARRAY);
  glDrawArrays(GL_LINES, 0, 6);
}

// Draws every record of the point table (every stride-th while the mouse moves a big cloud) as
// one cyan point, straight from the table's own memory. The axes' interleaved array of the frame before leaves its colour array enabled,
// and after a draw from it the current colour is undefined: both are set again here. The
// framing transform and the height colours apply to the points alone, so both end here.
void DrawPoints() {
  glDisableClientState(GL_COLOR_ARRAY);
  glColor3f(0.0f, 1.0f, 1.0f);
  if (pointTable.count <= 0 || pointTable.records == nullptr) return;
  if (framingState.framed) {
    glPushMatrix();
    ApplyFraming();
  }
  if (heightColours.on) BeginHeightColours();
  // Every stride-th record, straight from the table (all of them but while the mouse moves a
  // cloud too big to draw whole at a steady pace).
  const int32_t stride = frameSampling.stride > 1 ? frameSampling.stride : 1;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, static_cast<GLsizei>(sizeof(PointRecord)) * stride, pointTable.records);
  glDrawArrays(GL_POINTS, 0, (pointTable.count - 1) / stride + 1);
  if (heightColours.on) EndHeightColours();
  if (framingState.framed) glPopMatrix();
}

// Adds up the overlay lines' translations, in the order DrawOverlay makes them.
SceneVector OverlayTranslation() {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  for (const OverlayLine& line : OVERLAY_LINES) {
    x += line.x;
    y += line.y;
    z += line.z;
  }
  return SceneVector{x, y, z};
}

// Draws the five status lines, each placed by a translation that adds to the ones before.
void DrawOverlay() {
  // Before a file is loaded there is no name; the line then shows an empty one.
  const char* fileName = loadedFileInfo.fileName != nullptr ? loadedFileInfo.fileName : "";

  StartOverlayLine(0);
  PrintText("Filename: %s", fileName);
  StartOverlayLine(1);
  PrintText("Vertices: %0.0f", static_cast<double>(loadedFileInfo.vertexCounter));
  StartOverlayLine(2);
  PrintText("X,Y,Z axis: %0.1f %0.1f %0.1f", static_cast<double>(viewState.positionX),
            static_cast<double>(viewState.positionY), static_cast<double>(viewState.positionZ));
  StartOverlayLine(3);
  PrintText("X,Y,Z speed: %0.1f %0.1f %0.1f", static_cast<double>(viewState.speedX * 10.0f),
            static_cast<double>(viewState.speedY * 10.0f),
            static_cast<double>(viewState.speedZ * 10.0f));
  MeasureFrameRate();
  StartOverlayLine(4);
  PrintText("FPS %.02f", static_cast<double>(frameRateMeter.rate));
}

// The rate is the frames counted over the milliseconds since the last measurement.
void MeasureFrameRate() {
  if (frameRateMeter.framesSinceSetUp < INT32_MAX) ++frameRateMeter.framesSinceSetUp;
  if (frameRateMeter.frameCounter < FRAMES_PER_MEASUREMENT) {
    ++frameRateMeter.frameCounter;
    return;
  }
  const uint32_t now = timeGetTime();
  // Unsigned subtraction stays right across the timer's wrap-around.
  uint32_t elapsed = now - frameRateMeter.lastMeasurementTime;
  // A whole measurement within one timer tick counts as 1 ms: the rate stays finite and non-zero,
  // since the view controls divide by it.
  if (elapsed == 0) {
    elapsed = 1;
  }
  frameRateMeter.rate = static_cast<float>(frameRateMeter.frameCounter /
                                            static_cast<double>(elapsed) * 1000.0);
  frameRateMeter.lastMeasurementTime = now;
  frameRateMeter.frameCounter = 1;
}
