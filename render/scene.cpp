// Scene set-up, projection and the overlay font.
#include "render/scene.h"

#include "records/app_state.h"
#include "render/height_colours.h"

#include <cstdarg>
#include <cstdio>

GLuint OverlayFont = 0;

// Everything a new rendering context needs before its first frame.
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
  BuildHeightRamp();
  RestartFrameClock();
  return true;
}

// Only the clock restarts; the counter and the rate carry on across new contexts and loads.
void RestartFrameClock() {
  frameRateMeter.lastMeasurementTime = timeGetTime();
  frameRateMeter.framesSinceSetUp = 0;
}

// A zero height would divide by zero in the aspect ratio.
void ResizeScene(int width, int height) {
  if (height == 0) {
    height = 1;
  }
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(FIELD_OF_VIEW_Y, width / static_cast<double>(height), static_cast<double>(NEAR_PLANE),
                 FAR_PLANE);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// The viewer window's font lists.
void BuildFontLists() { OverlayFont = BuildFontListsOn(windowContext.deviceContext); }

// The font is selected into the device context only while its glyphs are rasterised.
GLuint BuildFontListsOn(HDC deviceContext) {
  const GLuint lists = glGenLists(GLYPH_COUNT);
  HFONT font = CreateFontA(-14, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                           FF_DONTCARE | DEFAULT_PITCH, "Arial");
  HGDIOBJ previous = SelectObject(deviceContext, font);
  wglUseFontBitmapsA(deviceContext, FIRST_GLYPH, GLYPH_COUNT, lists);
  SelectObject(deviceContext, previous);
  DeleteObject(font);
  return lists;
}

// The lists belong to the rendering context; deleting them there is enough.
void FreeFontLists() {
  glDeleteLists(OverlayFont, GLYPH_COUNT);
}

namespace {

// Formats the text and calls, for each of its bytes, the display list of its own character code
// among the font's.
void PrintTextValues(GLuint font, const char* format, va_list values) {
  if (format == nullptr) {
    return;
  }
  char text[PRINT_TEXT_MAX + 1];
  // vsnprintf keeps the first PRINT_TEXT_MAX characters of a longer text and reports the full
  // length; a negative result means a formatting error and draws nothing.
  int length = vsnprintf(text, sizeof text, format, values);
  if (length <= 0) {
    return;
  }
  if (length > PRINT_TEXT_MAX) {
    length = PRINT_TEXT_MAX;
  }
  glPushAttrib(GL_LIST_BIT);
  glListBase(font - FIRST_GLYPH);
  glCallLists(length, GL_UNSIGNED_BYTE, text);
  glPopAttrib();
}

}  // namespace

// Text in the overlay font.
void PrintText(const char* format, ...) {
  va_list values;
  va_start(values, format);
  PrintTextValues(OverlayFont, format, values);
  va_end(values);
}

// Text in another window's font.
void PrintTextWith(GLuint font, const char* format, ...) {
  va_list values;
  va_start(values, format);
  PrintTextValues(font, format, values);
  va_end(values);
}
