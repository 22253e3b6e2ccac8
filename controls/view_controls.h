// Per-frame keyboard handling: rotation speeds, position, reset and point size.
#pragma once

// Turns the held keys into changes of the view; needs the rendering context current.
void ApplyViewControls();

// The point size the held digit keys ask for (1 to 10), 0 when no digit is held.
int SelectedPointSize();
