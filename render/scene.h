// OpenGL state that outlives a frame: pipeline set-up, projection, the overlay font.
#pragma once

#include "platform/platform_api.h"

// The overlay font's glyphs: one display list per character code from FIRST_GLYPH on.
constexpr int FIRST_GLYPH = 32;
constexpr int GLYPH_COUNT = 96;
// The most characters PrintText draws of one text.
constexpr int PRINT_TEXT_MAX = 255;
// The perspective: vertical field of view (degrees), near and far planes (eye units).
constexpr double FIELD_OF_VIEW_Y = 45.0;
constexpr float NEAR_PLANE = 0.1f;
constexpr double FAR_PLANE = 100.0;

// First of the GLYPH_COUNT glyph display lists.
extern GLuint OverlayFont;

// Sets the fixed pipeline state, builds the font lists and starts the frame-rate clock.
bool InitScene();
// Measures the frame rate from now on: the time before (a new context's set-up, a load) is no
// frame's.
void RestartFrameClock();
// Sets the viewport and the 45-degree perspective for a client area (height 0 is taken as 1).
void ResizeScene(int width, int height);
// Rasterises the bold 14-unit Arial glyphs into the font's display lists.
void BuildFontLists();
// The same glyphs of another window's device context, in new lists of the current rendering
// context; returns the first of them.
GLuint BuildFontListsOn(HDC deviceContext);
// Releases the font's display lists (no effect once the rendering context is gone).
void FreeFontLists();
// Draws printf-formatted text at the current raster position (at most PRINT_TEXT_MAX
// characters).
void PrintText(const char* format, ...);
// PrintText in the font whose lists start at font.
void PrintTextWith(GLuint font, const char* format, ...);
