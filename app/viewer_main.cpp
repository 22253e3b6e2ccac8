// The viewer's entry function: load, open the window, run the loop, shut down.
#include "app/viewer_main.h"

#include "app/load_progress.h"
#include "controls/help_box.h"
#include "controls/view_controls.h"
#include "pointdata/cloud_bounds.h"
#include "pointdata/point_file.h"
#include "records/app_state.h"
#include "records/texts.h"
#include "records/window_size.h"
#include "render/frame.h"
#include "render/frame_sampling.h"
#include "render/framing.h"
#include "render/scene.h"
#include "window/message_pump.h"
#include "window/viewer_window.h"

// The command-line tail names the file; an empty tail means the bundled default.
static const char* ChoosePointFile(const char* commandLine) {
  if (commandLine != nullptr && commandLine[0] != '\0') return commandLine;
  return DEFAULT_POINT_FILE;
}

// Opens the window in the given mode.
static bool OpenViewerWindow(bool fullscreen) {
  return CreateViewerWindow(VIEWER_TITLE, WINDOW_WIDTH, WINDOW_HEIGHT, COLOUR_BITS, fullscreen);
}

// Escape ends the run only while the window is not minimised.
static bool EscapeRequested() {
  return windowContext.active != 0 && KeyDown(VK_ESCAPE);
}

// Loads a point file and frames it: the same at the start and for a file dropped on the window.
// The messages handed on during a long load count as retrieved by the loop (the last in *last).
static void OpenPointFile(const char* name, MSG* last) {
  LoadPointFileShowingProgress(name, last);
  MeasureCloudBounds();
  ChooseFraming();
}

// A file dropped on the window replaces the cloud, with the view reset as R resets it. Its name
// is kept for the overlay until the next drop is opened.
static void OpenDroppedFileIfAny(MSG* last) {
  if (!droppedFile.waiting) return;
  droppedFile.waiting = 0;
  droppedFile.opened = droppedFile.name;
  OpenPointFile(droppedFile.opened.c_str(), last);
  ResetView();
  RestartFrameClock();
}

// Draws one frame, shows it and applies the held keys; H shows the help.
static void RunFrame() {
  ChooseFrameSampling();
  const uint32_t start = timeGetTime();
  DrawFrame();
  SwapBuffers(windowContext.deviceContext);
  NoteFrameTime(start);
  ApplyViewControls();
  ShowHelpIfAsked();
}

// F1: rebuild the window in the other display mode; false when that fails. Each key-down
// message of F1 asks once: its flags are cleared here, and the frame's presses are over.
static bool SwitchDisplayModeIfAsked() {
  const bool asked = KeyDown(VK_F1);
  keyTable.down[VK_F1] = 0;
  ForgetKeyPresses();
  if (!asked) return true;
  DestroyViewerWindow();
  windowContext.fullscreen = windowContext.fullscreen ? 0 : 1;
  return OpenViewerWindow(windowContext.fullscreen != 0);
}

// Loads the file, opens the window, runs the loop and returns the exit code.
int ViewerMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  MSG message = {};
  OpenPointFile(ChoosePointFile(commandLine), &message);
  windowContext.fullscreen = 0;
  if (!OpenViewerWindow(false)) {
    ReleasePointTable();
    return 0;
  }
  while (PumpMessages(&message) && !EscapeRequested()) {
    OpenDroppedFileIfAny(&message);
    RunFrame();
    if (!SwitchDisplayModeIfAsked()) {
      ReleasePointTable();
      return 0;
    }
  }
  DestroyViewerWindow();
  ReleasePointTable();
  return static_cast<int>(message.wParam);
}
