// USER32's ChangeDisplaySettingsA and ShowCursor.
// Built on SDL2's display modes and fullscreen windows, on the first display only.
// Leaves out: registry updates, refresh rates, positions; the mode takes effect on the window created next.
#include "platform/sdl/standin_sdl.h"

namespace {

constexpr int STANDIN_DISPLAY = 0;

struct SdlDisplayState {
  bool pending;                 // A fullscreen mode waits for the next window
  SDL_DisplayMode pendingMode;  // That mode, exactly as the display lists it
  int cursorCount;              // ShowCursor's display counter; the cursor shows while >= 0
};

SdlDisplayState sdlDisplay = {};

// Looks for a mode of exactly this size and depth; SDL reports 24-bit depth as 4 bytes, so bytes are compared.
bool SdlFindExactMode(int width, int height, int bitsPerPixel, SDL_DisplayMode* found) {
  int count = SDL_GetNumDisplayModes(STANDIN_DISPLAY);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode = {};
    if (SDL_GetDisplayMode(STANDIN_DISPLAY, i, &mode) != 0) continue;
    if (mode.w != width || mode.h != height) continue;
    if (static_cast<int>(SDL_BYTESPERPIXEL(mode.format)) * 8 != bitsPerPixel) continue;
    *found = mode;
    return true;
  }
  return false;
}

}  // namespace

bool SdlGetPendingDisplayMode(SDL_DisplayMode* mode) {
  if (!sdlDisplay.pending) return false;
  *mode = sdlDisplay.pendingMode;
  return true;
}

extern "C" {

// A mode the display offers exactly is kept for the next window (DISP_CHANGE_SUCCESSFUL); any other
// is DISP_CHANGE_BADMODE. SDL is given the mode only with that window, so a refusal then makes
// CreateWindowExA fail.
LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD) {
  if (!SdlEnsureVideo()) return DISP_CHANGE_FAILED;
  if (mode == nullptr) {
    sdlDisplay.pending = false;
    SdlLeaveFullscreen();
    return DISP_CHANGE_SUCCESSFUL;
  }
  SDL_DisplayMode desktop = {};
  if (SDL_GetDesktopDisplayMode(STANDIN_DISPLAY, &desktop) != 0) return DISP_CHANGE_FAILED;
  // Fields left out of the mask keep the desktop's values.
  int width = (mode->dmFields & DM_PELSWIDTH) != 0 ? static_cast<int>(mode->dmPelsWidth) : desktop.w;
  int height =
      (mode->dmFields & DM_PELSHEIGHT) != 0 ? static_cast<int>(mode->dmPelsHeight) : desktop.h;
  int bits = (mode->dmFields & DM_BITSPERPEL) != 0
                 ? static_cast<int>(mode->dmBitsPerPel)
                 : static_cast<int>(SDL_BYTESPERPIXEL(desktop.format)) * 8;
  SDL_DisplayMode found = {};
  if (!SdlFindExactMode(width, height, bits, &found)) return DISP_CHANGE_BADMODE;
  sdlDisplay.pending = true;
  sdlDisplay.pendingMode = found;
  return DISP_CHANGE_SUCCESSFUL;
}

// Counts up or down and shows the cursor while the count is not negative; returns the new count.
int WINAPI ShowCursor(BOOL show) {
  sdlDisplay.cursorCount += show ? 1 : -1;
  if (SdlEnsureVideo()) SDL_ShowCursor(sdlDisplay.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return sdlDisplay.cursorCount;
}

}  // extern "C"
