// The viewer window's fixed client size and colour depth, windowed and fullscreen.
#pragma once

constexpr int WINDOW_WIDTH = 800;   // Client area, pixels
constexpr int WINDOW_HEIGHT = 600;  // Client area, pixels
constexpr int COLOUR_BITS = 32;     // Bits per pixel of the pixel format and the display mode
