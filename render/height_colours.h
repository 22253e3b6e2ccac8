// Colour by height: the points take their colour from a ramp over the cloud's bounds in z,
// through a 1-D texture of the rendering context and a texture coordinate OpenGL generates
// from each point's z, so the colours cost no memory per point.
#pragma once

// Texels of the ramp.
constexpr int HEIGHT_RAMP_TEXELS = 256;

// Makes the ramp's texture for the current rendering context (with the scene's set-up).
void BuildHeightRamp();
// Colours the points drawn next by their height in the file's units: the low bound's z takes
// the ramp's first colour, the high bound's its last, and heights beyond them the end colours.
void BeginHeightColours();
// Back to the plain colour, for the axes and the next frame's overlay.
void EndHeightColours();
