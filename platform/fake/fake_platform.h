// The test peer of the platform: every Win32 call of the seam, recorded.
// Built on: nothing but the standard library (OpenGL calls go to the real GL library,
// which ignores them while no context is current).
// Leaves out: real windows, real pixels.
#pragma once

#include "platform/platform_api.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// One call the core made, by its Win32 name, with the handle it concerned (if any).
struct FakeCall {
  std::string name;       // e.g. "CreateWindowExA"
  uintptr_t handle = 0;   // the main handle argument or result, 0 when none
  bool failed = false;    // the fake made this call fail
};

// One message box the user would have seen.
struct FakeMessageBox {
  HWND owner;
  std::string text;
  std::string caption;
  UINT type;
  int answer;
};

struct FakePlatform {
  std::vector<FakeCall> calls;             // every call, in order
  std::vector<FakeMessageBox> boxes;       // every message box, in order
  std::deque<int> boxAnswers;              // scripted answers; IDOK (or IDYES/IDNO) when empty
  std::string failCall;                    // name of the call to fail ("" for none)
  int failOccurrence = 1;                  // which occurrence of failCall fails (1 = first)
  int callCounts = 0;                      // internal: occurrences of failCall seen so far
  std::deque<MSG> queue;                   // scripted messages returned by PeekMessageA
  bool quitPosted = false;                 // PostQuitMessage was called
  int quitCode = 0;
  uint32_t clock = 0;                      // what timeGetTime returns
  uint32_t clockStep = 0;                  // added to clock after each timeGetTime
  LONG displayChangeResult = DISP_CHANGE_SUCCESSFUL;  // ChangeDisplaySettingsA(record) result
  int showCursorCount = 0;                 // ShowCursor's display counter
  // Live handles the fake has handed out and not yet seen released, and every release
  // of a handle that was not live (double release or use after release).
  std::vector<uintptr_t> live;
  std::vector<std::string> misuse;
  // A hook the test can set to run after each PeekMessageA (e.g. to script minimise).
  void (*afterPeek)(const MSG&) = nullptr;
};

extern FakePlatform fakePlatform;

// Fresh fake and fresh application records, for the start of each test.
void ResetFakePlatform();

// Number of recorded calls with this name.
int FakeCallCount(const std::string& name);
