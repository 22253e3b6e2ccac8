// What the files of the native stand-in share with one another; never included by the core.
// Built on SDL2.
// Leaves out: everything a single window with one device context does not need.
#pragma once

#include <SDL.h>

#include "platform/platform_api.h"

// Windows (windows_sdl.cpp)
//

// Starts SDL's video subsystem on first need (no signal handlers); false if it cannot start.
bool SdlEnsureVideo();
// The SDL window behind a window handle, or null for a handle that is not (or no longer) a window.
SDL_Window* SdlWindowFromHandle(HWND window);
// Takes every window out of fullscreen; SDL puts the desktop's mode back with it.
void SdlLeaveFullscreen();
// Whether SDL's video subsystem has started (no events come before).
bool SdlVideoStarted();
// Calls a window's procedure directly, as SendMessage does on the window's own thread.
LRESULT SdlSendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Sends the messages Windows would send for one SDL window event.
void SdlSendWindowEvent(const SDL_WindowEvent& event);
// The window a key or mouse event belongs to, or null when there is no window.
HWND SdlKeyWindow(Uint32 windowId);
// Sends the close command to every window; false when there is none.
bool SdlCloseEveryWindow();
// The window a drop belongs to, or null when there is none or it takes no dropped files.
HWND SdlDropWindow(Uint32 windowId);

// End of the session (signals_sdl.cpp)
//

// Catches SIGTERM, SIGINT and SIGHUP from now on.
void SdlWatchEndSignals();
// True once after one of them came (then cleared).
bool SdlTakeEndRequest();
// Whether one of them came and was not taken yet.
bool SdlEndRequested();

// Message queue (messages_sdl.cpp)
//

// Drops the queued messages of a window that is being destroyed.
void SdlForgetWindowMessages(HWND window);

// Dropped files (drop_sdl.cpp)
//

// Takes one of SDL's drop events (and frees its name): the drop it completes, or null.
HDROP SdlGatherDrop(const SDL_DropEvent& event);

// Mouse capture (capture_sdl.cpp)
//

// Lets the mouse go when a window that had it is being destroyed.
void SdlForgetWindowCapture(HWND window);

// Device contexts (gdi_wgl_sdl.cpp)
//

// Asks SDL's GL attributes for the one pixel format ChoosePixelFormat offers; before any window.
void SdlRequestPixelFormat();
// True for a device context handed out by GetDC and not yet gone with its window.
bool SdlIsDeviceContext(HDC dc);
// The stock font every device context starts with.
HGDIOBJ SdlGetStockFont();
// The object selected into a device context (a stock font at first).
HGDIOBJ SdlGetDeviceContextFont(HDC dc);
void SdlSetDeviceContextFont(HDC dc, HGDIOBJ font);
// Forgets the device context of a window that is being destroyed.
void SdlForgetWindowDeviceContext(HWND window);

// Display mode (display_sdl.cpp)
//

// The fullscreen mode ChangeDisplaySettingsA accepted for the window created next, if any.
bool SdlGetPendingDisplayMode(SDL_DisplayMode* mode);

// Keyboard (keymap_sdl.cpp)
//

// The Windows virtual-key code of an SDL key (0 for keys the stand-in does not map).
int SdlKeyToVirtualKey(const SDL_Keysym* key);
