// The viewer window's fixed client size and colour depth, windowed and fullscreen.
#pragma once

constexpr int kWindowWidth = 800;   // Client area, pixels
constexpr int kWindowHeight = 600;  // Client area, pixels
constexpr int kColourBits = 32;     // Bits per pixel of the pixel format and the display mode
