// The window procedure: each message's effect on the key table and the active flag, and what
// it hands on to DefWindowProcA or PostQuitMessage.
#include "records/app_state.h"
#include "tests/fake/fake_platform.h"
#include "window/window_proc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Each message from active flag 2 (neither value) with Up and Right held: the flags after it,
// and the calls it made (a message handed to DefWindowProcA unchanged returns its result).
TEST(ViewerWindowProc, MessageTable) {
  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int active;
    std::vector<int> held;
    std::vector<std::string> calls;
  } cases[] = {
      {"deactivated, not minimised", WM_ACTIVATE, WA_INACTIVE, 0, 1, {VK_UP, VK_RIGHT}, {}},
      {"minimised, low word active", WM_ACTIVATE, 0x10000 | WA_ACTIVE, 0, 0, {VK_UP, VK_RIGHT}, {}},
      {"key down", WM_KEYDOWN, 'A', 0, 2, {VK_UP, VK_RIGHT, 'A'}, {}},
      {"key up", WM_KEYUP, VK_RIGHT, 0, 2, {VK_UP}, {}},
      {"system key down", WM_SYSKEYDOWN, VK_LEFT, 1 << 29, 2, {VK_UP, VK_RIGHT},
       {"DefWindowProcA(42, 0x104, 0x25, 0x20000000)"}},
      {"screen saver", WM_SYSCOMMAND, SC_SCREENSAVE, 0, 2, {VK_UP, VK_RIGHT}, {}},
      {"size", WM_SIZE, SIZE_RESTORED, (600 << 16) | 800, 2, {VK_UP, VK_RIGHT}, {}},
      // Closing posts the quit message and leaves the window for the shutdown to destroy.
      {"close", WM_CLOSE, 0, 0, 2, {VK_UP, VK_RIGHT}, {"PostQuitMessage(0)"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetFakePlatform();
    windowContext.active = 2;
    keyTable.down[VK_UP] = keyTable.down[VK_RIGHT] = 1;
    fakePlatform.defWindowProcResult = 77;
    LRESULT result = ViewerWindowProc((HWND)42, c.message, c.wParam, c.lParam);
    EXPECT_EQ(!c.calls.empty() && c.calls[0].rfind("Def", 0) == 0 ? 77 : 0, result);
    EXPECT_EQ(c.active, windowContext.active);
    std::vector<int> held;
    for (int key = 0; key < 256; key++) {
      if (keyTable.down[key]) held.push_back(key);
    }
    EXPECT_EQ(c.held, held);
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
