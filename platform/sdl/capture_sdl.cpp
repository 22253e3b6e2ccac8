// USER32's SetCapture and ReleaseCapture.
// Built on SDL2's SDL_CaptureMouse, which keeps the mouse's events coming to the window with
// the keyboard focus while the pointer is outside it.
// Leaves out: WM_CAPTURECHANGED, and capture for a window without the focus (SDL refuses it;
// the window is still recorded as the capture, as the core only pairs the two calls).
#include "platform/sdl/standin_sdl.h"

namespace {

struct SdlCaptureState {
  HWND window;  // The window SetCapture was last given, until ReleaseCapture
};

SdlCaptureState sdlCapture = {};

}  // namespace

void SdlForgetWindowCapture(HWND window) {
  if (sdlCapture.window != window) return;
  SDL_CaptureMouse(SDL_FALSE);
  sdlCapture.window = nullptr;
}

extern "C" {

// Returns the window that had the capture before (NULL for none).
HWND WINAPI SetCapture(HWND window) {
  HWND previous = sdlCapture.window;
  if (SdlWindowFromHandle(window) == nullptr) return previous;
  SDL_CaptureMouse(SDL_TRUE);
  sdlCapture.window = window;
  return previous;
}

// Lets the mouse go; TRUE, as on Windows, also when no window had it.
BOOL WINAPI ReleaseCapture(void) {
  if (sdlCapture.window != nullptr) SDL_CaptureMouse(SDL_FALSE);
  sdlCapture.window = nullptr;
  return TRUE;
}

}  // extern "C"
