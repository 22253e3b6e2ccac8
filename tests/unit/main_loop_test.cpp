// The entry function and main loop against scripted message queues of the fake platform.
#include "app/app_state.h"
#include "app/messages.h"
#include "app/viewer_main.h"
#include "controls/view_controls.h"
#include "platform/fake/fake_platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

MSG Message(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return MSG{nullptr, message, wParam, lParam, 0, {0, 0}};
}

// Messages added to the queue once the loop has found it empty this many times (frames).
struct Injection {
  int afterFrames;
  std::vector<MSG> messages;
};

// What the hook sees while one script runs; it ends a script that runs too long with 999.
struct ScriptRun {
  std::vector<Injection> injections;
  size_t next = 0;
  int frames = 0;
  int32_t countSeen = -1;  // the point table's count at the first peek: -1 when never run
  bool recordsSeen = false;
  std::vector<int> sizes;  // the point size the keys ask for at each frame
} script;

void ScriptHook(const MSG& taken) {
  if (script.countSeen < 0) {
    script.countSeen = pointTable.count;
    script.recordsSeen = pointTable.records != nullptr;
  }
  if (taken.message != 0) return;
  script.sizes.push_back(SelectedPointSize());
  script.frames++;
  while (script.next < script.injections.size() && script.injections[script.next].afterFrames <= script.frames) {
    for (const MSG& msg : script.injections[script.next++].messages) fakePlatform.queue.push_back(msg);
  }
  if (script.frames == 2000) PostQuitMessage(999);
}

// One run of the viewer in a fresh folder holding sphere.txt and cloud.txt (three points each).
class LoopRun : public ::testing::Test {
 protected:
  fs::path previous = fs::current_path();
  fs::path dir = fs::temp_directory_path() /
                 ("main-loop-test-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  void SetUp() override {
    fs::create_directories(dir);
    fs::current_path(dir);
    for (const char* name : {"sphere.txt", "cloud.txt"}) {
      std::FILE* file = std::fopen(name, "wb");
      std::fputs("1 2 3\n4 5 6\n7 8 9\n", file);
      std::fclose(file);
    }
    Start({}, {});
  }
  void TearDown() override {
    fs::current_path(previous);
    fs::remove_all(dir);
  }
  // A fresh fake with the queue before the first frame and the messages added later.
  void Start(std::vector<MSG> queue, std::vector<Injection> later) {
    ResetFakePlatform();
    script = ScriptRun{};
    script.injections = later;
    fakePlatform.queue.assign(queue.begin(), queue.end());
    fakePlatform.afterPeek = ScriptHook;
  }
  // Runs the viewer and sums the run up: the exit code, the windows and display modes, the
  // file and its points, the boxes. Everything must have been released whatever the way out.
  std::string Run(const char* commandLine = "cloud.txt") {
    std::string line = commandLine ? commandLine : "";
    int exitCode = ViewerMain(nullptr, nullptr, commandLine ? &line[0] : nullptr, SW_SHOW);
    // The windows (framed "window" or fullscreen "popup") and display modes in their order.
    std::string outcome = "exit " + std::to_string(exitCode) + ",";
    for (const std::string& call : fakePlatform.calls) {
      bool window = call.rfind("CreateWindowExA(", 0) == 0, mode = call.rfind("ChangeDisplaySettingsA(", 0) == 0;
      if (!window && !mode) continue;
      outcome += window ? (call.find(", 0x6cf0000,") != std::string::npos ? " window" : " popup")
                        : (call[23] == '{' ? " mode" : " desktop");
      bool failed = call.find(" failed") != std::string::npos, refused = call.find(" refused") != std::string::npos;
      outcome += failed ? " failed" : refused ? " refused" : "";
    }
    outcome += std::string(", ") + loadedFileInfo.fileName + " " + std::to_string(script.countSeen);
    for (const std::string& box : FakeBoxes()) outcome += "; " + box;
    EXPECT_EQ(script.countSeen > 0, script.recordsSeen);
    EXPECT_EQ(nullptr, pointTable.records);
    EXPECT_EQ(0, pointTable.count);
    EXPECT_EQ(0, FakeLiveHandles());
    EXPECT_EQ(std::vector<std::string>{}, fakePlatform.misuse);
    EXPECT_FALSE(fakePlatform.displayModeChanged);
    return outcome;
  }
};

const UINT kMinimised = 1u << 16;
const MSG kClose = Message(WM_CLOSE), kEscape = Message(WM_KEYDOWN, VK_ESCAPE), kF1 = Message(WM_KEYDOWN, VK_F1);

// How the loop ends, and its exit code.
TEST_F(LoopRun, WaysOut) {
  const struct {
    const char* name;
    std::vector<MSG> queue;
    std::vector<Injection> later;
    const char* outcome;
  } cases[] = {
      {"close", {Message(WM_KEYDOWN, 'A'), kClose}, {}, "exit 0, window, cloud.txt 3"},
      {"close after frames", {}, {{5, {kClose}}}, "exit 0, window, cloud.txt 3"},
      {"Escape", {}, {{3, {kEscape}}}, "exit 27, window, cloud.txt 3"},
      {"Escape down and up in one drain", {}, {{3, {kEscape, Message(WM_KEYUP, VK_ESCAPE)}}},
       "exit 27, window, cloud.txt 3"},
      {"quit code passed on", {Message(WM_QUIT, 5)}, {}, "exit 5, window, cloud.txt 3"},
      // Escape waits while minimised; the exit code is the last message's wParam.
      {"Escape after restore", {Message(WM_ACTIVATE, kMinimised | WA_INACTIVE), kEscape},
       {{10, {Message(WM_ACTIVATE, WA_ACTIVE)}}}, "exit 1, window, cloud.txt 3"},
      {"F1 once per key-down", {kF1}, {{5, {kF1}}, {10, {kClose}}}, "exit 0, window mode popup desktop window, cloud.txt 3"},
      {"F1 down and up in one drain; a key-up alone never", {kF1, Message(WM_KEYUP, VK_F1)},
       {{3, {Message(WM_KEYUP, VK_F1)}}, {8, {kClose}}}, "exit 0, window mode popup desktop, cloud.txt 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Start(c.queue, c.later);
    EXPECT_EQ(c.outcome, Run());
    EXPECT_LT(script.frames, 2000) << "the loop did not end";
  }
  // Escape held before any message was ever retrieved ends the run with 0.
  Start({}, {});
  keyTable.down[VK_ESCAPE] = 1;
  EXPECT_EQ("exit 0, window, cloud.txt 3", Run());
}

// Failing windows, refused modes and files: the boxes in order, and the way out. A window
// that fails in a switch leaves the old one's handles alone (they were released already); the
// view survives every switch.
TEST_F(LoopRun, FailuresAndFiles) {
  const struct {
    const char* name;
    const char* commandLine;
    const char* failCall;
    int occurrence;
    int answer;  // to the question of a refused fullscreen mode (-1: the mode is granted)
    const char* outcome;
  } cases[] = {
      {"failed switch window", "cloud.txt", "CreateWindowExA", 2, -1,
       "exit 0, window mode popup failed desktop, cloud.txt 3; Window Creation Error., ERROR, 0x30"},
      {"failed switch DC", "cloud.txt", "GetDC", 2, -1,
       "exit 0, window mode popup desktop, cloud.txt 3; Can't Create A GL Device Context., ERROR, 0x30"},
      {"refused fullscreen, the box failed", "cloud.txt", "", 1, 0,
       "exit 0, window mode refused, cloud.txt 3; " MSG_FULLSCREEN_UNSUPPORTED ", Vexa GL, 0x34; "
       "Program Will Now Close., ERROR, 0x10"},
      {"refused fullscreen answered Yes", "cloud.txt", "", 1, IDYES,
       "exit 0, window mode refused window, cloud.txt 3; " MSG_FULLSCREEN_UNSUPPORTED ", Vexa GL, 0x34"},
      {"failed first window", "cloud.txt", "CreateWindowExA", 1, -1,
       "exit 0, window failed, cloud.txt -1; Window Creation Error., ERROR, 0x30"},
      {"empty tail: the default file", "", "", 1, -1, "exit 0, window mode popup desktop, sphere.txt 3"},
      {"null tail: the default file", nullptr, "", 1, -1, "exit 0, window mode popup desktop, sphere.txt 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Start({kF1}, {{4, {kClose}}});
    fakePlatform.failCall = c.failCall;
    fakePlatform.failOccurrence = c.occurrence;
    if (c.answer >= 0) fakePlatform.displayChangeResult = DISP_CHANGE_BADMODE;
    if (c.answer >= 0) fakePlatform.boxAnswers.push_back(c.answer);
    viewState.positionX = 4.5f;
    EXPECT_EQ(c.outcome, Run(c.commandLine));
    EXPECT_EQ(4.5f, viewState.positionX) << "the view survives a switch";
  }
}

// Pending messages are all handled before a frame is drawn; the window goes after the loop.
TEST_F(LoopRun, FramesOnlyWhenTheQueueIsEmpty) {
  Start({Message(WM_KEYDOWN, 'A'), Message(WM_KEYUP, 'A'), Message(WM_PAINT)}, {{1, {kClose}}});
  Run();
  EXPECT_EQ(1, FakeCallCount("SwapBuffers"));
  EXPECT_LT(FakeCallIndex("DispatchMessageA", 3), FakeCallIndex("SwapBuffers"));
  EXPECT_GT(FakeCallIndex("DispatchMessageA", 4), FakeCallIndex("SwapBuffers"));
  EXPECT_GT(FakeCallIndex("DestroyWindow"), FakeCallIndex("SwapBuffers"));
}

// A digit tapped within one drain sets the point size for exactly one frame.
TEST_F(LoopRun, TapBetweenFramesCountsForOneFrame) {
  Start({}, {{2, {Message(WM_KEYDOWN, '5'), Message(WM_KEYUP, '5')}}, {5, {kClose}}});
  Run();
  EXPECT_EQ((std::vector<int>{0, 0, 5, 0, 0}), script.sizes);
}

}  // namespace
