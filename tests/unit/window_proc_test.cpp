// The window procedure: the effects of its messages that the end-to-end keys do not show, on
// the key table and the active flag, and what it hands on to DefWindowProcA.
#include "records/app_state.h"
#include "tests/fake/fake_platform.h"
#include "window/window_proc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Each message from the active flag given (2: neither value) with Up and Right held: the flags
// after it, and the calls it made (a message handed to DefWindowProcA unchanged returns its result).
TEST(ViewerWindowProc, MessageTable) {
  const struct {
    const char* name;
    int activeBefore;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int active;
    std::vector<int> held, pressed;
    std::vector<std::string> calls;
  } cases[] = {
      {"deactivated, not minimised", 2, WM_ACTIVATE, WA_INACTIVE, 0, 1, {VK_UP, VK_RIGHT}, {}, {}},
      {"minimised, low word active", 2, WM_ACTIVATE, 0x10000 | WA_ACTIVE, 0, 0, {VK_UP, VK_RIGHT}, {}, {}},
      // Tapped while minimised, a key must not count on the frame after the restore.
      {"key down while minimised: held only", 0, WM_KEYDOWN, VK_ESCAPE, 0, 0, {VK_ESCAPE, VK_UP, VK_RIGHT}, {}, {}},
      {"system key down", 2, WM_SYSKEYDOWN, VK_LEFT, 1 << 29, 2, {VK_UP, VK_RIGHT}, {},
       {"DefWindowProcA(42, 0x104, 0x25, 0x20000000)"}},
      {"screen saver", 2, WM_SYSCOMMAND, SC_SCREENSAVE, 0, 2, {VK_UP, VK_RIGHT}, {}, {}},
      {"size", 2, WM_SIZE, SIZE_RESTORED, (600 << 16) | 800, 2, {VK_UP, VK_RIGHT}, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetFakePlatform();
    windowContext.active = static_cast<uint8_t>(c.activeBefore);
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

// A key's first key-down is a press (F, C and H act once a press); an auto-repeat only holds it.
TEST(ViewerWindowProc, RepeatIsNoPress) {
  for (LPARAM repeat : {0, 1 << 30}) {
    ResetFakePlatform();
    ViewerWindowProc((HWND)42, WM_KEYDOWN, 'F', repeat);
    EXPECT_EQ(1, keyTable.down['F']);
    EXPECT_EQ(repeat == 0, keyTable.pressed['F'] == 1);
  }
}
