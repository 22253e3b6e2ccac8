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

// A message and what the procedure must return for it (DefWindowProcA's result, 77 here, for a
// message handed on).
struct Message {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result = 0;
};

// A client point as Windows packs it.
LPARAM At(int x, int y) { return static_cast<LPARAM>(((y & 0xFFFF) << 16) | (x & 0xFFFF)); }
// The wheel's wParam for delta.
WPARAM Wheel(int delta) { return static_cast<WPARAM>((delta & 0xFFFF) << 16); }

// The start position, spinning at speeds (0.5, -0.25, 1).
const ViewState SPINNING = {-3, 0, -15, 0, 0, 0, 0.5f, -0.25f, 1};

// Messages from the spinning start view in an 800 x 600 client area, with Up and Right held and
// active flag 2 (neither value): the calls they made, and the view, the active flag and the keys
// after them. A key's first key-down is a press (F, C and H act once a press); an auto-repeat
// only holds it. A button pressed stops the spin.
TEST(ViewerWindowProc, MessageTable) {
  const struct {
    const char* name;
    std::vector<Message> messages;
    std::vector<std::string> calls;
    ViewState view = SPINNING;
    int active = 2;
    std::vector<int> held = {VK_UP, VK_RIGHT}, pressed = {};
  } cases[] = {
      {"deactivated, not minimised", {{WM_ACTIVATE, WA_INACTIVE, 0}}, {}, SPINNING, 1},
      {"minimised, low word active", {{WM_ACTIVATE, 0x10000 | WA_ACTIVE, 0}}, {}, SPINNING, 0},
      {"key down: a press", {{WM_KEYDOWN, 'F', 0}}, {}, SPINNING, 2, {VK_UP, VK_RIGHT, 'F'}, {'F'}},
      {"auto-repeat: held only", {{WM_KEYDOWN, 'F', 1 << 30}}, {}, SPINNING, 2, {VK_UP, VK_RIGHT, 'F'}},
      {"system key down", {{WM_SYSKEYDOWN, VK_LEFT, 1 << 29, 77}}, {"DefWindowProcA(42, 0x104, 0x25, 0x20000000)"}},
      {"screen saver", {{WM_SYSCOMMAND, SC_SCREENSAVE, 0}}, {}},
      {"a left drag turns half a degree a pixel, from the last move, also left of the client area",
       {{WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10)}, {WM_MOUSEMOVE, MK_LBUTTON, At(50, 0)},
        {WM_MOUSEMOVE, MK_LBUTTON, At(-20, 6)}},
       {"SetCapture(42)"}, {-3, 0, -15, -2, -15, 0, 0, 0, 0}},
      {"a middle drag moves the cloud, 0.062 units a pixel at its depth in 300 rows",
       {{WM_SIZE, 0, At(800, 300)}, {WM_MBUTTONDOWN, MK_MBUTTON, At(0, 0)}, {WM_MOUSEMOVE, MK_MBUTTON, At(10, 0)}},
       {"SetCapture(42)"}, {-2.37867975f, 0, -15, 0, 0, 0, 0, 0, 0}},
      {"a release ends the drag and lets the mouse go",
       {{WM_LBUTTONDOWN, MK_LBUTTON, At(0, 0)}, {WM_LBUTTONUP, 0, At(0, 0)}, {WM_MOUSEMOVE, 0, At(50, 50)}},
       {"SetCapture(42)", "ReleaseCapture()"}, {-3, 0, -15, 0, 0, 0, 0, 0, 0}},
      {"a move without the drag's button ends it",
       {{WM_LBUTTONDOWN, MK_LBUTTON, At(0, 0)}, {WM_MOUSEMOVE, MK_RBUTTON, At(50, 50)}},
       {"SetCapture(42)", "ReleaseCapture()"}, {-3, 0, -15, 0, 0, 0, 0, 0, 0}},
      {"no drag without a press", {{WM_MOUSEMOVE, MK_LBUTTON, At(50, 50)}, {WM_LBUTTONUP, 0, At(50, 50)}}, {}},
      {"the wheel forward: a quarter nearer a notch", {{WM_MOUSEWHEEL, Wheel(120), 0}}, {},
       {-3, 0, -9.375f, 0, 0, 0, 0.5f, -0.25f, 1}},
      {"the wheel back stops at a million", {{WM_MOUSEWHEEL, Wheel(-32760), 0}}, {},
       {-3, 0, -999992.5f, 0, 0, 0, 0.5f, -0.25f, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetFakePlatform();
    viewState = SPINNING;
    windowContext.active = 2;
    keyTable.down[VK_UP] = keyTable.down[VK_RIGHT] = 1;
    fakePlatform.defWindowProcResult = 77;
    for (const Message& m : c.messages) EXPECT_EQ(m.result, ViewerWindowProc((HWND)42, m.message, m.wParam, m.lParam));
    EXPECT_EQ(c.calls, fakePlatform.calls);
    EXPECT_EQ(0, std::memcmp(&c.view, &viewState, sizeof viewState));
    EXPECT_EQ(c.active, windowContext.active);
    std::vector<int> held, pressed;
    for (int key = 0; key < 256; key++) {
      if (keyTable.down[key]) held.push_back(key);
      if (keyTable.pressed[key]) pressed.push_back(key);
    }
    EXPECT_EQ(c.held, held);
    EXPECT_EQ(c.pressed, pressed);
  }
}

}  // namespace
