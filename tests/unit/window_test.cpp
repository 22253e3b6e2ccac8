// Window creation and teardown against the fake platform.
#include "app/app_state.h"
#include "platform/fake/fake_platform.h"
#include "platform/viewer_window.h"
#include "tests/unit/open_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const UINT kErrorBox = MB_OK | MB_ICONEXCLAMATION;
const UINT kShutdownBox = MB_OK | MB_ICONINFORMATION;
const char* const kReleases[] = {"ChangeDisplaySettingsA", "ShowCursor", "wglMakeCurrent",
                                 "wglDeleteContext", "ReleaseDC", "DestroyWindow", "UnregisterClassA"};

// The recorded boxes' texts, each checked for its caption and type and for having no owner.
std::vector<std::string> BoxTexts(const char* caption, UINT type) {
  std::vector<std::string> texts;
  for (const FakeMessageBox& box : fakePlatform.boxes) {
    EXPECT_EQ(caption, box.caption);
    EXPECT_EQ(type, box.type);
    EXPECT_EQ(nullptr, box.owner);
    texts.push_back(box.text);
  }
  return texts;
}

// The names of the recorded calls from index on that are in the list, in order.
template <size_t N>
std::vector<std::string> CallsAmong(const char* const (&names)[N], size_t from = 0) {
  std::vector<std::string> seen;
  for (size_t i = from; i < fakePlatform.calls.size(); i++) {
    for (const char* name : names) {
      if (fakePlatform.calls[i].name == name) seen.push_back(name);
    }
  }
  return seen;
}

// The result of the first recorded call of this name.
uintptr_t FirstResult(const char* name) {
  int index = FakeCallIndex(name);
  return index < 0 ? 0 : fakePlatform.calls[index].result;
}

// Nothing the viewer was given is still held and every handle stayed valid.
void ExpectAllReleased() {
  EXPECT_TRUE(fakePlatform.misuse.empty()) << fakePlatform.misuse.front();
  EXPECT_TRUE(fakePlatform.live.empty());
  EXPECT_FALSE(fakePlatform.displayModeChanged);
  EXPECT_EQ(0, fakePlatform.showCursorCount);
  EXPECT_EQ(nullptr, fakePlatform.currentContext);
  EXPECT_EQ(nullptr, windowContext.window);
  EXPECT_EQ(nullptr, windowContext.deviceContext);
  EXPECT_EQ(nullptr, windowContext.renderingContext);
}

// Whether the bytes of a record are all zero once the named fields are cleared.
template <typename Record>
bool RestIsZero(Record record) {
  Record zero;
  std::memset(&zero, 0, sizeof zero);
  return std::memcmp(&zero, &record, sizeof record) == 0;
}

}  // namespace

// One creation step made to fail: its message comes last, after a teardown that releases
// exactly what was made (no teardown for the class).
TEST(CreateViewerWindow, EachFailingStepReportsAfterItsTeardown) {
  const struct {
    const char* call;
    bool fullscreen;
    const char* text;
    std::vector<std::string> releases;
  } cases[] = {
      {"RegisterClassA", false, "Failed To Register The Window Class.", {}},
      {"CreateWindowExA", false, "Window Creation Error.", {"UnregisterClassA"}},
      {"CreateWindowExA", true, "Window Creation Error.",
       {"ChangeDisplaySettingsA", "ShowCursor", "UnregisterClassA"}},
      {"GetDC", false, "Can't Create A GL Device Context.", {"DestroyWindow", "UnregisterClassA"}},
      {"ChoosePixelFormat", false, "Can't Find A Suitable PixelFormat.",
       {"ReleaseDC", "DestroyWindow", "UnregisterClassA"}},
      {"SetPixelFormat", true, "Can't Set The PixelFormat.",
       {"ChangeDisplaySettingsA", "ShowCursor", "ReleaseDC", "DestroyWindow", "UnregisterClassA"}},
      {"wglCreateContext", false, "Can't Create A GL Rendering Context.",
       {"ReleaseDC", "DestroyWindow", "UnregisterClassA"}},
      {"wglMakeCurrent", true, "Can't Activate The GL Rendering Context.",
       {"ChangeDisplaySettingsA", "ShowCursor", "wglMakeCurrent", "wglDeleteContext", "ReleaseDC",
        "DestroyWindow", "UnregisterClassA"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.call) + (c.fullscreen ? " fullscreen" : " windowed"));
    ResetFakePlatform();
    fakePlatform.failCall = c.call;

    EXPECT_FALSE(OpenTestWindow(c.fullscreen));

    EXPECT_EQ(std::vector<std::string>{c.text}, BoxTexts("ERROR", kErrorBox));
    EXPECT_EQ((int)fakePlatform.calls.size() - 1, FakeCallIndex("MessageBoxA"));
    size_t failed = FakeCallIndex(c.call);
    EXPECT_EQ(c.releases, CallsAmong(kReleases, failed + 1));
    ExpectAllReleased();
    EXPECT_EQ(0, FakeCallCount("ShowWindow"));
    EXPECT_EQ(0, FakeCallCount("timeGetTime"));
  }
}

// A refused fullscreen mode: Yes goes on windowed, anything else closes without teardown.
TEST(CreateViewerWindow, RefusedFullscreenModeAsksTheUser) {
  const struct {
    int answer;
    bool created;
  } answers[] = {{IDYES, true}, {IDNO, false}, {0, false}};
  for (const auto& a : answers) {
    SCOPED_TRACE(a.answer);
    ResetFakePlatform();
    fakePlatform.displayChangeResult = DISP_CHANGE_BADMODE;
    fakePlatform.boxAnswers.push_back(a.answer);

    EXPECT_EQ(a.created, OpenTestWindow(true));

    const FakeMessageBox& question = fakePlatform.boxes.at(0);
    EXPECT_EQ("The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. "
              "Use Windowed Mode Instead?", question.text);
    EXPECT_EQ("Vexa GL", question.caption);
    EXPECT_EQ((UINT)(MB_YESNO | MB_ICONEXCLAMATION), question.type);
    EXPECT_EQ(0, FakeCallCount("ShowCursor"));
    if (a.created) {
      EXPECT_EQ(1u, fakePlatform.boxes.size());
      EXPECT_EQ(0, windowContext.fullscreen);
      EXPECT_EQ((DWORD)(WS_EX_APPWINDOW | WS_EX_WINDOWEDGE), fakePlatform.lastWindow.exStyle);
      DestroyViewerWindow();
      EXPECT_EQ(1, FakeCallCount("ChangeDisplaySettingsA"));
      ExpectAllReleased();
    } else {
      ASSERT_EQ(2u, fakePlatform.boxes.size());
      EXPECT_EQ("Program Will Now Close.", fakePlatform.boxes[1].text);
      EXPECT_EQ("ERROR", fakePlatform.boxes[1].caption);
      EXPECT_EQ((UINT)(MB_OK | MB_ICONSTOP), fakePlatform.boxes[1].type);
      EXPECT_EQ(0, FakeCallCount("CreateWindowExA"));
      EXPECT_EQ(0, FakeCallCount("UnregisterClassA"));
    }
  }
}

// Each release failing on its own is reported, and every later step still runs.
TEST(DestroyViewerWindow, EveryFailedReleaseIsReportedAndAllStepsRun) {
  const struct {
    const char* call;
    std::vector<std::string> texts;
  } cases[] = {
      {"wglMakeCurrent", {"Release Of DC And RC Failed."}},
      {"wglDeleteContext", {"Release Rendering Context Failed."}},
      {"ReleaseDC", {"Release Device Context Failed."}},
      // A window that is still there keeps its class registered.
      {"DestroyWindow", {"Could Not Release hWnd.", "Could Not Unregister Class."}},
      {"UnregisterClassA", {"Could Not Unregister Class."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    ResetFakePlatform();
    ASSERT_TRUE(OpenTestWindow(true));
    size_t start = fakePlatform.calls.size();
    fakePlatform.failCall = c.call;

    DestroyViewerWindow();

    EXPECT_EQ(c.texts, BoxTexts("SHUTDOWN ERROR", kShutdownBox));
    EXPECT_EQ(std::vector<std::string>(std::begin(kReleases), std::end(kReleases)),
              CallsAmong(kReleases, start));
    EXPECT_TRUE(fakePlatform.misuse.empty());
    EXPECT_EQ(nullptr, windowContext.window);
    EXPECT_EQ(nullptr, windowContext.deviceContext);
    EXPECT_EQ(nullptr, windowContext.renderingContext);
    EXPECT_EQ(nullptr, windowContext.instance);
    EXPECT_FALSE(fakePlatform.displayModeChanged);
    EXPECT_EQ(0, fakePlatform.showCursorCount);
  }
}

// A switch whose new creation fails tears down only what the new creation made.
TEST(DestroyViewerWindow, TeardownInsideAFailedSwitchLeavesOldHandlesAlone) {
  const struct {
    const char* call;
    const char* text;
    std::vector<std::string> releases;
  } cases[] = {{"CreateWindowExA", "Window Creation Error.", {"UnregisterClassA"}},
               {"GetDC", "Can't Create A GL Device Context.", {"DestroyWindow", "UnregisterClassA"}}};
  const char* const releases[] = {"wglMakeCurrent", "wglDeleteContext", "ReleaseDC", "DestroyWindow",
                                  "UnregisterClassA"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    ResetFakePlatform();
    ASSERT_TRUE(OpenTestWindow(false));
    DestroyViewerWindow();
    size_t start = fakePlatform.calls.size();
    fakePlatform.failCall = c.call;

    EXPECT_FALSE(OpenTestWindow(true));

    EXPECT_EQ(std::vector<std::string>{c.text}, BoxTexts("ERROR", kErrorBox));
    EXPECT_EQ(c.releases, CallsAmong(releases, start));
    int unregister = FakeCallIndex("UnregisterClassA", 2);
    ASSERT_GE(unregister, 0);
    EXPECT_EQ(FirstResult("GetModuleHandleA"), fakePlatform.calls[unregister].handle);
    ExpectAllReleased();
  }
}

// A successful creation makes its calls in order and leaves the context current.
TEST(CreateViewerWindow, WindowedCreationOrderAndResult) {
  ResetFakePlatform();
  windowContext.fullscreen = 1;
  ASSERT_TRUE(OpenTestWindow(false));
  const char* const order[] = {
      "GetModuleHandleA", "RegisterClassA", "ChangeDisplaySettingsA", "ShowCursor",
      "AdjustWindowRectEx", "CreateWindowExA", "GetDC", "ChoosePixelFormat", "SetPixelFormat",
      "wglCreateContext", "wglMakeCurrent", "ShowWindow", "SetForegroundWindow", "SetFocus",
      "timeGetTime"};
  std::vector<std::string> expected = {
      "GetModuleHandleA", "RegisterClassA", "AdjustWindowRectEx", "CreateWindowExA", "GetDC",
      "ChoosePixelFormat", "SetPixelFormat", "wglCreateContext", "wglMakeCurrent", "ShowWindow",
      "SetForegroundWindow", "SetFocus", "timeGetTime"};
  EXPECT_EQ(expected, CallsAmong(order));
  EXPECT_TRUE(fakePlatform.boxes.empty());
  EXPECT_EQ(0, windowContext.fullscreen);
  EXPECT_EQ((HWND)FirstResult("CreateWindowExA"), windowContext.window);
  EXPECT_EQ((HDC)FirstResult("GetDC"), windowContext.deviceContext);
  EXPECT_NE(nullptr, windowContext.renderingContext);
  EXPECT_EQ(windowContext.renderingContext, fakePlatform.currentContext);
  EXPECT_EQ(windowContext.window, (HWND)fakePlatform.calls[FakeCallIndex("ShowWindow")].handle);
  EXPECT_TRUE(fakePlatform.misuse.empty());

  DestroyViewerWindow();
  EXPECT_EQ(0, FakeCallCount("ChangeDisplaySettingsA"));
  ExpectAllReleased();
}

// Styles and placement per mode; fullscreen changes the display mode with its record, hides
// the cursor, and its teardown restores the mode first.
TEST(CreateViewerWindow, StylesPositionAndDisplayModePerMode) {
  const struct {
    bool fullscreen;
    DWORD exStyle;
    DWORD style;
    int cursorCount;
  } modes[] = {{false, 0x40100, 0xCF0000 | 0x6000000, 0},
               {true, 0x40000, 0x80000000u | 0x6000000, -1}};
  for (const auto& m : modes) {
    SCOPED_TRACE(m.fullscreen);
    ResetFakePlatform();
    ASSERT_TRUE(OpenTestWindow(m.fullscreen));
    const FakeWindowRequest& w = fakePlatform.lastWindow;
    EXPECT_EQ(m.exStyle, w.exStyle);
    EXPECT_EQ(m.style, w.style);
    EXPECT_EQ("OpenGL", w.className);
    EXPECT_EQ("Quillmere OpenGL by KALMO", w.title);
    EXPECT_EQ(0, w.x);
    EXPECT_EQ(0, w.y);
    // The window's size is the client area's grown by the frame of its style.
    EXPECT_EQ(800, w.clientWidth);
    EXPECT_EQ(600, w.clientHeight);
    EXPECT_EQ(nullptr, w.parent);
    EXPECT_EQ(nullptr, w.menu);
    EXPECT_EQ(nullptr, w.param);
    EXPECT_EQ(windowContext.instance, w.instance);
    EXPECT_EQ(m.fullscreen ? 1 : 0, windowContext.fullscreen);
    EXPECT_EQ(m.cursorCount, fakePlatform.showCursorCount);
    EXPECT_EQ(m.fullscreen, fakePlatform.displayModeChanged);
    DestroyViewerWindow();
    ExpectAllReleased();
  }
  DEVMODEA mode = fakePlatform.lastMode;
  EXPECT_EQ(156, mode.dmSize);
  EXPECT_EQ(800u, mode.dmPelsWidth);
  EXPECT_EQ(600u, mode.dmPelsHeight);
  EXPECT_EQ(32u, mode.dmBitsPerPel);
  EXPECT_EQ(0x1C0000u, mode.dmFields);
  EXPECT_EQ((DWORD)CDS_FULLSCREEN, fakePlatform.lastModeFlags);
  mode.dmSize = 0;
  mode.dmPelsWidth = mode.dmPelsHeight = mode.dmBitsPerPel = mode.dmFields = 0;
  EXPECT_TRUE(RestIsZero(mode));
  // The restore is the (NULL, 0) call, first in the teardown.
  int restore = FakeCallIndex("ChangeDisplaySettingsA", 2);
  ASSERT_GE(restore, 0);
  EXPECT_EQ(0u, fakePlatform.calls[restore].handle);
  EXPECT_LT(restore, FakeCallIndex("wglMakeCurrent", 2));
}

TEST(CreateViewerWindow, PixelFormatRequestFields) {
  ResetFakePlatform();
  ASSERT_TRUE(OpenTestWindow(false));
  PIXELFORMATDESCRIPTOR p = fakePlatform.lastPixelFormat;
  EXPECT_EQ(&PixelFormatRequest, fakePlatform.choosePixelFormatRequest);
  EXPECT_EQ(&PixelFormatRequest, fakePlatform.setPixelFormatRequest);
  EXPECT_EQ(1, fakePlatform.setPixelFormatIndex);
  EXPECT_EQ(40, p.nSize);
  EXPECT_EQ(1, p.nVersion);
  EXPECT_EQ(0x25u, p.dwFlags);
  EXPECT_EQ(PFD_TYPE_RGBA, p.iPixelType);
  EXPECT_EQ(32, p.cColorBits);
  EXPECT_EQ(16, p.cDepthBits);
  EXPECT_EQ(PFD_MAIN_PLANE, p.iLayerType);
  p.nSize = p.nVersion = 0;
  p.dwFlags = 0;
  p.cColorBits = p.cDepthBits = 0;
  EXPECT_TRUE(RestIsZero(p));
  DestroyViewerWindow();
}

// The colour bits come from the first creation that got past its window, and only from it.
TEST(CreateViewerWindow, ColourBitsAreFilledOnceAfterTheWindow) {
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
    EXPECT_EQ(c.expected, fakePlatform.lastPixelFormat.cColorBits);
    EXPECT_EQ(c.expected, PixelFormatRequest.cColorBits);
    DestroyViewerWindow();
    EXPECT_TRUE(fakePlatform.misuse.empty());
  }
}
