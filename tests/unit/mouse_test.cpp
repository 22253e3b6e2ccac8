// The mouse through the window procedure: what each drag and the wheel do to the view, and
// the capture it asks for.
#include "records/app_state.h"
#include "tests/fake/fake_platform.h"
#include "window/window_proc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Message {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// A client point as Windows packs it.
LPARAM At(int x, int y) { return static_cast<LPARAM>(((y & 0xFFFF) << 16) | (x & 0xFFFF)); }
// The wheel's wParam for delta.
WPARAM Wheel(int delta) { return static_cast<WPARAM>((delta & 0xFFFF) << 16); }

// From the start position, spinning at speeds (0.5, -0.25, 1) in an 800 x 600 client area:
// the view after the messages, and the calls they made.
TEST(Mouse, DragsAndWheel) {
  const struct {
    const char* name;
    std::vector<Message> messages;
    ViewState view;
    std::vector<std::string> calls;
  } cases[] = {
      {"a left drag turns half a degree a pixel",
       {{WM_LBUTTONDOWN, MK_LBUTTON, At(100, 200)}, {WM_MOUSEMOVE, MK_LBUTTON, At(140, 190)},
        {WM_MOUSEMOVE, MK_LBUTTON, At(150, 196)}},
       {-3, 0, -15, -2, 25, 0, 0, 0, 0}, {"SetCapture(42)"}},
      {"left of the client area, captured",
       {{WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10)}, {WM_MOUSEMOVE, MK_LBUTTON, At(-20, 10)}},
       {-3, 0, -15, 0, -15, 0, 0, 0, 0}, {"SetCapture(42)"}},
      {"a middle drag moves the cloud, 0.062 units a pixel at its depth in 300 rows",
       {{WM_SIZE, 0, At(800, 300)}, {WM_MBUTTONDOWN, MK_MBUTTON, At(0, 0)}, {WM_MOUSEMOVE, MK_MBUTTON, At(10, 0)}},
       {-2.37867975f, 0, -15, 0, 0, 0, 0, 0, 0}, {"SetCapture(42)"}},
      {"a release ends the drag and lets the mouse go",
       {{WM_LBUTTONDOWN, MK_LBUTTON, At(0, 0)}, {WM_LBUTTONUP, 0, At(0, 0)}, {WM_MOUSEMOVE, 0, At(50, 50)}},
       {-3, 0, -15, 0, 0, 0, 0, 0, 0}, {"SetCapture(42)", "ReleaseCapture()"}},
      {"a move without the drag's button ends it",
       {{WM_LBUTTONDOWN, MK_LBUTTON, At(0, 0)}, {WM_MOUSEMOVE, MK_RBUTTON, At(50, 50)}},
       {-3, 0, -15, 0, 0, 0, 0, 0, 0}, {"SetCapture(42)", "ReleaseCapture()"}},
      {"no drag without a press", {{WM_MOUSEMOVE, MK_LBUTTON, At(50, 50)}, {WM_LBUTTONUP, 0, At(50, 50)}},
       {-3, 0, -15, 0, 0, 0, 0.5f, -0.25f, 1}, {}},
      {"the wheel forward: a quarter nearer a notch", {{WM_MOUSEWHEEL, Wheel(120), 0}},
       {-3, 0, -9.375f, 0, 0, 0, 0.5f, -0.25f, 1}, {}},
      {"the wheel back stops at a million", {{WM_MOUSEWHEEL, Wheel(-32760), 0}},
       {-3, 0, -999992.5f, 0, 0, 0, 0.5f, -0.25f, 1}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetFakePlatform();
    viewState.speedX = 0.5f;
    viewState.speedY = -0.25f;
    viewState.speedZ = 1.0f;
    for (const Message& m : c.messages) EXPECT_EQ(0, ViewerWindowProc((HWND)42, m.message, m.wParam, m.lParam));
    EXPECT_EQ(0, std::memcmp(&c.view, &viewState, sizeof viewState));
    EXPECT_EQ(c.calls, fakePlatform.calls);
  }
}

}  // namespace
