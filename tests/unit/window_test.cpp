// Window creation and teardown against the fake platform.
#include "app/app_state.h"
#include "platform/fake/fake_platform.h"
#include "platform/viewer_window.h"
#include "platform/window_proc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const UINT ERROR_BOX = MB_OK | MB_ICONEXCLAMATION;
const UINT SHUTDOWN_BOX = MB_OK | MB_ICONINFORMATION;

// Checks one recorded box against its text, caption and type, and that it has no owner.
void ExpectBox(size_t index, const char* text, const char* caption, UINT type) {
  ASSERT_LT(index, fakePlatform.boxes.size());
  const FakeMessageBox& box = fakePlatform.boxes[index];
  EXPECT_EQ(std::string(text), box.text);
  EXPECT_EQ(std::string(caption), box.caption);
  EXPECT_EQ(type, box.type);
  EXPECT_EQ(nullptr, box.owner);
}

// The names of the recorded calls from index on that are in the list, in order.
std::vector<std::string> CallsAmong(const std::vector<std::string>& names, size_t from = 0) {
  std::vector<std::string> seen;
  for (size_t i = from; i < fakePlatform.calls.size(); i++) {
    for (const std::string& name : names) {
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

// One creation step made to fail and what the teardown before its message releases.
struct CreationFailure {
  const char* call;
  bool fullscreen;
  const char* text;
  bool teardown;
  int releaseDCs;
  int destroyWindows;
  int deleteContexts;
};

const CreationFailure CREATION_FAILURES[] = {
    {"RegisterClassA", false, "Failed To Register The Window Class.", false, 0, 0, 0},
    {"CreateWindowExA", false, "Window Creation Error.", true, 0, 0, 0},
    {"CreateWindowExA", true, "Window Creation Error.", true, 0, 0, 0},
    {"GetDC", false, "Can't Create A GL Device Context.", true, 0, 1, 0},
    {"ChoosePixelFormat", false, "Can't Find A Suitable PixelFormat.", true, 1, 1, 0},
    {"SetPixelFormat", true, "Can't Set The PixelFormat.", true, 1, 1, 0},
    {"wglCreateContext", false, "Can't Create A GL Rendering Context.", true, 1, 1, 0},
    {"wglMakeCurrent", true, "Can't Activate The GL Rendering Context.", true, 1, 1, 1},
};

}  // namespace

TEST(CreateViewerWindow, EachFailingStepReportsAfterItsTeardown) {
  for (const CreationFailure& c : CREATION_FAILURES) {
    SCOPED_TRACE(std::string(c.call) + (c.fullscreen ? " fullscreen" : " windowed"));
    ResetFakePlatform();
    fakePlatform.failCall = c.call;

    EXPECT_FALSE(CreateViewerWindow("Quillmere OpenGL by KALMO", 800, 600, 32, c.fullscreen));

    ASSERT_EQ(1u, fakePlatform.boxes.size());
    ExpectBox(0, c.text, "ERROR", ERROR_BOX);
    int box = FakeCallIndex("MessageBoxA");
    EXPECT_EQ((int)fakePlatform.calls.size() - 1, box);
    int unregister = FakeCallIndex("UnregisterClassA");
    if (c.teardown) {
      ASSERT_GE(unregister, 0);
      EXPECT_LT(unregister, box);
      EXPECT_EQ(c.fullscreen ? 2 : 0, FakeCallCount("ChangeDisplaySettingsA"));
      ExpectAllReleased();
    } else {
      EXPECT_EQ(-1, unregister);
      EXPECT_TRUE(fakePlatform.misuse.empty());
    }
    EXPECT_EQ(c.releaseDCs, FakeCallCount("ReleaseDC"));
    EXPECT_EQ(c.destroyWindows, FakeCallCount("DestroyWindow"));
    EXPECT_EQ(c.deleteContexts, FakeCallCount("wglDeleteContext"));
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

    EXPECT_EQ(a.created, CreateViewerWindow("Quillmere OpenGL by KALMO", 800, 600, 32, true));

    ExpectBox(0,
              "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. "
              "Use Windowed Mode Instead?",
              "Vexa GL", MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_EQ(0, fakePlatform.showCursorCount);
    if (a.created) {
      ASSERT_EQ(1u, fakePlatform.boxes.size());
      EXPECT_EQ(0, windowContext.fullscreen);
      EXPECT_EQ(WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, fakePlatform.lastWindow.exStyle);
      DestroyViewerWindow();
      EXPECT_EQ(1, FakeCallCount("ChangeDisplaySettingsA"));
      EXPECT_EQ(0, FakeCallCount("ShowCursor"));
      ExpectAllReleased();
    } else {
      ASSERT_EQ(2u, fakePlatform.boxes.size());
      ExpectBox(1, "Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP);
      EXPECT_EQ(0, FakeCallCount("CreateWindowExA"));
      EXPECT_EQ(0, FakeCallCount("UnregisterClassA"));
    }
  }
}

// Each release failing on its own is reported, and every later step still runs.
TEST(DestroyViewerWindow, EveryFailedReleaseIsReportedAndAllStepsRun) {
  const struct {
    const char* call;
    std::vector<const char*> texts;
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
    ASSERT_TRUE(CreateViewerWindow("Quillmere OpenGL by KALMO", 800, 600, 32, true));
    size_t start = fakePlatform.calls.size();
    fakePlatform.failCall = c.call;

    DestroyViewerWindow();

    ASSERT_EQ(c.texts.size(), fakePlatform.boxes.size());
    for (size_t i = 0; i < c.texts.size(); i++) ExpectBox(i, c.texts[i], "SHUTDOWN ERROR", SHUTDOWN_BOX);
    std::vector<std::string> order = {"ChangeDisplaySettingsA", "ShowCursor", "wglMakeCurrent",
                                      "wglDeleteContext", "ReleaseDC", "DestroyWindow",
                                      "UnregisterClassA"};
    EXPECT_EQ(order, CallsAmong(order, start));
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
    int destroyWindows;
  } cases[] = {{"CreateWindowExA", "Window Creation Error.", 0},
               {"GetDC", "Can't Create A GL Device Context.", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    ResetFakePlatform();
    ASSERT_TRUE(CreateViewerWindow("Quillmere OpenGL by KALMO", 800, 600, 32, false));
    DestroyViewerWindow();
    size_t start = fakePlatform.calls.size();
    fakePlatform.failCall = c.call;

    EXPECT_FALSE(CreateViewerWindow("Quillmere OpenGL by KALMO", 800, 600, 32, true));

    ASSERT_EQ(1u, fakePlatform.boxes.size());
    ExpectBox(0, c.text, "ERROR", ERROR_BOX);
    std::vector<std::string> releases = {"wglMakeCurrent", "wglDeleteContext", "ReleaseDC",
                                         "DestroyWindow", "UnregisterClassA"};
    std::vector<std::string> expected;
    if (c.destroyWindows) expected.push_back("DestroyWindow");
    expected.push_back("UnregisterClassA");
    EXPECT_EQ(expected, CallsAmong(releases, start));
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
  ASSERT_TRUE(CreateViewerWindow("Quillmere OpenGL by KALMO", 800, 600, 32, false));
  std::vector<std::string> order = {
      "GetModuleHandleA", "RegisterClassA", "ChangeDisplaySettingsA", "ShowCursor",
      "AdjustWindowRectEx", "CreateWindowExA", "GetDC", "ChoosePixelFormat", "SetPixelFormat",
      "wglCreateContext", "wglMakeCurrent", "ShowWindow", "SetForegroundWindow", "SetFocus",
      "timeGetTime"};
  std::vector<std::string> expected = order;
  expected.erase(expected.begin() + 2, expected.begin() + 4);
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

TEST(CreateViewerWindow, StylesPositionAndClientAreaPerMode) {
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
    ASSERT_TRUE(CreateViewerWindow("Quillmere OpenGL by KALMO", 800, 600, 32, m.fullscreen));
    const FakeWindowRequest& w = fakePlatform.lastWindow;
    EXPECT_EQ(m.exStyle, w.exStyle);
    EXPECT_EQ(m.style, w.style);
    EXPECT_EQ("OpenGL", w.className);
    EXPECT_EQ("Quillmere OpenGL by KALMO", w.title);
    EXPECT_EQ(0, w.x);
    EXPECT_EQ(0, w.y);
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
}

TEST(CreateViewerWindow, FullscreenDisplayModeRecord) {
  ResetFakePlatform();
  ASSERT_TRUE(CreateViewerWindow("Quillmere OpenGL by KALMO", 800, 600, 32, true));
  DEVMODEA mode = fakePlatform.lastMode;
  EXPECT_EQ(156, mode.dmSize);
  EXPECT_EQ(800u, mode.dmPelsWidth);
  EXPECT_EQ(600u, mode.dmPelsHeight);
  EXPECT_EQ(32u, mode.dmBitsPerPel);
  EXPECT_EQ(0x1C0000u, mode.dmFields);
  EXPECT_EQ((DWORD)CDS_FULLSCREEN, fakePlatform.lastModeFlags);
  mode.dmSize = 0;
  mode.dmPelsWidth = mode.dmPelsHeight = mode.dmBitsPerPel = mode.dmFields = 0;
  DEVMODEA zero;
  std::memset(&zero, 0, sizeof zero);
  EXPECT_EQ(0, std::memcmp(&zero, &mode, sizeof mode));
  DestroyViewerWindow();
  // The restore is the (NULL, 0) call, first in the teardown.
  int restore = FakeCallIndex("ChangeDisplaySettingsA", 2);
  ASSERT_GE(restore, 0);
  EXPECT_EQ(0u, fakePlatform.calls[restore].handle);
  EXPECT_LT(restore, FakeCallIndex("wglMakeCurrent", 2));
  ExpectAllReleased();
}

TEST(CreateViewerWindow, PixelFormatRequestFields) {
  ResetFakePlatform();
  ASSERT_TRUE(CreateViewerWindow("Quillmere OpenGL by KALMO", 800, 600, 32, false));
  const PIXELFORMATDESCRIPTOR& p = fakePlatform.lastPixelFormat;
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
  PIXELFORMATDESCRIPTOR rest = p;
  rest.nSize = rest.nVersion = 0;
  rest.dwFlags = 0;
  rest.cColorBits = rest.cDepthBits = 0;
  PIXELFORMATDESCRIPTOR zero;
  std::memset(&zero, 0, sizeof zero);
  EXPECT_EQ(0, std::memcmp(&zero, &rest, sizeof rest));
  DestroyViewerWindow();
}

// The colour bits come from the first creation that got past its window, and only from it.
TEST(CreateViewerWindow, ColourBitsAreFilledOnceAfterTheWindow) {
  const struct {
    const char* failCall;  // the first creation fails here ("" for none)
    int firstBits;
    int secondBits;
    int expected;
  } cases[] = {{"", 16, 32, 16},
               {"CreateWindowExA", 24, 32, 32},
               {"GetDC", 24, 32, 24}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failCall);
    ResetFakePlatform();
    fakePlatform.failCall = c.failCall;
    bool first = CreateViewerWindow("Quillmere OpenGL by KALMO", 800, 600, c.firstBits, false);
    if (first) DestroyViewerWindow();
    ASSERT_TRUE(CreateViewerWindow("Quillmere OpenGL by KALMO", 800, 600, c.secondBits, false));
    EXPECT_EQ(c.expected, fakePlatform.lastPixelFormat.cColorBits);
    EXPECT_EQ(c.expected, PixelFormatRequest.cColorBits);
    DestroyViewerWindow();
    EXPECT_TRUE(fakePlatform.misuse.empty());
  }
}
