// The test peer of the platform for the unit tests of the core's pure logic (loader, controls,
// frame-rate meter, command tail, window procedure, framing, mouse): a clock the test sets, and
// the calls that show what the user would see (message boxes) or what the window procedure hands
// on or asks for (the mouse's capture).
// Built on: nothing but the standard library (OpenGL calls go to the real GL library, which
// ignores them while no context is current).
// Leaves out: windows, contexts, fonts and messages; window creation and the main loop are
// tested on the real program (tests/e2e).
#pragma once

#include "platform/platform_api.h"

#include <cstdint>
#include <string>
#include <vector>

struct FakePlatform {
  std::vector<std::string> boxes;  // each box shown: "text, caption, 0xtype"
  // "DefWindowProcA(window, 0xmessage, 0xwParam, 0xlParam)", "PostQuitMessage(code)",
  // "SetCapture(window)" and "ReleaseCapture()".
  std::vector<std::string> calls;
  uint32_t clock = 0;  // what timeGetTime returns; it then moves on by clockStep
  uint32_t clockStep = 0;
  LRESULT defWindowProcResult = 0;
};

extern FakePlatform fakePlatform;

// Fresh fake and fresh application records.
void ResetFakePlatform();

// The message boxes shown, each as "text, caption, 0xtype" (their owner left out).
inline std::vector<std::string> FakeBoxes() { return fakePlatform.boxes; }
