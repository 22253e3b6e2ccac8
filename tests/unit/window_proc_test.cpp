// The window procedure's message table, against the fake platform.
#include "app/app_state.h"
#include "platform/fake/fake_platform.h"
#include "platform/window_proc.h"
#include "tests/unit/open_window.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const HWND kSomeWindow = (HWND)0x5a50;
const LRESULT kDefaultResult = 77;
const WPARAM kMinimised = 1u << 16;

struct Message {
  const char* name;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Sends one message to the procedure on a fresh fake; checks whether it went to the default
// procedure unchanged (and its result came back) or was handled with 0, and that it neither
// quit nor destroyed the window.
void SendAndCheck(const Message& m, bool toDefault) {
  SCOPED_TRACE(m.name);
  fakePlatform.defWindowProcResult = kDefaultResult;
  EXPECT_EQ(toDefault ? kDefaultResult : 0, ViewerWindowProc(kSomeWindow, m.message, m.wParam, m.lParam));
  EXPECT_EQ(toDefault ? 1 : 0, FakeCallCount("DefWindowProcA"));
  if (toDefault) {
    const MSG& d = fakePlatform.lastDefWindowProc;
    EXPECT_EQ(kSomeWindow, d.hwnd);
    EXPECT_EQ(m.message, d.message);
    EXPECT_EQ(m.wParam, d.wParam);
    EXPECT_EQ(m.lParam, d.lParam);
  }
  EXPECT_FALSE(fakePlatform.quitPosted);
  EXPECT_EQ(0, FakeCallCount("DestroyWindow"));
}

}  // namespace

// The active flag follows the minimised word of WM_ACTIVATE, not its low word.
TEST(ViewerWindowProc, ActivationSetsTheActiveFlag) {
  const struct {
    Message m;
    uint8_t before;
    uint8_t after;
  } cases[] = {
      {{"activated", WM_ACTIVATE, WA_ACTIVE, 0}, 0, 1},
      {{"deactivated, not minimised", WM_ACTIVATE, WA_INACTIVE, 0}, 1, 1},
      {{"minimised, low word active", WM_ACTIVATE, kMinimised | WA_ACTIVE, 0}, 1, 0},
      {{"minimised, inactive", WM_ACTIVATE, kMinimised | WA_INACTIVE, 0}, 1, 0},
  };
  for (const auto& c : cases) {
    ResetFakePlatform();
    windowContext.active = c.before;
    SendAndCheck(c.m, false);
    EXPECT_EQ(c.after, windowContext.active);
  }
}

// Key messages set and clear their flag; codes beyond the table and system keys leave it.
TEST(ViewerWindowProc, KeysSetAndClearTheirFlags) {
  const struct {
    Message m;
    int key;
    uint8_t before;
    uint8_t after;
    bool toDefault;
  } cases[] = {
      {{"key down", WM_KEYDOWN, 'A', 0}, 'A', 0, 1, false},
      {{"key up", WM_KEYUP, VK_RIGHT, 0}, VK_RIGHT, 1, 0, false},
      {{"key down, last code", WM_KEYDOWN, 255, 0}, 255, 0, 1, false},
      {{"key down beyond the table", WM_KEYDOWN, 256, 0}, 0, 0, 0, false},
      {{"key up beyond the table", WM_KEYUP, 0x1000 | VK_UP, 0}, VK_UP, 1, 1, false},
      {{"system key down", WM_SYSKEYDOWN, VK_LEFT, 1 << 29}, VK_LEFT, 0, 0, true},
      {{"system key up leaves the flag", WM_SYSKEYUP, VK_LEFT, 1 << 29}, VK_LEFT, 1, 1, true},
  };
  for (const auto& c : cases) {
    ResetFakePlatform();
    keyTable.down[c.key] = c.before;
    KeyTable expected = keyTable;
    expected.down[c.key] = c.after;
    SendAndCheck(c.m, c.toDefault);
    EXPECT_EQ(0, std::memcmp(expected.down, keyTable.down, sizeof keyTable.down));
  }
  // Keys count while minimised too.
  ResetFakePlatform();
  windowContext.active = 0;
  SendAndCheck({"key down while minimised", WM_KEYDOWN, VK_ESCAPE, 0}, false);
  EXPECT_EQ(1, keyTable.down[VK_ESCAPE]);
  EXPECT_EQ(0, windowContext.active);
}

// The screen saver and monitor power-down are swallowed, sizes are handled; every other
// system command and message goes to the default procedure.
TEST(ViewerWindowProc, SwallowedAndDefaultMessages) {
  const Message swallowed[] = {
      {"screen saver", WM_SYSCOMMAND, SC_SCREENSAVE, 0},
      {"monitor power", WM_SYSCOMMAND, SC_MONITORPOWER, 0},
      {"size", WM_SIZE, SIZE_RESTORED, (600 << 16) | 800},
      {"size to nothing", WM_SIZE, SIZE_MINIMIZED, 0},
  };
  const Message toDefault[] = {
      {"screen saver code, low bits set", WM_SYSCOMMAND, SC_SCREENSAVE | 1, 0},
      {"minimise command", WM_SYSCOMMAND, 0xF020, 0},
      {"character", WM_CHAR, 27, 1},
      {"paint", WM_PAINT, 0, 0},
  };
  for (const Message& m : swallowed) {
    ResetFakePlatform();
    SendAndCheck(m, false);
  }
  for (const Message& m : toDefault) {
    ResetFakePlatform();
    SendAndCheck(m, true);
  }
}

// Closing posts the quit message with 0 and leaves the window for the shutdown to destroy,
// whether it comes as WM_CLOSE or as Alt+F4 through the default procedure.
TEST(ViewerWindowProc, CloseAndAltF4PostQuitAndKeepTheWindow) {
  ResetFakePlatform();
  EXPECT_EQ(0, ViewerWindowProc(kSomeWindow, WM_CLOSE, 0, 0));
  EXPECT_EQ(0, FakeCallCount("DefWindowProcA"));
  EXPECT_EQ(1, FakeCallCount("PostQuitMessage"));
  EXPECT_TRUE(fakePlatform.quitPosted);
  EXPECT_EQ(0, fakePlatform.quitCode);
  EXPECT_EQ(0, FakeCallCount("DestroyWindow"));

  ResetFakePlatform();
  ASSERT_TRUE(OpenTestWindow(false));
  MSG altF4{};
  altF4.hwnd = windowContext.window;
  altF4.message = WM_SYSKEYDOWN;
  altF4.wParam = VK_F4;
  altF4.lParam = 1 << 29;
  DispatchMessageA(&altF4);
  EXPECT_EQ(1, FakeCallCount("PostQuitMessage"));
  EXPECT_TRUE(fakePlatform.quitPosted);
  EXPECT_EQ(0, fakePlatform.quitCode);
  EXPECT_EQ(0, FakeCallCount("DestroyWindow"));
  EXPECT_EQ(0, keyTable.down[VK_F4]);
  DestroyViewerWindow();
  EXPECT_TRUE(fakePlatform.misuse.empty());
}

// Showing the window during creation activates it, which puts back an active flag left at 0
// by a minimised predecessor.
TEST(ViewerWindowProc, CreationActivatesTheWindow) {
  ResetFakePlatform();
  windowContext.active = 0;
  ASSERT_TRUE(OpenTestWindow(false));
  EXPECT_EQ(1, windowContext.active);
  DestroyViewerWindow();
}
