// The window a long load shows its progress in: a small window of its own class, drawn with
// OpenGL and the overlay's font, beside (or before) the viewer window. It is a courtesy: when it
// cannot be made, the load goes on without it, and nothing is reported.
#pragma once

#include <cstdint>

// Opens the progress window for the named file; false when it cannot be made.
bool OpenProgressWindow(const char* name);

// Draws how far the load has come (0 to 1) and the points read so far, and shows it.
void DrawProgress(double done, uint64_t points);

// Closes the progress window, and makes the viewer window's rendering context current again
// when there is one.
void CloseProgressWindow();
