// Drawing one frame: overlay with frame-rate measurement, then points and axes.
#include "render/frame.h"

#include "app/app_state.h"
#include "render/scene.h"

// Red X, green Y and blue Z axis, each 5 units from the origin.
const AxisVertex AxisArray[6] = {
    {255, 0, 0, 255, 0.0f, 0.0f, 0.0f}, {255, 0, 0, 255, 5.0f, 0.0f, 0.0f},
    {0, 255, 0, 255, 0.0f, 0.0f, 0.0f}, {0, 255, 0, 255, 0.0f, 5.0f, 0.0f},
    {0, 0, 255, 255, 0.0f, 0.0f, 0.0f}, {0, 0, 255, 255, 0.0f, 0.0f, 5.0f},
};

// Draws the overlay, then the cloud and the axes under the view transform, and turns the view.
void DrawFrame() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  // The overlay leaves the matrix translated by (2.8, -2.7, -7.5); the cloud builds on it.
  DrawOverlay();

  PlaceView();
  glEnable(GL_POINT_SMOOTH);
  DrawPoints();
  DrawAxes();
}

// Moves and turns the model-view matrix to the cloud's place, then advances the angles by
// their speeds: the matrix is built, so the new angles show from the next frame on.
void PlaceView() {
  glTranslatef(viewState.positionX, viewState.positionY, viewState.positionZ);
  glRotatef(viewState.angleX, 1.0f, 0.0f, 0.0f);
  glRotatef(viewState.angleY, 0.0f, 1.0f, 0.0f);
  glRotatef(viewState.angleZ, 0.0f, 0.0f, 1.0f);
  viewState.angleX += viewState.speedX;
  viewState.angleY += viewState.speedY;
  viewState.angleZ += viewState.speedZ;
}

// Draws the red X, green Y and blue Z axis from the interleaved array.
void DrawAxes() {
  glInterleavedArrays(GL_C4UB_V3F, 0, AxisArray);
  glDrawArrays(GL_LINES, 0, 6);
}

// Draws every record of the point table as one cyan point, straight from the table's own
// memory. The axes' interleaved array of the frame before leaves its colour array enabled,
// and after a draw from it the current colour is undefined: both are set again here.
void DrawPoints() {
  glDisableClientState(GL_COLOR_ARRAY);
  glColor3f(0.0f, 1.0f, 1.0f);
  if (pointTable.count <= 0 || pointTable.records == nullptr) return;
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, sizeof(PointRecord), pointTable.records);
  glDrawArrays(GL_POINTS, 0, pointTable.count);
}

// Draws the five status lines, each placed by a translation that adds to the ones before.
void DrawOverlay() {
  // Before a file is loaded there is no name; the line then shows an empty one.
  const char* fileName = loadedFileInfo.fileName != nullptr ? loadedFileInfo.fileName : "";

  glTranslatef(-0.3f, 0.05f, -1.5f);
  glColor3f(0.0f, 0.0f, 1.0f);
  glRasterPos2f(-0.5f, 0.5f);
  PrintText("Filename: %s", fileName);

  glTranslatef(-0.8f, 0.45f, -1.5f);
  glColor3f(0.0f, 0.0f, 1.0f);
  glRasterPos2f(-0.5f, 0.5f);
  PrintText("Vertices: %0.0f", static_cast<double>(loadedFileInfo.vertexCounter));

  glTranslatef(3.0f, -2.5f, -1.5f);
  glColor3f(1.0f, 0.0f, 0.0f);
  glRasterPos2f(-0.5f, 0.5f);
  PrintText("X,Y,Z axis: %0.1f %0.1f %0.1f", static_cast<double>(viewState.positionX),
            static_cast<double>(viewState.positionY), static_cast<double>(viewState.positionZ));

  glTranslatef(0.4f, -0.8f, -1.5f);
  glColor3f(1.0f, 0.0f, 0.0f);
  glRasterPos2f(-0.5f, 0.5f);
  PrintText("X,Y,Z speed: %0.1f %0.1f %0.1f", static_cast<double>(viewState.speedX * 10.0f),
            static_cast<double>(viewState.speedY * 10.0f),
            static_cast<double>(viewState.speedZ * 10.0f));

  MeasureFrameRate();

  glTranslatef(0.5f, 0.1f, -1.5f);
  glColor3f(0.0f, 1.0f, 0.0f);
  glRasterPos2f(-0.5f, 0.5f);
  PrintText("FPS %.02f", static_cast<double>(frameRateMeter.rate));
}

// Counts a frame and, every 100 frames, measures the rate from timeGetTime.
void MeasureFrameRate() {
  if (frameRateMeter.framesSinceSetUp < INT32_MAX) ++frameRateMeter.framesSinceSetUp;
  if (frameRateMeter.frameCounter < 100) {
    ++frameRateMeter.frameCounter;
    return;
  }
  const uint32_t now = timeGetTime();
  // Unsigned subtraction stays right across the timer's wrap-around.
  uint32_t elapsed = now - frameRateMeter.lastMeasurementTime;
  // 100 frames within one timer tick count as 1 ms: the rate stays finite and non-zero,
  // since the view controls divide by it.
  if (elapsed == 0) {
    elapsed = 1;
  }
  frameRateMeter.rate = static_cast<float>(frameRateMeter.frameCounter /
                                            static_cast<double>(elapsed) * 1000.0);
  frameRateMeter.lastMeasurementTime = now;
  frameRateMeter.frameCounter = 1;
}
