// The test peer of the platform: every Win32 call of the seam, written down as a line of text
// with its arguments, and scriptable: failures, box answers, messages and the clock.
// Built on: nothing but the standard library (OpenGL calls go to the real GL library, which
// ignores them while no context is current).
// Leaves out: real windows, real pixels.
#pragma once

#include "platform/platform_api.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

// One handle the fake handed out. Calls name it by kind and number: "window1", "dc2", "rc1",
// "font1"; the shared ones are "module", "icon", "cursor" and "stockfont".
struct FakeHandle {
  std::string name;
  bool live;
  uintptr_t owner;     // the window of a device context
  uintptr_t selected;  // the font selected into a device context
  bool pixelFormatSet; // a window's pixel format was set
};

struct FakePlatform {
  // Each call as "Name(arguments)", then " = handle" for a handle handed out, " failed" when
  // the test made it fail and " refused" when the fake refuses it as Windows would.
  std::vector<std::string> calls;
  std::vector<std::string> misuse;  // uses of handles that were not live ones of their kind
  std::string failCall;             // the call to fail ("" for none), at its failOccurrence-th time
  int failOccurrence = 1;
  std::deque<int> boxAnswers;       // answers of the next boxes; IDOK (IDYES for Yes/No) when empty
  std::deque<MSG> queue;            // what PeekMessageA takes; then one WM_QUIT once quitPosted
  bool quitPosted = false;
  int quitCode = 0;
  void (*afterPeek)(const MSG&) = nullptr;  // runs after each PeekMessageA, with what it took
  uint32_t clock = 0;               // what timeGetTime returns; it then moves on by clockStep
  uint32_t clockStep = 0;
  LONG displayChangeResult = DISP_CHANGE_SUCCESSFUL;  // the answer to a display-mode record
  LRESULT defWindowProcResult = 0;
  bool displayModeChanged = false;  // a mode was set and not yet restored
  int showCursorCount = 0;
  uintptr_t currentContext = 0;
  // The fake's own bookkeeping.
  std::map<uintptr_t, FakeHandle> handles;
  std::map<std::string, int> handed;  // handles handed out so far, by kind
  std::map<std::string, WNDPROC> classes;
  int failSeen = 0;
  int clientWidth = 0;                // the client size of the newest window
  int clientHeight = 0;
  uintptr_t newestWindow = 0;         // where messages with a null hwnd go
  bool quitDelivered = false;
};

extern FakePlatform fakePlatform;

// Fresh fake, fresh application records and a fresh window module.
void ResetFakePlatform();

// The recorded calls whose line starts with the text, e.g. "MessageBoxA(".
std::vector<std::string> FakeCalls(const std::string& start);

// Number of calls of this name, and the index in calls of the n-th (-1 when none).
int FakeCallCount(const std::string& name);
int FakeCallIndex(const std::string& name, int occurrence = 1);

// Windows, device contexts, rendering contexts and fonts handed out and not released.
int FakeLiveHandles();

// As on Windows: CreateWindowExA sends WM_CREATE and WM_SIZE (the client size left inside the
// frame AdjustWindowRectEx adds: 8 sizing border, 23 caption); ShowWindow sends WM_ACTIVATE and
// WM_SIZE, SetFocus WM_SETFOCUS, DestroyWindow WM_DESTROY (and releases the window's DCs);
// DefWindowProcA turns Alt+F4 into SC_CLOSE, SC_CLOSE into WM_CLOSE and WM_CLOSE into
// DestroyWindow; TranslateMessage adds WM_CHAR 27 for Escape. UnregisterClassA is refused while a
// window lives, SetPixelFormat a second time for one window, wglCreateContext before it.
