// The viewer's process-wide records: one instance each, statically initialised,
// alive for the whole run. Every subsystem reads and writes them directly.
#pragma once

#include "platform/platform_api.h"

#include <cstdint>

// How far in front of the eye the cloud starts, and where R puts it back (scene units).
constexpr float HOME_POSITION_Z = -15.0f;

// Where the cloud sits and how it turns.
struct ViewState {
  float positionX = -3.0f;  // Scene units
  float positionY = 0.0f;   // Scene units
  float positionZ = HOME_POSITION_Z;  // Scene units
  float angleX = 0.0f;      // Degrees about X
  float angleY = 0.0f;      // Degrees about Y
  float angleZ = 0.0f;      // Degrees about Z
  float speedX = 0.0f;      // Degrees per frame about X
  float speedY = 0.0f;      // Degrees per frame about Y
  float speedZ = 0.0f;      // Degrees per frame about Z
};

// The measured frame rate and what it is measured from.
struct FrameRateMeter {
  float rate = 0.0f;                  // Frames per second; 0 until the first measurement
  int32_t frameCounter = 0;           // Frames since the last measurement
  uint32_t lastMeasurementTime = 0;   // Milliseconds of timeGetTime
  int32_t framesSinceSetUp = 0;       // Frames since the scene was last set up, for the
                                      // provisional rate before the first measurement
};

// Virtual-key codes run from 0 to 255.
constexpr int VIRTUAL_KEY_COUNT = 256;

// One flag per virtual-key code: 1 while the key is down. A key-down message also sets
// the key's pressed flag, which the main loop clears after each frame, so that a key that
// went down and up between two frames still counts for the next one; not while the window
// is minimised, where a key only counts while it is held.
struct KeyTable {
  uint8_t down[VIRTUAL_KEY_COUNT] = {};
  uint8_t pressed[VIRTUAL_KEY_COUNT] = {};
};

// The one window and its contexts.
struct WindowContext {
  HINSTANCE instance = nullptr;  // Module handle the class is registered under
  HWND window = nullptr;         // The viewer window
  HDC deviceContext = nullptr;   // The window's device context
  HGLRC renderingContext = nullptr;  // The OpenGL rendering context
  uint8_t active = 1;            // 0 while minimised; Escape quits only while 1
  uint8_t fullscreen = 0;        // Current display mode: 1 fullscreen, 0 windowed
};

// x, y and z of one point, in the file's own units.
struct PointRecord {
  float x;
  float y;
  float z;
};
static_assert(sizeof(PointRecord) == 12, "a point record is exactly three floats");

// The loaded cloud.
struct PointTable {
  int32_t count = 0;               // Number of records
  PointRecord* records = nullptr;  // count contiguous records, owned by the loader
};

// What the overlay shows about the loaded file.
struct LoadedFileInfo {
  const char* fileName = nullptr;  // As handed to the loader; not copied
  float vertexCounter = 0.0f;      // Line feeds of the loaded file
};

extern ViewState viewState;
extern FrameRateMeter frameRateMeter;
extern KeyTable keyTable;
extern WindowContext windowContext;
extern PointTable pointTable;
extern LoadedFileInfo loadedFileInfo;

// Puts every record back at its start value (for tests; the point table's records are
// not freed here).
void ResetAppState();
