// Colour by height (see height_colours.h).
#include "render/height_colours.h"

#include "records/app_state.h"

#include <cfloat>
#include <cmath>

namespace {

// A colour of the ramp: red, green, blue.
struct RampColour {
  float red, green, blue;
};

// From dark violet through blue, teal and green to pale yellow, evenly apart, each lighter
// than the one before (relative luminance 30, 63, 95, 125, 162, 199, 229 of 255), so that
// a higher point always looks lighter, also to the colour-blind.
constexpr RampColour RAMP_STOPS[] = {
    {48, 18, 96}, {40, 60, 160}, {20, 110, 170}, {20, 155, 140},
    {90, 190, 90}, {190, 215, 60}, {250, 235, 110},
};
constexpr int RAMP_STOP_COUNT = sizeof RAMP_STOPS / sizeof RAMP_STOPS[0];

// The ramp's colour at share t (0 to 1) of its length, as bytes.
void RampColourAt(double t, GLubyte* texel) {
  const double place = t * (RAMP_STOP_COUNT - 1);
  const int stop = place >= RAMP_STOP_COUNT - 1 ? RAMP_STOP_COUNT - 2 : static_cast<int>(place);
  const double blend = place - stop;
  const RampColour& a = RAMP_STOPS[stop];
  const RampColour& b = RAMP_STOPS[stop + 1];
  texel[0] = static_cast<GLubyte>(a.red + (b.red - a.red) * blend + 0.5);
  texel[1] = static_cast<GLubyte>(a.green + (b.green - a.green) * blend + 0.5);
  texel[2] = static_cast<GLubyte>(a.blue + (b.blue - a.blue) * blend + 0.5);
}

}  // namespace

// Nearest texels and clamped coordinates: heights beyond the bounds take the end colours
// whole (a linear filter would blend them with the texture's black border); the texture's
// colour replaces the point's.
void BuildHeightRamp() {
  GLubyte texels[HEIGHT_RAMP_TEXELS * 3];
  for (int i = 0; i < HEIGHT_RAMP_TEXELS; ++i) {
    RampColourAt(i / static_cast<double>(HEIGHT_RAMP_TEXELS - 1), &texels[i * 3]);
  }
  glGenTextures(1, &heightColours.ramp);
  glBindTexture(GL_TEXTURE_1D, heightColours.ramp);
  glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB, HEIGHT_RAMP_TEXELS, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
}

// The texture coordinate is (z - low) / (high - low) of the point's own z, in the file's units
// whatever the framing; a cloud of one height takes the ramp's middle.
void BeginHeightColours() {
  const double low = cloudBounds.lowZ;
  const double range = static_cast<double>(cloudBounds.highZ) - low;
  GLfloat plane[4] = {0.0f, 0.0f, 0.0f, 0.5f};
  // A range so small that its factors pass a float's range counts as none.
  if (range > 0.0 && 1.0 / range <= FLT_MAX && std::fabs(low / range) <= FLT_MAX) {
    plane[2] = static_cast<GLfloat>(1.0 / range);
    plane[3] = static_cast<GLfloat>(-low / range);
  }
  glBindTexture(GL_TEXTURE_1D, heightColours.ramp);
  glTexGenfv(GL_S, GL_OBJECT_PLANE, plane);
  glEnable(GL_TEXTURE_GEN_S);
  glEnable(GL_TEXTURE_1D);
}

// Texturing off, and its coordinate no longer generated.
void EndHeightColours() {
  glDisable(GL_TEXTURE_1D);
  glDisable(GL_TEXTURE_GEN_S);
}
