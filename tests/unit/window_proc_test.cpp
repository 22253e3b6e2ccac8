// The window procedure's message table, against the fake platform.
#include "app/app_state.h"
#include "platform/fake/fake_platform.h"
#include "platform/viewer_window.h"
#include "platform/window_proc.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const HWND SOME_WINDOW = (HWND)0x5a50;
const LRESULT DEFAULT_RESULT = 77;

// One message, the state before it, and what must follow.
struct ProcCase {
  const char* name;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  uint8_t activeBefore;
  uint8_t activeAfter;
  int key;             // key flag set up before and checked after; -1 for none
  uint8_t keyBefore;
  uint8_t keyAfter;
  bool toDefault;      // handed to DefWindowProcA (and its result returned)
  bool quits;          // posts the quit message
};

const ProcCase PROC_CASES[] = {
    {"activated", WM_ACTIVATE, WA_ACTIVE, 0, 0, 1, -1, 0, 0, false, false},
    {"deactivated, not minimised", WM_ACTIVATE, WA_INACTIVE, 0, 1, 1, -1, 0, 0, false, false},
    {"minimised, low word active", WM_ACTIVATE, (1u << 16) | WA_ACTIVE, 0, 1, 0, -1, 0, 0, false, false},
    {"minimised, inactive", WM_ACTIVATE, (1u << 16) | WA_INACTIVE, 0, 1, 0, -1, 0, 0, false, false},
    {"screen saver swallowed", WM_SYSCOMMAND, SC_SCREENSAVE, 0, 1, 1, -1, 0, 0, false, false},
    {"monitor power swallowed", WM_SYSCOMMAND, SC_MONITORPOWER, 0, 1, 1, -1, 0, 0, false, false},
    {"screen saver code, low bits set", WM_SYSCOMMAND, SC_SCREENSAVE | 1, 0, 1, 1, -1, 0, 0, true, false},
    {"minimise command", WM_SYSCOMMAND, 0xF020, 0, 1, 1, -1, 0, 0, true, false},
    {"close", WM_CLOSE, 0, 0, 1, 1, -1, 0, 0, false, true},
    {"key down", WM_KEYDOWN, 'A', 0, 1, 1, 'A', 0, 1, false, false},
    {"key up", WM_KEYUP, VK_RIGHT, 0, 1, 1, VK_RIGHT, 1, 0, false, false},
    {"key down, last code", WM_KEYDOWN, 255, 0, 1, 1, 255, 0, 1, false, false},
    {"key down while minimised", WM_KEYDOWN, VK_ESCAPE, 0, 0, 0, VK_ESCAPE, 0, 1, false, false},
    {"key down beyond the table", WM_KEYDOWN, 256, 0, 1, 1, 0, 0, 0, false, false},
    {"key up beyond the table", WM_KEYUP, 0x1000 | VK_UP, 0, 1, 1, VK_UP, 1, 1, false, false},
    {"system key down", WM_SYSKEYDOWN, VK_LEFT, 1 << 29, 1, 1, VK_LEFT, 0, 0, true, false},
    {"system key up leaves the flag", WM_SYSKEYUP, VK_LEFT, 1 << 29, 1, 1, VK_LEFT, 1, 1, true, false},
    {"size", WM_SIZE, SIZE_RESTORED, (600 << 16) | 800, 1, 1, -1, 0, 0, false, false},
    {"size to nothing", WM_SIZE, SIZE_MINIMIZED, 0, 1, 1, -1, 0, 0, false, false},
    {"character", WM_CHAR, 27, 1, 1, 1, -1, 0, 0, true, false},
    {"paint", WM_PAINT, 0, 0, 1, 1, -1, 0, 0, true, false},
};

}  // namespace

TEST(ViewerWindowProc, MessageTable) {
  for (const ProcCase& c : PROC_CASES) {
    SCOPED_TRACE(c.name);
    ResetFakePlatform();
    fakePlatform.defWindowProcResult = DEFAULT_RESULT;
    windowContext.active = c.activeBefore;
    if (c.key >= 0) keyTable.down[c.key] = c.keyBefore;
    KeyTable expectedKeys = keyTable;
    if (c.key >= 0) expectedKeys.down[c.key] = c.keyAfter;

    LRESULT result = ViewerWindowProc(SOME_WINDOW, c.message, c.wParam, c.lParam);

    EXPECT_EQ(c.toDefault ? DEFAULT_RESULT : 0, result);
    EXPECT_EQ(c.toDefault ? 1 : 0, FakeCallCount("DefWindowProcA"));
    if (c.toDefault) {
      EXPECT_EQ(SOME_WINDOW, fakePlatform.lastDefWindowProc.hwnd);
      EXPECT_EQ(c.message, fakePlatform.lastDefWindowProc.message);
      EXPECT_EQ(c.wParam, fakePlatform.lastDefWindowProc.wParam);
      EXPECT_EQ(c.lParam, fakePlatform.lastDefWindowProc.lParam);
    }
    EXPECT_EQ(c.activeAfter, windowContext.active);
    EXPECT_EQ(0, std::memcmp(expectedKeys.down, keyTable.down, sizeof keyTable.down));
    EXPECT_EQ(c.quits, fakePlatform.quitPosted);
    EXPECT_EQ(0, fakePlatform.quitCode);
    EXPECT_EQ(c.quits ? 1 : 0, FakeCallCount("PostQuitMessage"));
    EXPECT_EQ(0, FakeCallCount("DestroyWindow"));
  }
}

// Alt+F4 and the system menu's close reach the viewer as WM_CLOSE through the default
// procedure: the quit is posted and the window is left for the shutdown to destroy.
TEST(ViewerWindowProc, AltF4PostsQuitAndKeepsTheWindow) {
  ResetFakePlatform();
  ASSERT_TRUE(CreateViewerWindow("t", 800, 600, 32, false));
  MSG altF4{};
  altF4.hwnd = windowContext.window;
  altF4.message = WM_SYSKEYDOWN;
  altF4.wParam = VK_F4;
  altF4.lParam = 1 << 29;
  DispatchMessageA(&altF4);
  EXPECT_TRUE(fakePlatform.quitPosted);
  EXPECT_EQ(0, fakePlatform.quitCode);
  EXPECT_EQ(0, FakeCallCount("DestroyWindow"));
  EXPECT_EQ(0, keyTable.down[VK_F4]);
  DestroyViewerWindow();
  EXPECT_TRUE(fakePlatform.misuse.empty());
}

// Showing the window during creation activates it (the fake sends WM_ACTIVATE), which
// puts back an active flag left at 0 by a minimised predecessor.
TEST(ViewerWindowProc, CreationActivatesTheWindow) {
  ResetFakePlatform();
  windowContext.active = 0;
  ASSERT_TRUE(CreateViewerWindow("t", 800, 600, 32, false));
  EXPECT_EQ(1, windowContext.active);
  DestroyViewerWindow();
}

// Queued messages reach the procedure through the pump as the main loop drives it: the
// Escape key-down sets its flag and is followed by its character, then one WM_QUIT.
TEST(ViewerWindowProc, PumpedMessagesReachTheProcedure) {
  ResetFakePlatform();
  ASSERT_TRUE(CreateViewerWindow("t", 800, 600, 32, false));
  MSG escape{};
  escape.message = WM_KEYDOWN;
  escape.wParam = VK_ESCAPE;
  fakePlatform.queue.push_back(escape);
  MSG close{};
  close.message = WM_CLOSE;
  fakePlatform.queue.push_back(close);

  const UINT expected[] = {WM_KEYDOWN, WM_CHAR, WM_CLOSE, WM_QUIT};
  MSG msg{};
  for (UINT message : expected) {
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message, msg.message);
    if (msg.message == WM_QUIT) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  EXPECT_EQ(0u, msg.wParam);
  EXPECT_EQ(1, keyTable.down[VK_ESCAPE]);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  DestroyViewerWindow();
  EXPECT_TRUE(fakePlatform.misuse.empty());
}
