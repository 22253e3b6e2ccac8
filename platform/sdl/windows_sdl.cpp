// USER32's window classes and windows, KERNEL32's module handle, system icon and cursor, and
// SHELL32's DragAcceptFiles.
// Built on SDL2 windows; window events become the messages Windows sends for them.
// Leaves out: child windows, menus, WM_PAINT and non-client messages, CREATESTRUCT (WM_CREATE gets lParam 0),
// SDL's off-screen video drivers (unless SDL_VIDEODRIVER names one).
#include <cstring>
#include <string>
#include <strings.h>

#include "platform/sdl/standin_sdl.h"

namespace {

constexpr int STANDIN_MAX_CLASSES = 16;
constexpr int STANDIN_MAX_WINDOWS = 8;
constexpr int STANDIN_CLASS_NAME_LENGTH = 256;
// How long SetFocus waits for X to make a shown window viewable, and how often it looks.
constexpr int STANDIN_FOCUS_WAIT_MS = 2000;
constexpr int STANDIN_FOCUS_POLL_MS = 5;
// WM_ACTIVATE's wParam: the state in the low word, minimised in the high word.
constexpr uint32_t ACTIVATE_MINIMISED = 0x10000u;
// Class atoms, as RegisterClassA returns them, start here.
constexpr WORD FIRST_CLASS_ATOM = 0xC000;
// SDL's video drivers that show nothing on a screen.
const char* const kSdlOffscreenDrivers[] = {"offscreen", "dummy", "evdev"};

struct SdlClassRecord {
  bool used;
  char name[STANDIN_CLASS_NAME_LENGTH];
  HINSTANCE instance;
  WNDPROC procedure;
  int windowCount;  // Windows of this class still alive
};

struct SdlWindowRecord {
  bool used;
  SDL_Window* window;
  Uint32 windowId;
  int classIndex;
  WNDPROC procedure;
  bool shown;       // ShowWindow has shown it
  bool exposed;     // X has exposed it, so it is viewable and may take the focus
  bool minimised;   // The window manager has iconified it
  bool acceptsFiles;  // DragAcceptFiles: files dropped on it come as WM_DROPFILES
  int lastWidth;    // Client size last sent with WM_SIZE
  int lastHeight;
};

struct SdlWindowsState {
  bool videoStarted;
  bool watchInstalled;
  char moduleToken;  // Its address is the module handle
  char iconToken;    // Its address is the system icon
  char cursorToken;  // Its address is the system cursor
  HWND focused;      // Window SetFocus last gave the focus to
  SdlClassRecord classes[STANDIN_MAX_CLASSES];
  SdlWindowRecord windows[STANDIN_MAX_WINDOWS];
};

SdlWindowsState sdlWindows = {};

SdlWindowRecord* SdlFindWindowRecord(HWND window) {
  for (SdlWindowRecord& record : sdlWindows.windows) {
    if (record.used && reinterpret_cast<HWND>(&record) == window) return &record;
  }
  return nullptr;
}

SdlWindowRecord* SdlFindWindowById(Uint32 windowId) {
  for (SdlWindowRecord& record : sdlWindows.windows) {
    if (record.used && record.windowId == windowId) return &record;
  }
  return nullptr;
}

HWND SdlHandleOf(SdlWindowRecord* record) { return reinterpret_cast<HWND>(record); }

// Class names compare without regard to case, as on Windows.
int SdlFindClassIndex(LPCSTR name, HINSTANCE instance) {
  if (name == nullptr) return -1;
  for (int i = 0; i < STANDIN_MAX_CLASSES; ++i) {
    const SdlClassRecord& record = sdlWindows.classes[i];
    if (record.used && record.instance == instance && strcasecmp(record.name, name) == 0) return i;
  }
  return -1;
}

// Records which windows X has exposed; runs as SDL adds each event to its queue.
int SDLCALL SdlWatchExposure(void*, SDL_Event* event) {
  if (event->type == SDL_WINDOWEVENT &&
      (event->window.event == SDL_WINDOWEVENT_EXPOSED)) {
    SdlWindowRecord* record = SdlFindWindowById(event->window.windowID);
    if (record != nullptr) record->exposed = true;
  }
  return 0;
}

LPARAM SdlMakeSizeParam(int width, int height) {
  return static_cast<LPARAM>((static_cast<uint32_t>(height & 0xFFFF) << 16) |
                             static_cast<uint32_t>(width & 0xFFFF));
}

WPARAM SdlMakeActivateParam(int state, bool minimised) {
  return static_cast<WPARAM>((minimised ? ACTIVATE_MINIMISED : 0u) | static_cast<unsigned>(state));
}

// Sends WM_SIZE with the current client size unless that size was the last one sent.
void SdlSendClientSize(SdlWindowRecord* record, bool always) {
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(record->window, &width, &height);
  if (!always && width == record->lastWidth && height == record->lastHeight) return;
  record->lastWidth = width;
  record->lastHeight = height;
  SdlSendMessage(SdlHandleOf(record), WM_SIZE, SIZE_RESTORED, SdlMakeSizeParam(width, height));
}


// Lets SDL pick only among its drivers that show windows on a real display: without one that
// answers, video cannot start, so no window is made and the creation failure shows, where
// the off-screen drivers would draw unseen with nothing to quit them. A user's own
// SDL_VIDEODRIVER still wins over this hint.
void SdlChooseRealVideoDrivers() {
  std::string drivers;
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const char* name = SDL_GetVideoDriver(i);
    bool offscreen = false;
    for (const char* other : kSdlOffscreenDrivers) offscreen = offscreen || std::strcmp(name, other) == 0;
    if (!offscreen) drivers += (drivers.empty() ? "" : ",") + std::string(name);
  }
  SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
}

void SdlForgetWindowRecord(SdlWindowRecord* record) {
  HWND handle = SdlHandleOf(record);
  SdlForgetWindowMessages(handle);
  SdlForgetWindowDeviceContext(handle);
  SdlForgetWindowCapture(handle);
  if (sdlWindows.focused == handle) sdlWindows.focused = nullptr;
  if (record->classIndex >= 0) --sdlWindows.classes[record->classIndex].windowCount;
  *record = {};
}

}  // namespace


// Calls a window's procedure directly, as SendMessage does on the window's own thread.
LRESULT SdlSendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SdlWindowRecord* record = SdlFindWindowRecord(window);
  if (record == nullptr || record->procedure == nullptr) return 0;
  return record->procedure(window, message, wParam, lParam);
}

// Turns one SDL window event into the messages Windows would send for it.
void SdlSendWindowEvent(const SDL_WindowEvent& event) {
  SdlWindowRecord* record = SdlFindWindowById(event.windowID);
  if (record == nullptr) return;
  HWND handle = SdlHandleOf(record);
  switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      if (!record->minimised) SdlSendClientSize(record, false);
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      if (record->minimised) break;
      record->minimised = true;
      SdlSendMessage(handle, WM_ACTIVATE, SdlMakeActivateParam(WA_INACTIVE, true), 0);
      record->lastWidth = 0;
      record->lastHeight = 0;
      SdlSendMessage(handle, WM_SIZE, SIZE_MINIMIZED, 0);
      break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      if (!record->minimised) {
        SdlSendClientSize(record, false);
        break;
      }
      record->minimised = false;
      SdlSendClientSize(record, true);
      SdlSendMessage(handle, WM_ACTIVATE, SdlMakeActivateParam(WA_ACTIVE, false), 0);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      SdlSendMessage(handle, WM_ACTIVATE, SdlMakeActivateParam(WA_ACTIVE, record->minimised), 0);
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      SdlSendMessage(handle, WM_ACTIVATE, SdlMakeActivateParam(WA_INACTIVE, record->minimised), 0);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      // The window manager's close button or menu: the system command, as on Windows.
      SdlSendMessage(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    default:
      break;
  }
}

// The window a key event belongs to: its own, or the one window while the focus moves.
HWND SdlKeyWindow(Uint32 windowId) {
  SdlWindowRecord* record = SdlFindWindowById(windowId);
  if (record != nullptr) return SdlHandleOf(record);
  for (SdlWindowRecord& candidate : sdlWindows.windows) {
    if (candidate.used) return SdlHandleOf(&candidate);
  }
  return nullptr;
}

// The window a drop belongs to, when it takes dropped files.
HWND SdlDropWindow(Uint32 windowId) {
  SdlWindowRecord* record = SdlFindWindowById(windowId);
  return record != nullptr && record->acceptsFiles ? SdlHandleOf(record) : nullptr;
}

// The close command to every window, as the window manager's close button sends it.
bool SdlCloseEveryWindow() {
  bool any = false;
  for (SdlWindowRecord& record : sdlWindows.windows) {
    if (!record.used) continue;
    any = true;
    SdlSendMessage(SdlHandleOf(&record), WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  return any;
}

bool SdlVideoStarted() { return sdlWindows.videoStarted; }

// Starts SDL video once, with the GL attributes of the stand-in's single pixel format.
bool SdlEnsureVideo() {
  if (sdlWindows.videoStarted) return true;
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SdlChooseRealVideoDrivers();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  SdlRequestPixelFormat();
  SDL_StopTextInput();
  if (!sdlWindows.watchInstalled) {
    SDL_AddEventWatch(SdlWatchExposure, nullptr);
    SdlWatchEndSignals();
    sdlWindows.watchInstalled = true;
  }
  sdlWindows.videoStarted = true;
  return true;
}

SDL_Window* SdlWindowFromHandle(HWND window) {
  SdlWindowRecord* record = SdlFindWindowRecord(window);
  return record != nullptr ? record->window : nullptr;
}

void SdlLeaveFullscreen() {
  for (SdlWindowRecord& record : sdlWindows.windows) {
    if (record.used && (SDL_GetWindowFlags(record.window) & SDL_WINDOW_FULLSCREEN) != 0) {
      SDL_SetWindowFullscreen(record.window, 0);
    }
  }
}

extern "C" {

// The module handle: a fixed non-null token for this executable; other modules are not found.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName != nullptr) return nullptr;
  return reinterpret_cast<HMODULE>(&sdlWindows.moduleToken);
}

// The system icon and cursor are fixed tokens; resources of the executable are not supported.
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
  if (instance != nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<HICON>(&sdlWindows.iconToken);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  if (instance != nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<HCURSOR>(&sdlWindows.cursorToken);
}

// Adds a class to the name table. As on Windows, no display is needed yet: video starts with
// the first window or display mode.
WORD WINAPI RegisterClassA(const WNDCLASSA* wndClass) {
  if (wndClass == nullptr || wndClass->lpszClassName == nullptr ||
      wndClass->lpfnWndProc == nullptr) {
    return 0;
  }
  if (std::strlen(wndClass->lpszClassName) >= static_cast<size_t>(STANDIN_CLASS_NAME_LENGTH)) return 0;
  if (SdlFindClassIndex(wndClass->lpszClassName, wndClass->hInstance) >= 0) return 0;
  for (int i = 0; i < STANDIN_MAX_CLASSES; ++i) {
    SdlClassRecord& record = sdlWindows.classes[i];
    if (record.used) continue;
    record = {};
    record.used = true;
    std::strcpy(record.name, wndClass->lpszClassName);
    record.instance = wndClass->hInstance;
    record.procedure = wndClass->lpfnWndProc;
    return static_cast<WORD>(FIRST_CLASS_ATOM + i);
  }
  return 0;
}

// Removes a class; fails for an unknown name or while windows of the class are alive.
BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
  int index = SdlFindClassIndex(className, instance);
  if (index < 0) return FALSE;
  if (sdlWindows.classes[index].windowCount > 0) return FALSE;
  sdlWindows.classes[index] = {};
  return TRUE;
}

// The X window manager's frame lies outside the client area, so the rectangle stays as it is.
BOOL WINAPI AdjustWindowRectEx(RECT* rect, DWORD, BOOL, DWORD) { return rect != nullptr; }

// A hidden OpenGL-capable SDL window of the client size asked for, fullscreen in the mode
// ChangeDisplaySettingsA granted if any; sends WM_CREATE and WM_SIZE. NULL when it cannot be made.
HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU, HINSTANCE instance,
                            LPVOID) {
  if (parent != nullptr) return nullptr;
  int classIndex = SdlFindClassIndex(className, instance);
  if (classIndex < 0) return nullptr;
  if (!SdlEnsureVideo()) return nullptr;
  SdlWindowRecord* record = nullptr;
  for (SdlWindowRecord& candidate : sdlWindows.windows) {
    if (!candidate.used) {
      record = &candidate;
      break;
    }
  }
  if (record == nullptr || width <= 0 || height <= 0) return nullptr;

  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  if ((style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
  if ((style & WS_THICKFRAME) != 0) flags |= SDL_WINDOW_RESIZABLE;
  SDL_DisplayMode mode = {};
  bool fullscreen = SdlGetPendingDisplayMode(&mode);
  if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN;
  SDL_Window* window =
      SDL_CreateWindow(windowName != nullptr ? windowName : "", x, y, width, height, flags);
  if (window == nullptr) return nullptr;
  // The mode ChangeDisplaySettingsA granted is put on this window here; were SDL to refuse it,
  // the creation fails, where the caller checks.
  if (fullscreen && SDL_SetWindowDisplayMode(window, &mode) != 0) {
    SDL_DestroyWindow(window);
    return nullptr;
  }

  *record = {};
  record->used = true;
  record->window = window;
  record->windowId = SDL_GetWindowID(window);
  record->classIndex = classIndex;
  record->procedure = sdlWindows.classes[classIndex].procedure;
  ++sdlWindows.classes[classIndex].windowCount;
  HWND handle = SdlHandleOf(record);
  if (SdlSendMessage(handle, WM_CREATE, 0, 0) == -1) {
    SdlSendMessage(handle, WM_DESTROY, 0, 0);
    SdlForgetWindowRecord(record);
    SDL_DestroyWindow(window);
    return nullptr;
  }
  // SDL gives no size event at creation; Windows sends one from inside this call.
  SdlSendClientSize(record, true);
  return handle;
}

// Sends WM_DESTROY, then destroys the SDL window and forgets its queued messages and device context.
BOOL WINAPI DestroyWindow(HWND window) {
  SdlWindowRecord* record = SdlFindWindowRecord(window);
  if (record == nullptr) return FALSE;
  SdlSendMessage(window, WM_DESTROY, 0, 0);
  // The procedure may have destroyed the window itself.
  record = SdlFindWindowRecord(window);
  if (record == nullptr) return TRUE;
  SDL_Window* sdlWindow = record->window;
  SdlForgetWindowRecord(record);
  SDL_DestroyWindow(sdlWindow);
  return TRUE;
}

// Shows or hides the window; the first show activates it, as on Windows. Returns the previous visibility.
BOOL WINAPI ShowWindow(HWND window, int command) {
  SdlWindowRecord* record = SdlFindWindowRecord(window);
  if (record == nullptr) return FALSE;
  BOOL wasVisible = record->shown ? TRUE : FALSE;
  if (command == SW_HIDE) {
    SDL_HideWindow(record->window);
    record->shown = false;
    record->exposed = false;
    return wasVisible;
  }
  SDL_ShowWindow(record->window);
  record->shown = true;
  if (!wasVisible) SdlSendMessage(window, WM_ACTIVATE, SdlMakeActivateParam(WA_ACTIVE, false), 0);
  return wasVisible;
}

// Files dropped on the window come to it as WM_DROPFILES, or no more.
void WINAPI DragAcceptFiles(HWND window, BOOL accept) {
  SdlWindowRecord* record = SdlFindWindowRecord(window);
  if (record != nullptr) record->acceptsFiles = accept != FALSE;
}

BOOL WINAPI SetForegroundWindow(HWND window) {
  SdlWindowRecord* record = SdlFindWindowRecord(window);
  if (record == nullptr) return FALSE;
  SDL_RaiseWindow(record->window);
  return TRUE;
}

// Gives the window the keyboard focus: the window that had it before (NULL for none), or NULL,
// as on Windows, when the window cannot take it (unknown, not shown, minimised, not viewable
// in time, or refused by X); the focus then stays where it was.
HWND WINAPI SetFocus(HWND window) {
  HWND previous = sdlWindows.focused;
  SdlWindowRecord* record = SdlFindWindowRecord(window);
  if (record == nullptr || !record->shown) return nullptr;
  // X answers a focus request for a window it has not made viewable yet with BadMatch, which
  // ends the process; right after ShowWindow that happens (more often while a window manager
  // starts), so the focus waits for the window's first exposure, for STANDIN_FOCUS_WAIT_MS at most.
  Uint32 start = SDL_GetTicks();
  while (!record->exposed && SDL_GetTicks() - start < static_cast<Uint32>(STANDIN_FOCUS_WAIT_MS)) {
    // Pumping only fills SDL's queue; the exposure watch sees each event, nothing is taken out.
    SDL_PumpEvents();
    if (!record->exposed) SDL_Delay(STANDIN_FOCUS_POLL_MS);
  }
  Uint32 flags = SDL_GetWindowFlags(record->window);
  if (!record->exposed || (flags & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) != 0) return nullptr;
  if (SDL_SetWindowInputFocus(record->window) != 0) return nullptr;
  sdlWindows.focused = window;
  return previous;
}

}  // extern "C"
