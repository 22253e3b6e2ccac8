// The window procedure: the effects of its messages that the end-to-end keys and mouse do not
// show, on the key table, the active flag and the view, and what it hands on to DefWindowProcA
// or asks of the mouse's capture.
#include "records/app_state.h"
#include "tests/fake/fake_platform.h"
#include "window/window_proc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Each message from active flag 2 (neither value) with Up and Right held: the flags after it,
// and the calls it made (a message handed to DefWindowProcA unchanged returns its result). A
// key's first key-down is a press (F, C and H act once a press); an auto-repeat only holds it.
TEST(ViewerWindowProc, MessageTable) {
  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int active;
    std::vector<int> held, pressed;
    std::vector<std::string> calls;
  } cases[] = {
      {"deactivated, not minimised", WM_ACTIVATE, WA_INACTIVE, 0, 1, {VK_UP, VK_RIGHT}, {}, {}},
      {"minimised, low word active", WM_ACTIVATE, 0x10000 | WA_ACTIVE, 0, 0, {VK_UP, VK_RIGHT}, {}, {}},
      {"key down: a press", WM_KEYDOWN, 'F', 0, 2, {VK_UP, VK_RIGHT, 'F'}, {'F'}, {}},
      {"auto-repeat: held only", WM_KEYDOWN, 'F', 1 << 30, 2, {VK_UP, VK_RIGHT, 'F'}, {}, {}},
      {"system key down", WM_SYSKEYDOWN, VK_LEFT, 1 << 29, 2, {VK_UP, VK_RIGHT}, {},
       {"DefWindowProcA(42, 0x104, 0x25, 0x20000000)"}},
      {"screen saver", WM_SYSCOMMAND, SC_SCREENSAVE, 0, 2, {VK_UP, VK_RIGHT}, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetFakePlatform();
    windowContext.active = 2;
    keyTable.down[VK_UP] = keyTable.down[VK_RIGHT] = 1;
    fakePlatform.defWindowProcResult = 77;
    LRESULT result = ViewerWindowProc((HWND)42, c.message, c.wParam, c.lParam);
    EXPECT_EQ(c.calls.empty() ? 0 : 77, result);
    EXPECT_EQ(c.active, windowContext.active);
    std::vector<int> held, pressed;
    for (int key = 0; key < 256; key++) {
      if (keyTable.down[key]) held.push_back(key);
      if (keyTable.pressed[key]) pressed.push_back(key);
    }
    EXPECT_EQ(c.held, held);
    EXPECT_EQ(c.pressed, pressed);
    EXPECT_EQ(c.calls, fakePlatform.calls);
  }
}

struct Message {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// A client point as Windows packs it.
LPARAM At(int x, int y) { return static_cast<LPARAM>(((y & 0xFFFF) << 16) | (x & 0xFFFF)); }
// The wheel's wParam for delta.
WPARAM Wheel(int delta) { return static_cast<WPARAM>((delta & 0xFFFF) << 16); }

// The mouse: from the start position, spinning at speeds (0.5, -0.25, 1) in an 800 x 600 client
// area, the view after the messages, and the calls they made.
TEST(ViewerWindowProc, MouseDragsAndWheel) {
  const struct {
    const char* name;
    std::vector<Message> messages;
    ViewState view;
    std::vector<std::string> calls;
  } cases[] = {
      {"a left drag turns half a degree a pixel, from the last move, also left of the client area",
       {{WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10)}, {WM_MOUSEMOVE, MK_LBUTTON, At(50, 0)},
        {WM_MOUSEMOVE, MK_LBUTTON, At(-20, 6)}},
       {-3, 0, -15, -2, -15, 0, 0, 0, 0}, {"SetCapture(42)"}},
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
