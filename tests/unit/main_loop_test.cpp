// The entry function and main loop against scripted message queues of the fake platform.
#include "app/app_state.h"
#include "app/messages.h"
#include "app/viewer_main.h"
#include "controls/view_controls.h"
#include "platform/fake/fake_platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <direct.h>
#include <process.h>
#define chdir _chdir
#define getcwd _getcwd
#define rmdir _rmdir
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const int kFrameCap = 2000;  // empty peeks before a script is declared stuck

// A message for the newest window (the fake routes a null hwnd there).
MSG Message(UINT message, WPARAM wParam, LPARAM lParam = 0) {
  MSG msg{};
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  return msg;
}

// Messages to put in the queue once the given number of frames (empty peeks) has passed.
struct Injection {
  int afterFrames;
  std::vector<MSG> messages;
};

// What the hook sees while one script runs.
struct ScriptRun {
  std::vector<Injection> injections;
  size_t nextInjection = 0;
  int emptyPeeks = 0;
  bool stuck = false;
  int32_t countSeen = -1;           // the point table's count at the first peek
  bool recordsSeen = false;
};

ScriptRun script;

// Runs after every PeekMessageA: injects due messages, ends stuck scripts.
void ScriptHook(const MSG& taken) {
  if (script.countSeen < 0) {
    script.countSeen = pointTable.count;
    script.recordsSeen = pointTable.records != nullptr;
  }
  if (taken.message != 0) return;
  script.emptyPeeks++;
  while (script.nextInjection < script.injections.size() &&
         script.injections[script.nextInjection].afterFrames <= script.emptyPeeks) {
    for (const MSG& msg : script.injections[script.nextInjection].messages) {
      fakePlatform.queue.push_back(msg);
    }
    script.nextInjection++;
  }
  if (script.emptyPeeks >= kFrameCap && !script.stuck) {
    script.stuck = true;
    fakePlatform.quitPosted = true;
    fakePlatform.quitCode = 999;
  }
}

// Writes a small point file of three lines and returns its name.
std::string WritePointFile(const char* name) {
  std::FILE* file = std::fopen(name, "wb");
  std::fputs("1 2 3\n4 5 6\n7 8 9\n", file);
  std::fclose(file);
  return name;
}

// A fresh working directory holding sphere.txt and cloud.txt, entered for the test.
struct WorkDir {
  std::string path;
  char previous[4096];
};

// Creates and enters a temporary directory with the two point files.
void EnterWorkDir(WorkDir& dir) {
  const char* temp = std::getenv("TEMP");
  if (temp == nullptr) temp = std::getenv("TMPDIR");
  if (temp == nullptr) temp = "/tmp";
  dir.path = std::string(temp) + "/main-loop-test-" + std::to_string(getpid());
#if defined(_WIN32)
  ASSERT_EQ(_mkdir(dir.path.c_str()), 0);
#else
  ASSERT_EQ(mkdir(dir.path.c_str(), 0700), 0);
#endif
  ASSERT_NE(getcwd(dir.previous, sizeof dir.previous), nullptr);
  ASSERT_EQ(chdir(dir.path.c_str()), 0);
  WritePointFile("sphere.txt");
  WritePointFile("cloud.txt");
}

// Leaves and removes the temporary directory.
void LeaveWorkDir(const WorkDir& dir) {
  std::remove((dir.path + "/sphere.txt").c_str());
  std::remove((dir.path + "/cloud.txt").c_str());
  EXPECT_EQ(chdir(dir.previous), 0);
  rmdir(dir.path.c_str());
}

// How one run is driven: the command line, the queue before it, the messages added while it
// runs, and Escape held from the start.
struct LoopScript {
  const char* commandLine = "cloud.txt";  // nullptr allowed
  std::vector<MSG> queue = {};
  std::vector<Injection> injections = {};
  uint8_t escapeHeldAtStart = 0;
};

// What the platform does other than succeed: one call failing, the display mode's answer, the
// answers to the boxes.
struct LoopPlatform {
  std::string failCall = "";
  int failOccurrence = 1;
  LONG displayChangeResult = DISP_CHANGE_SUCCESSFUL;
  std::vector<int> boxAnswers = {};
};

// What must come of the run.
struct LoopOutcome {
  int exitCode = 0;
  int windowsCreated = 1;               // CreateWindowExA calls
  int fullscreenRequests = 0;           // ChangeDisplaySettingsA calls with a record
  std::vector<std::string> boxTexts = {};  // every box, in order
  const char* fileName = "cloud.txt";   // the name handed to the loader
  int pointCount = 3;                   // the table's count while running; -1: never ran
};

struct LoopCase {
  const char* name;
  LoopScript script;
  LoopPlatform platform;
  LoopOutcome outcome;
};

const UINT kMinimised = 1u << 16;

const std::vector<LoopCase>& LoopCases() {
  static const std::vector<LoopCase> cases = {
      // How the loop ends, and its exit code.
      {"close gives 0", {"cloud.txt", {Message(WM_KEYDOWN, 'A'), Message(WM_CLOSE, 0)}}, {}, {0}},
      {"close after frames gives 0", {"cloud.txt", {}, {{5, {Message(WM_CLOSE, 0)}}}}, {}, {0}},
      {"Alt+F4 gives 0", {"cloud.txt", {}, {{2, {Message(WM_SYSKEYDOWN, VK_F4, 1 << 29)}}}}, {}, {0}},
      {"Escape gives 27", {"cloud.txt", {}, {{3, {Message(WM_KEYDOWN, VK_ESCAPE)}}}}, {}, {27}},
      {"quit code passed on", {"cloud.txt", {Message(WM_QUIT, 5)}}, {}, {5}},
      {"Escape with no message ever retrieved gives 0", {"cloud.txt", {}, {}, 1}, {}, {0}},
      {"Escape waits while minimised, acts after restore",
       {"cloud.txt", {Message(WM_ACTIVATE, kMinimised | WA_INACTIVE), Message(WM_KEYDOWN, VK_ESCAPE)},
        {{10, {Message(WM_ACTIVATE, WA_ACTIVE)}}}},
       {}, {WA_ACTIVE}},
      {"Escape down and up in one drain gives 27",
       {"cloud.txt", {}, {{3, {Message(WM_KEYDOWN, VK_ESCAPE), Message(WM_KEYUP, VK_ESCAPE)}}}}, {}, {27}},
      // F1 switches.
      {"F1 switches once per key-down",
       {"cloud.txt", {Message(WM_KEYDOWN, VK_F1)},
        {{5, {Message(WM_KEYDOWN, VK_F1)}}, {10, {Message(WM_CLOSE, 0)}}}},
       {}, {0, 3, 1}},
      {"F1 down and up in one drain switches once, a key-up alone never",
       {"cloud.txt", {Message(WM_KEYDOWN, VK_F1), Message(WM_KEYUP, VK_F1)},
        {{3, {Message(WM_KEYUP, VK_F1)}}, {8, {Message(WM_CLOSE, 0)}}}},
       {}, {0, 2, 1}},
      {"failed switch window gives 0", {"cloud.txt", {Message(WM_KEYDOWN, VK_F1)}},
       {"CreateWindowExA", 2}, {0, 2, 1, {MSG_WINDOW_CREATION_ERROR}}},
      {"refused fullscreen answered No gives 0", {"cloud.txt", {Message(WM_KEYDOWN, VK_F1)}},
       {"", 1, DISP_CHANGE_BADMODE, {IDNO}},
       {0, 1, 1, {MSG_FULLSCREEN_UNSUPPORTED, MSG_PROGRAM_WILL_CLOSE}}},
      {"refused fullscreen answered Yes goes on windowed",
       {"cloud.txt", {Message(WM_KEYDOWN, VK_F1)}, {{4, {Message(WM_CLOSE, 0)}}}},
       {"", 1, DISP_CHANGE_BADMODE, {IDYES}}, {0, 2, 1, {MSG_FULLSCREEN_UNSUPPORTED}}},
      {"failed first window gives 0", {"cloud.txt", {Message(WM_CLOSE, 0)}}, {"CreateWindowExA", 1},
       {0, 1, 0, {MSG_WINDOW_CREATION_ERROR}, "cloud.txt", -1}},
      // The file named on the command line.
      {"empty tail loads the default file", {"", {Message(WM_CLOSE, 0)}}, {},
       {0, 1, 0, {}, DEFAULT_POINT_FILE}},
      {"null tail loads the default file", {nullptr, {Message(WM_CLOSE, 0)}}, {},
       {0, 1, 0, {}, DEFAULT_POINT_FILE}},
      {"missing file: message, then an empty cloud", {"\"cloud.txt\"", {Message(WM_CLOSE, 0)}}, {},
       {0, 1, 0, {MSG_CANNOT_OPEN_FILE}, "\"cloud.txt\"", 0}},
  };
  return cases;
}

// One run of the viewer on cloud.txt in a fresh working folder, driven by the script.
class LoopRun : public ::testing::Test {
 protected:
  WorkDir dir;
  void SetUp() override {
    EnterWorkDir(dir);
    ResetFakePlatform();
    script = ScriptRun{};
    fakePlatform.afterPeek = ScriptHook;
  }
  void TearDown() override { LeaveWorkDir(dir); }
  int Run() {
    char line[] = "cloud.txt";
    return ViewerMain(nullptr, nullptr, line, SW_SHOW);
  }
};

}  // namespace

TEST_F(LoopRun, ScriptedRuns) {
  for (const LoopCase& c : LoopCases()) {
    SCOPED_TRACE(c.name);
    ResetFakePlatform();
    script = ScriptRun{};
    const LoopScript& run = c.script;
    const LoopOutcome& want = c.outcome;
    script.injections = run.injections;
    for (const MSG& msg : run.queue) fakePlatform.queue.push_back(msg);
    fakePlatform.afterPeek = ScriptHook;
    fakePlatform.failCall = c.platform.failCall;
    fakePlatform.failOccurrence = c.platform.failOccurrence;
    fakePlatform.displayChangeResult = c.platform.displayChangeResult;
    for (int answer : c.platform.boxAnswers) fakePlatform.boxAnswers.push_back(answer);
    keyTable.down[VK_ESCAPE] = run.escapeHeldAtStart;
    std::vector<char> line;
    if (run.commandLine != nullptr) line.assign(run.commandLine, run.commandLine + std::strlen(run.commandLine) + 1);

    const int exitCode = ViewerMain(nullptr, nullptr, run.commandLine ? line.data() : nullptr, SW_SHOW);

    EXPECT_FALSE(script.stuck) << "the loop did not end";
    EXPECT_EQ(exitCode, want.exitCode);
    EXPECT_EQ(FakeCallCount("CreateWindowExA"), want.windowsCreated);
    int fullscreenRequests = 0;
    for (const FakeCall& call : fakePlatform.calls) {
      if (call.name == "ChangeDisplaySettingsA" && call.handle != 0) fullscreenRequests++;
    }
    EXPECT_EQ(fullscreenRequests, want.fullscreenRequests);
    std::vector<std::string> texts;
    for (const FakeMessageBox& box : fakePlatform.boxes) texts.push_back(box.text);
    EXPECT_EQ(texts, want.boxTexts);
    ASSERT_NE(loadedFileInfo.fileName, nullptr);
    EXPECT_STREQ(loadedFileInfo.fileName, want.fileName);
    EXPECT_EQ(script.countSeen, want.pointCount);
    if (want.pointCount > 0) {
      EXPECT_TRUE(script.recordsSeen);
    }
    // Released on every path; every handle given back; the display mode restored.
    EXPECT_EQ(pointTable.records, nullptr);
    EXPECT_EQ(pointTable.count, 0);
    EXPECT_TRUE(fakePlatform.live.empty()) << fakePlatform.live.size() << " handles left";
    EXPECT_TRUE(fakePlatform.misuse.empty()) << (fakePlatform.misuse.empty() ? "" : fakePlatform.misuse[0]);
    EXPECT_FALSE(fakePlatform.displayModeChanged);
  }
}

// Three pending messages are all handled before the first frame is drawn.
TEST_F(LoopRun, FramesOnlyWhenTheQueueIsEmpty) {
  script.injections = {{1, {Message(WM_CLOSE, 0)}}};
  fakePlatform.queue = {Message(WM_KEYDOWN, 'A'), Message(WM_KEYUP, 'A'), Message(WM_PAINT, 0)};
  EXPECT_EQ(Run(), 0);
  const int firstSwap = FakeCallIndex("SwapBuffers", 1);
  ASSERT_GE(firstSwap, 0);
  EXPECT_EQ(FakeCallCount("SwapBuffers"), 1);
  EXPECT_LT(FakeCallIndex("DispatchMessageA", 3), firstSwap);
  EXPECT_GT(FakeCallIndex("DispatchMessageA", 4), firstSwap);
  // The window is torn down after the loop: the last DestroyWindow follows the last swap.
  EXPECT_GT(FakeCallIndex("DestroyWindow", 1), firstSwap);
}

// A digit tapped within one drain sets the point size for exactly one frame.
TEST_F(LoopRun, TapBetweenFramesCountsForOneFrame) {
  static std::vector<int> sizes;  // the size asked for at each frame's start
  sizes.clear();
  script.injections = {{2, {Message(WM_KEYDOWN, '5'), Message(WM_KEYUP, '5')}},
                       {5, {Message(WM_CLOSE, 0)}}};
  fakePlatform.afterPeek = [](const MSG& taken) {
    ScriptHook(taken);
    if (taken.message == 0) sizes.push_back(SelectedPointSize());
  };
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(sizes, (std::vector<int>{0, 0, 5, 0, 0}));
}

TEST_F(LoopRun, ViewStateAndRateSurviveASwitch) {
  script.injections = {{3, {Message(WM_CLOSE, 0)}}};
  fakePlatform.queue = {Message(WM_KEYDOWN, VK_F1)};
  viewState.speedY = 0.0f;
  viewState.positionX = 4.5f;
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(viewState.positionX, 4.5f);
  EXPECT_EQ(FakeCallCount("CreateWindowExA"), 2);
  EXPECT_EQ(windowContext.fullscreen, 1);
}
