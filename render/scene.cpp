// Scene set-up, projection and the overlay font.
#include "render/scene.h"

#include "app/app_state.h"

#include <cstdarg>
#include <cstdio>

GLuint OverlayFont = 0;

// Sets the fixed pipeline state, builds the font lists and starts the frame-rate clock.
bool InitScene() {
  // Pipeline state for the whole life of the rendering context: additive blend function
  // (blending itself stays off), black clear colour, depth test with the far plane as
  // clear depth and GL_LESS, smooth shading, the nicest perspective correction.
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glDepthFunc(GL_LESS);
  glEnable(GL_DEPTH_TEST);
  glShadeModel(GL_SMOOTH);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

  BuildFontLists();
  // Only the clock restarts; the counter and the rate carry on across new contexts.
  frameRateMeter.lastMeasurementTime = timeGetTime();
  frameRateMeter.framesSinceSetUp = 0;
  return true;
}

// Sets the viewport and the 45-degree perspective for a client area (height 0 is taken as 1).
void ResizeScene(int width, int height) {
  if (height == 0) {
    height = 1;
  }
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, width / static_cast<double>(height), static_cast<double>(0.1f), 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// Rasterises the bold 14-unit Arial glyphs of codes 32 to 127 into 96 display lists.
void BuildFontLists() {
  OverlayFont = glGenLists(96);
  HFONT font = CreateFontA(-14, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                           FF_DONTCARE | DEFAULT_PITCH, "Arial");
  HGDIOBJ previous = SelectObject(windowContext.deviceContext, font);
  wglUseFontBitmapsA(windowContext.deviceContext, 32, 96, OverlayFont);
  SelectObject(windowContext.deviceContext, previous);
  DeleteObject(font);
}

// Releases the 96 glyph lists (no effect once the rendering context is gone).
void FreeFontLists() {
  glDeleteLists(OverlayFont, 96);
}

// Draws printf-formatted text at the current raster position (at most 255 characters).
void PrintText(const char* format, ...) {
  if (format == nullptr) {
    return;
  }
  char text[256];
  va_list values;
  va_start(values, format);
  // vsnprintf keeps the first 255 characters of a longer text and reports the full
  // length; a negative result means a formatting error and draws nothing.
  int length = vsnprintf(text, sizeof text, format, values);
  va_end(values);
  if (length <= 0) {
    return;
  }
  if (length > 255) {
    length = 255;
  }
  glPushAttrib(GL_LIST_BIT);
  glListBase(OverlayFont - 32);
  glCallLists(length, GL_UNSIGNED_BYTE, text);
  glPopAttrib();
}
