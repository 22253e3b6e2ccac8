// The viewer's process-wide records: one instance each, statically initialised,
// alive for the whole run. Every subsystem reads and writes them directly.
#pragma once

#include "platform/platform_api.h"
#include "records/window_size.h"

#include <cstdint>
#include <string>

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

// One flag per virtual-key code: 1 while the key is down. A key-down message that is not an
// auto-repeat also sets the key's pressed flag, which the main loop clears after each frame,
// so that a key that went down and up between two frames still counts for the next one, and
// a switch (F, C, H) acts once per press however long the key is held; not while the window
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

// The cloud's extent without its strays, measured once per load: per axis, the 1st and 99th
// percentiles of an even sample of the points with finite coordinates.
struct CloudBounds {
  uint8_t measured = 0;  // 1 when the cloud has points with finite coordinates; 0 leaves the rest
  float lowX = 0.0f;     // File units
  float lowY = 0.0f;     // File units
  float lowZ = 0.0f;     // File units; the ramp's first colour
  float highX = 0.0f;    // File units
  float highY = 0.0f;    // File units
  float highZ = 0.0f;    // File units; the ramp's last colour
};

// One more model transform for the points alone, chosen once per load: the middle of the
// cloud's bounds drawn at the cloud's origin, scaled so that the cloud fills the start view.
struct FramingState {
  uint8_t framed = 0;     // 1 while the points are drawn through it; F switches
  float scale = 1.0f;     // Scene units per file unit
  float centreX = 0.0f;   // File units
  float centreY = 0.0f;   // File units
  float centreZ = 0.0f;   // File units
};

// Colour by height: the points coloured by a ramp over the cloud's bounds in z.
struct HeightColours {
  uint8_t on = 0;  // 1 while the ramp colours the points; C switches
  GLuint ramp = 0;  // The ramp's 1-D texture, of the current rendering context (0: none)
};

// What a drag of the mouse does: nothing, turn the cloud (left), move it (right, middle).
enum MouseDrag : uint8_t { DRAG_NONE = 0, DRAG_TURN = 1, DRAG_MOVE = 2 };

// What the mouse drags, and where the pointer was.
struct PointerState {
  uint8_t drag = DRAG_NONE;  // The drag under way (a MouseDrag)
  int32_t lastX = 0;         // Client pixels from the left, at the last press or move
  int32_t lastY = 0;         // Client pixels from the top, at the last press or move
  int32_t clientHeight = WINDOW_HEIGHT;  // Client pixels, from the last WM_SIZE (0 taken as 1)
};

// How many of the points a frame draws while the mouse moves the view: every stride-th, so that
// a drag on a cloud too big to draw whole at a steady pace answers at once.
struct FrameSampling {
  uint32_t wholeFrameMs = 0;  // Milliseconds the last frame of every point took to draw and show
  uint32_t lastFrameMs = 0;   // Milliseconds the last frame took, whatever it drew
  uint32_t wheelTime = 0;     // timeGetTime at the last notch of the wheel
  uint8_t wheelTurned = 0;    // 1 once the wheel has turned, so that wheelTime counts
  int32_t stride = 1;         // The frame draws every stride-th point (1: every one)
};

// What the overlay shows about the loaded file.
struct LoadedFileInfo {
  const char* fileName = nullptr;  // As handed to the loader; not copied
  float vertexCounter = 0.0f;      // Line feeds of the loaded file
};

// A file dropped on the window: the window procedure keeps its name until the main loop, between
// two frames, opens it in place of the cloud. The name of the one opened last stays for the
// overlay, apart from the one waiting, which a drop during its load may replace.
struct DroppedFile {
  uint8_t waiting = 0;  // 1 from the drop until the main loop takes it
  std::string name;     // The file dropped last (the first of its files)
  std::string opened;   // The dropped file opened last; loadedFileInfo.fileName points into it
};

extern ViewState viewState;
extern FrameRateMeter frameRateMeter;
extern KeyTable keyTable;
extern WindowContext windowContext;
extern PointTable pointTable;
extern LoadedFileInfo loadedFileInfo;
extern CloudBounds cloudBounds;
extern FramingState framingState;
extern HeightColours heightColours;
extern PointerState pointerState;
extern FrameSampling frameSampling;
extern DroppedFile droppedFile;

// Puts every record back at its start value (for tests; the point table's records are
// not freed here).
void ResetAppState();
