// The entry function and main loop against scripted message queues of the fake platform.
#include "app/app_state.h"
#include "app/messages.h"
#include "app/viewer_main.h"
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
const MSG kClose = Message(WM_CLOSE), kEscape = Message(WM_KEYDOWN, VK_ESCAPE), kF1 = Message(WM_KEYDOWN, VK_F1);

// Messages the hook adds to the queue once the loop has found it empty this many times (frames).
using Later = std::vector<std::pair<int, std::vector<MSG>>>;
Later later;
int frames = 0;
int32_t countSeen = -1;  // the point table's count at the first peek: -1 when never run

// Runs after every peek; it ends a script that runs too long with 999.
void ScriptHook(const MSG& taken) {
  if (countSeen < 0) countSeen = pointTable.records != nullptr ? pointTable.count : 0;
  if (taken.message != 0) return;
  frames++;
  for (const auto& step : later) {
    if (step.first == frames) for (const MSG& msg : step.second) fakePlatform.queue.push_back(msg);
  }
  if (frames == 2000) PostQuitMessage(999);
}

// A fresh fake with the queue before the first frame and the messages added later.
void Start(const std::vector<MSG>& queue, const Later& added) {
  ResetFakePlatform();
  later = added;
  frames = 0;
  countSeen = -1;
  fakePlatform.queue.assign(queue.begin(), queue.end());
  fakePlatform.afterPeek = ScriptHook;
}

// Runs the viewer in a fresh folder holding sphere.txt and cloud.txt (three points each) and
// sums the run up: the exit code, the windows (framed "window", fullscreen "popup") and display
// modes in their order, the file and its points, the boxes. Whatever the way out, everything
// must have been released.
std::string RunViewer(const char* commandLine) {
  fs::path previous = fs::current_path(), dir = fs::temp_directory_path() /
      ("main-loop-test-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(dir);
  fs::current_path(dir);
  for (const char* name : {"sphere.txt", "cloud.txt"}) {
    std::FILE* file = std::fopen(name, "wb");
    std::fputs("1 2 3\n4 5 6\n7 8 9\n", file);
    std::fclose(file);
  }
  std::string line = commandLine ? commandLine : "";
  int exitCode = ViewerMain(nullptr, nullptr, commandLine ? &line[0] : nullptr, SW_SHOW);
  fs::current_path(previous);
  fs::remove_all(dir);
  std::string outcome = "exit " + std::to_string(exitCode) + ",";
  for (const std::string& call : fakePlatform.calls) {
    bool window = call.rfind("CreateWindowExA(", 0) == 0, mode = call.rfind("ChangeDisplaySettingsA(", 0) == 0;
    if (!window && !mode) continue;
    outcome += window ? (call.find(", 0x6cf0000,") != std::string::npos ? " window" : " popup")
                      : (call[23] == '{' ? " mode" : " desktop");
    bool failed = call.find(" failed") != std::string::npos, refused = call.find(" refused") != std::string::npos;
    outcome += failed ? " failed" : refused ? " refused" : "";
  }
  outcome += std::string(", ") + loadedFileInfo.fileName + " " + std::to_string(countSeen);
  for (const std::string& box : FakeBoxes()) outcome += "; " + box;
  EXPECT_EQ(nullptr, pointTable.records);
  EXPECT_EQ(0, FakeLiveHandles());
  EXPECT_EQ(std::vector<std::string>{}, fakePlatform.misuse);
  EXPECT_FALSE(fakePlatform.displayModeChanged);
  EXPECT_LT(frames, 2000) << "the loop did not end";
  return outcome;
}

// How a run ends, whatever fails in it, the boxes in their order, and the file it loads. A
// window that fails in a switch leaves the old one's handles alone (they were released
// already); the view survives every switch.
TEST(MainLoop, RunTable) {
  const Later closeLater = {{4, {kClose}}};
  const struct {
    const char* name;
    std::vector<MSG> queue;
    Later later;
    const char* outcome;
    const char* failCall = "";
    int occurrence = 1;
    int answer = -1;  // to the question of a refused fullscreen mode (-1: the mode is granted)
    const char* commandLine = "cloud.txt";
  } cases[] = {
      {"close after a key", {Message(WM_KEYDOWN, 'A'), kClose}, {}, "exit 0, window, cloud.txt 3"},
      {"Escape down and up in one drain", {}, {{3, {kEscape, Message(WM_KEYUP, VK_ESCAPE)}}},
       "exit 27, window, cloud.txt 3"},
      {"quit code passed on", {Message(WM_QUIT, 5)}, {}, "exit 5, window, cloud.txt 3"},
      // Escape waits while minimised; the exit code is the last message's wParam.
      {"Escape after restore", {Message(WM_ACTIVATE, (1u << 16) | WA_INACTIVE), kEscape},
       {{10, {Message(WM_ACTIVATE, WA_ACTIVE)}}}, "exit 1, window, cloud.txt 3"},
      {"F1 once per key-down", {kF1}, {{5, {kF1}}, {10, {kClose}}},
       "exit 0, window mode popup desktop window, cloud.txt 3"},
      {"F1 down and up in one drain; a key-up alone never", {kF1, Message(WM_KEYUP, VK_F1)},
       {{3, {Message(WM_KEYUP, VK_F1)}}, {8, {kClose}}}, "exit 0, window mode popup desktop, cloud.txt 3"},
      {"failed switch window", {kF1}, closeLater,
       "exit 0, window mode popup failed desktop, cloud.txt 3; Window Creation Error., ERROR, 0x30",
       "CreateWindowExA", 2},
      {"failed switch DC", {kF1}, closeLater,
       "exit 0, window mode popup desktop, cloud.txt 3; Can't Create A GL Device Context., ERROR, 0x30", "GetDC", 2},
      {"refused fullscreen, the box failed", {kF1}, closeLater, "exit 0, window mode refused, cloud.txt 3; "
       MSG_FULLSCREEN_UNSUPPORTED ", Vexa GL, 0x34; Program Will Now Close., ERROR, 0x10", "", 1, 0},
      {"refused fullscreen answered Yes", {kF1}, closeLater,
       "exit 0, window mode refused window, cloud.txt 3; " MSG_FULLSCREEN_UNSUPPORTED ", Vexa GL, 0x34", "", 1,
       IDYES},
      {"failed first window", {}, {}, "exit 0, window failed, cloud.txt -1; Window Creation Error., ERROR, 0x30",
       "CreateWindowExA"},
      {"empty tail: the default file", {kClose}, {}, "exit 0, window, sphere.txt 3", "", 1, -1, ""},
      {"null tail: the default file", {kClose}, {}, "exit 0, window, sphere.txt 3", "", 1, -1, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Start(c.queue, c.later);
    fakePlatform.failCall = c.failCall;
    fakePlatform.failOccurrence = c.occurrence;
    if (c.answer >= 0) fakePlatform.displayChangeResult = DISP_CHANGE_BADMODE;
    if (c.answer >= 0) fakePlatform.boxAnswers.push_back(c.answer);
    viewState.positionX = 4.5f;
    EXPECT_EQ(c.outcome, RunViewer(c.commandLine));
    EXPECT_EQ(4.5f, viewState.positionX) << "the view survives a switch";
  }
  // Escape held before any message was ever retrieved ends the run with 0.
  Start({}, {});
  keyTable.down[VK_ESCAPE] = 1;
  EXPECT_EQ("exit 0, window, cloud.txt 3", RunViewer("cloud.txt"));
}

// Pending messages are all handled before a frame is drawn; the window goes after the loop.
TEST(MainLoop, FramesOnlyWhenTheQueueIsEmpty) {
  Start({Message(WM_KEYDOWN, 'A'), Message(WM_KEYUP, 'A'), Message(WM_PAINT)}, {{1, {kClose}}});
  RunViewer("cloud.txt");
  EXPECT_EQ(1, FakeCallCount("SwapBuffers"));
  EXPECT_LT(FakeCallIndex("DispatchMessageA", 3), FakeCallIndex("SwapBuffers"));
  EXPECT_GT(FakeCallIndex("DispatchMessageA", 4), FakeCallIndex("SwapBuffers"));
  EXPECT_GT(FakeCallIndex("DestroyWindow"), FakeCallIndex("SwapBuffers"));
}

}  // namespace
