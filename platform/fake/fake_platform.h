// The test peer of the platform: every Win32 call of the seam, written down as a line of text
// with its arguments, and scriptable: failures, box answers, messages and the clock.
// Built on: nothing but the standard library (OpenGL calls go to the real GL library, which
// ignores them while no context is current).
// Leaves out: real windows and pixels, and the messages Windows sends on its own whose effect
// would only show in pixels (WM_SIZE) or nowhere (WM_CREATE, WM_SETFOCUS, WM_DESTROY, WM_CHAR),
// and what DefWindowProcA does (Alt+F4 and closing are end-to-end matters).
#pragma once

#include "platform/platform_api.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

// One handle the fake handed out. Calls name it by kind and number ("window1", "dc2", "rc1",
// "font1"); the shared ones are "module", "icon", "cursor" and "stockfont".
struct FakeHandle {
  std::string name;
  bool live;
  uintptr_t owner;     // the window of a device context
  uintptr_t selected;  // the font selected into a device context
};

struct FakePlatform {
  // Each call as "Name(arguments)", then " = handle" for a handle handed out or returned,
  // " failed" when the test made it fail, " refused" when the fake refuses it as Windows would.
  std::vector<std::string> calls;
  std::vector<std::string> misuse;  // calls given a handle that is no live one of its kind
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
  WNDPROC procedure = nullptr;        // of the registered class, null when none is
  int failSeen = 0;
  uintptr_t newestWindow = 0;         // where messages with a null hwnd go
  bool quitDelivered = false;
};

extern FakePlatform fakePlatform;

// Fresh fake, fresh application records and a fresh window module.
void ResetFakePlatform();

// The recorded calls whose line starts with the text, e.g. "MessageBoxA(".
std::vector<std::string> FakeCalls(const std::string& start);

// The message boxes shown, each as "text, caption, 0xtype" (their owner left out).
std::vector<std::string> FakeBoxes();

// Number of calls of this name, and the index in calls of the n-th (-1 when none).
int FakeCallCount(const std::string& name);
int FakeCallIndex(const std::string& name, int occurrence = 1);

// Windows, device contexts, rendering contexts and fonts handed out and not released.
int FakeLiveHandles();

// As on Windows: ShowWindow activates the window (WM_ACTIVATE); DestroyWindow releases its DCs;
// AdjustWindowRectEx adds an 8-pixel sizing border (3 thin) and a 23-pixel caption;
// UnregisterClassA is refused while a window lives.
