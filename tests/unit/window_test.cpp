// Window creation and teardown, the overlay font and the window procedure, against the fake.
#include "app/app_state.h"
#include "app/messages.h"
#include "app/window_size.h"
#include "platform/fake/fake_platform.h"
#include "platform/viewer_window.h"
#include "platform/window_proc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// CreateViewerWindow with the viewer's title, size and (unless given) colour depth.
bool OpenTestWindow(bool fullscreen, int bits = kColourBits) {
  return CreateViewerWindow(VIEWER_TITLE, kWindowWidth, kWindowHeight, bits, fullscreen);
}

// The calls from index on, one a line; with names only, DefWindowProcA is left out.
std::string CallsFrom(int from, bool namesOnly = false) {
  std::string text;
  for (size_t i = from; i < fakePlatform.calls.size(); i++) {
    const std::string& call = fakePlatform.calls[i];
    if (namesOnly && call.rfind("DefWindowProcA", 0) == 0) continue;
    text += (namesOnly ? call.substr(0, call.find('(')) : call) + (namesOnly ? " " : "\n");
  }
  return text;
}

// Nothing the viewer was given is still held but the handles whose release failed (live), and
// every release found a live handle.
void ExpectAllReleased(int live = 0) {
  EXPECT_EQ(Lines{}, fakePlatform.misuse);
  EXPECT_EQ(live, FakeLiveHandles());
  EXPECT_FALSE(fakePlatform.displayModeChanged);
  EXPECT_EQ(0, fakePlatform.showCursorCount);
  EXPECT_EQ(0u, fakePlatform.currentContext);
  EXPECT_EQ(nullptr, windowContext.window);
  EXPECT_EQ(nullptr, windowContext.deviceContext);
  EXPECT_EQ(nullptr, windowContext.renderingContext);
}

const char* const kWindowedRun = R"(GetModuleHandleA(null)
LoadIconA(null, 32517)
LoadCursorA(null, 32512)
RegisterClassA(OpenGL, 0x23, module, icon, cursor, null)
AdjustWindowRectEx({0, 0, 800, 600}, 0xcf0000, 0, 0x40100)
CreateWindowExA(0x40100, OpenGL, Quillmere OpenGL by KALMO, 0x6cf0000, 0, 0, 816, 639, null, null, module, null) = window1
GetDC(window1) = dc1
ChoosePixelFormat(dc1, PixelFormatRequest {40, 1, 0x25, type 0, 32 bits, depth 16, layer 0})
SetPixelFormat(dc1, 1, PixelFormatRequest {40, 1, 0x25, type 0, 32 bits, depth 16, layer 0})
wglCreateContext(dc1) = rc1
wglMakeCurrent(dc1, rc1)
ShowWindow(window1, 5)
SetForegroundWindow(window1)
SetFocus(window1)
CreateFontA(-14, 0, 0, 0, 700, 0, 0, 0, 0, 4, 0, 4, 0, Arial) = font1
SelectObject(dc1, font1) = stockfont
wglUseFontBitmapsA(dc1, 32, 96, 0) with font1
SelectObject(dc1, stockfont) = font1
DeleteObject(font1)
timeGetTime() = 0
wglMakeCurrent(null, null)
wglDeleteContext(rc1)
ReleaseDC(window1, dc1)
DestroyWindow(window1)
UnregisterClassA(OpenGL, module)
)";

}  // namespace

// A windowed run: every call in order, the overlay font built with its font selected and put
// back, the window activated by showing it, and all released in reverse order (through the
// handles the window context kept).
TEST(ViewerWindow, WindowedRunCallsInOrder) {
  ResetFakePlatform();
  windowContext.fullscreen = 1;
  windowContext.active = 0;
  ASSERT_TRUE(OpenTestWindow(false));
  EXPECT_EQ(0, windowContext.fullscreen);
  EXPECT_EQ(1, windowContext.active);
  DestroyViewerWindow();
  EXPECT_EQ(kWindowedRun, CallsFrom(0));
  ExpectAllReleased();
}

// Fullscreen changes the display mode before the window and hides the cursor; its teardown
// restores both (first, as the release table shows).
TEST(ViewerWindow, FullscreenRunChangesTheDisplayMode) {
  ResetFakePlatform();
  ASSERT_TRUE(OpenTestWindow(true));
  EXPECT_EQ(1, windowContext.fullscreen);
  DestroyViewerWindow();
  EXPECT_EQ(4, FakeCallIndex("ChangeDisplaySettingsA"));  // right after RegisterClassA
  EXPECT_EQ(5, FakeCallIndex("ShowCursor"));
  EXPECT_EQ((Lines{"ChangeDisplaySettingsA({156, 800x600, 32 bits, fields 0x1c0000}, 0x4)",
                   "ChangeDisplaySettingsA(null, 0x0)"}), FakeCalls("ChangeDisplaySettingsA"));
  EXPECT_EQ((Lines{"ShowCursor(0)", "ShowCursor(1)"}), FakeCalls("ShowCursor"));
  EXPECT_EQ(Lines{"AdjustWindowRectEx({0, 0, 800, 600}, 0x80000000, 0, 0x40000)"}, FakeCalls("Adjust"));
  EXPECT_EQ(Lines{"CreateWindowExA(0x40000, OpenGL, Quillmere OpenGL by KALMO, 0x86000000, 0, 0, 800, 600, "
                  "null, null, module, null) = window1"}, FakeCalls("CreateWindowExA"));
  ExpectAllReleased();
}

// One creation step made to fail: the teardown releases exactly what was made, then the box.
TEST(ViewerWindow, EachFailingStepTearsDownThenReports) {
  const struct {
    const char* call;
    bool fullscreen;
    const char* after;  // the calls after the failing one
    const char* text;
  } cases[] = {
      {"RegisterClassA", false, "", "Failed To Register The Window Class."},
      {"CreateWindowExA", false, "UnregisterClassA ", "Window Creation Error."},
      {"CreateWindowExA", true, "ChangeDisplaySettingsA ShowCursor UnregisterClassA ", "Window Creation Error."},
      {"GetDC", false, "DestroyWindow UnregisterClassA ", "Can't Create A GL Device Context."},
      {"ChoosePixelFormat", false, "ReleaseDC DestroyWindow UnregisterClassA ", "Can't Find A Suitable PixelFormat."},
      {"SetPixelFormat", true, "ChangeDisplaySettingsA ShowCursor ReleaseDC DestroyWindow UnregisterClassA ",
       "Can't Set The PixelFormat."},
      {"wglCreateContext", false, "ReleaseDC DestroyWindow UnregisterClassA ", "Can't Create A GL Rendering Context."},
      {"wglMakeCurrent", true, "ChangeDisplaySettingsA ShowCursor wglMakeCurrent wglDeleteContext ReleaseDC "
       "DestroyWindow UnregisterClassA ", "Can't Activate The GL Rendering Context."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.call) + (c.fullscreen ? " fullscreen" : " windowed"));
    ResetFakePlatform();
    fakePlatform.failCall = c.call;
    EXPECT_FALSE(OpenTestWindow(c.fullscreen));
    EXPECT_EQ(std::string(c.after) + "MessageBoxA ", CallsFrom(FakeCallIndex(c.call) + 1, true));
    EXPECT_EQ(Lines{"MessageBoxA(null, " + std::string(c.text) + ", ERROR, 0x30)"}, FakeCalls("MessageBoxA"));
    ExpectAllReleased();
  }
}

// Each release failing on its own is reported at once, and every later step still runs.
TEST(ViewerWindow, EveryFailedReleaseIsReportedAndAllStepsRun) {
  const struct {
    const char* call;
    const char* after;  // the calls from the restore of the display mode on
    Lines boxes;
    int live;           // handles still held: the one whose release failed
  } cases[] = {
      {"wglMakeCurrent", "wglMakeCurrent MessageBoxA wglDeleteContext ReleaseDC DestroyWindow UnregisterClassA ",
       {"MessageBoxA(null, Release Of DC And RC Failed., SHUTDOWN ERROR, 0x40)"}, 0},
      {"wglDeleteContext", "wglMakeCurrent wglDeleteContext MessageBoxA ReleaseDC DestroyWindow UnregisterClassA ",
       {"MessageBoxA(null, Release Rendering Context Failed., SHUTDOWN ERROR, 0x40)"}, 1},
      // Destroying the window releases its device context all the same.
      {"ReleaseDC", "wglMakeCurrent wglDeleteContext ReleaseDC MessageBoxA DestroyWindow UnregisterClassA ",
       {"MessageBoxA(null, Release Device Context Failed., SHUTDOWN ERROR, 0x40)"}, 0},
      // A window that is still there keeps its class registered.
      {"DestroyWindow", "wglMakeCurrent wglDeleteContext ReleaseDC DestroyWindow MessageBoxA UnregisterClassA MessageBoxA ",
       {"MessageBoxA(null, Could Not Release hWnd., SHUTDOWN ERROR, 0x40)",
        "MessageBoxA(null, Could Not Unregister Class., SHUTDOWN ERROR, 0x40)"}, 1},
      {"UnregisterClassA", "wglMakeCurrent wglDeleteContext ReleaseDC DestroyWindow UnregisterClassA MessageBoxA ",
       {"MessageBoxA(null, Could Not Unregister Class., SHUTDOWN ERROR, 0x40)"}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    ResetFakePlatform();
    ASSERT_TRUE(OpenTestWindow(true));
    int start = (int)fakePlatform.calls.size();
    fakePlatform.failCall = c.call;
    DestroyViewerWindow();
    EXPECT_EQ("ChangeDisplaySettingsA ShowCursor " + std::string(c.after), CallsFrom(start, true));
    EXPECT_EQ(c.boxes, FakeCalls("MessageBoxA"));
    ExpectAllReleased(c.live);
    EXPECT_EQ(nullptr, windowContext.instance);
  }
}

// The colour bits come from the first creation that got past its window, and only from it.
TEST(ViewerWindow, ColourBitsAreFilledOnceAfterTheWindow) {
  const struct {
    const char* failCall;  // the first creation fails here ("" for none)
    int firstBits;
    int expected;
  } cases[] = {{"", 16, 16}, {"CreateWindowExA", 24, 32}, {"GetDC", 24, 24}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failCall);
    ResetFakePlatform();
    fakePlatform.failCall = c.failCall;
    if (OpenTestWindow(false, c.firstBits)) DestroyViewerWindow();
    ASSERT_TRUE(OpenTestWindow(false, 32));
    EXPECT_EQ(c.expected, PixelFormatRequest.cColorBits);
    DestroyViewerWindow();
  }
}

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
    Lines calls;
  } cases[] = {
      {"activated", WM_ACTIVATE, WA_ACTIVE, 0, 1, {VK_UP, VK_RIGHT}, {}},
      {"deactivated, not minimised", WM_ACTIVATE, WA_INACTIVE, 0, 1, {VK_UP, VK_RIGHT}, {}},
      {"minimised, low word active", WM_ACTIVATE, 0x10000 | WA_ACTIVE, 0, 0, {VK_UP, VK_RIGHT}, {}},
      {"minimised, inactive", WM_ACTIVATE, 0x10000, 0, 0, {VK_UP, VK_RIGHT}, {}},
      {"key down", WM_KEYDOWN, 'A', 0, 2, {VK_UP, VK_RIGHT, 'A'}, {}},
      {"key up", WM_KEYUP, VK_RIGHT, 0, 2, {VK_UP}, {}},
      {"key down, last code", WM_KEYDOWN, 255, 0, 2, {VK_UP, VK_RIGHT, 255}, {}},
      {"key down beyond the table", WM_KEYDOWN, 256, 0, 2, {VK_UP, VK_RIGHT}, {}},
      {"key up beyond the table", WM_KEYUP, 0x1000 | VK_UP, 0, 2, {VK_UP, VK_RIGHT}, {}},
      {"system key down", WM_SYSKEYDOWN, VK_LEFT, 1 << 29, 2, {VK_UP, VK_RIGHT},
       {"DefWindowProcA(42, 0x104, 0x25, 0x20000000)"}},
      {"system key up", WM_SYSKEYUP, VK_RIGHT, 1 << 29, 2, {VK_UP, VK_RIGHT},
       {"DefWindowProcA(42, 0x105, 0x27, 0x20000000)"}},
      {"screen saver", WM_SYSCOMMAND, SC_SCREENSAVE, 0, 2, {VK_UP, VK_RIGHT}, {}},
      {"monitor power", WM_SYSCOMMAND, SC_MONITORPOWER, 0, 2, {VK_UP, VK_RIGHT}, {}},
      {"screen saver code, low bits set", WM_SYSCOMMAND, SC_SCREENSAVE | 1, 0, 2, {VK_UP, VK_RIGHT},
       {"DefWindowProcA(42, 0x112, 0xf141, 0x0)"}},
      {"minimise command", WM_SYSCOMMAND, 0xF020, 0, 2, {VK_UP, VK_RIGHT}, {"DefWindowProcA(42, 0x112, 0xf020, 0x0)"}},
      {"size", WM_SIZE, SIZE_RESTORED, (600 << 16) | 800, 2, {VK_UP, VK_RIGHT}, {}},
      {"size to nothing", WM_SIZE, SIZE_MINIMIZED, 0, 2, {VK_UP, VK_RIGHT}, {}},
      {"character", WM_CHAR, 27, 1, 2, {VK_UP, VK_RIGHT}, {"DefWindowProcA(42, 0x102, 0x1b, 0x1)"}},
      {"paint", WM_PAINT, 0, 0, 2, {VK_UP, VK_RIGHT}, {"DefWindowProcA(42, 0xf, 0x0, 0x0)"}},
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
