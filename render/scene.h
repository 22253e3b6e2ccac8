// OpenGL state that outlives a frame: pipeline set-up, projection, the overlay font.
#pragma once

#include "platform/platform_api.h"

// First of the 96 glyph display lists (character codes 32 to 127).
extern GLuint OverlayFont;

// Sets the fixed pipeline state, builds the font lists and starts the frame-rate clock.
bool InitScene();
// Sets the viewport and the 45-degree perspective for a client area (height 0 is taken as 1).
void ResizeScene(int width, int height);
void BuildFontLists();
void FreeFontLists();
// Draws printf-formatted text at the current raster position (at most 255 characters).
void PrintText(const char* format, ...);
