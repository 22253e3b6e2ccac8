// A deadline on every step of the test program that opens windows: its environment's set-up
// and tear-down and each test. A step that has not ended STEP_DEADLINE_SECONDS after it
// began ends the program with status 1, saying which step it waited for, well inside the
// suite's own timeout: opening a window waits on the window manager, which maps it, and a
// failure's message box waits for someone to answer it, each for as long as it takes.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace {

constexpr int STEP_DEADLINE_SECONDS = 60;

// The step under way, and the watch over it.
struct StepWatch {
  std::mutex lock;
  std::condition_variable changed;
  std::string step = "starting";
  int started = 0;  // steps begun so far
  bool over = false;  // the program's last step has ended
  std::thread watcher;
};
StepWatch watch;

// Waits for each step to end or the next to begin; ends the program when one outlasts its deadline.
void WatchSteps() {
  std::unique_lock<std::mutex> hold(watch.lock);
  while (!watch.over) {
    const int step = watch.started;
    if (!watch.changed.wait_for(hold, std::chrono::seconds(STEP_DEADLINE_SECONDS),
                                [step] { return watch.over || watch.started != step; })) {
      std::fprintf(stderr, "gave up after %d s waiting for %s\n", STEP_DEADLINE_SECONDS, watch.step.c_str());
      std::fflush(stderr);
      std::_Exit(1);
    }
  }
}

// Begins a step, or ends the last one.
void BeginStep(const std::string& step, bool over = false) {
  std::lock_guard<std::mutex> hold(watch.lock);
  watch.step = step;
  ++watch.started;
  watch.over = over;
  watch.changed.notify_all();
}

// Names each step of the program to the watch as GoogleTest begins it.
class StepNames : public ::testing::EmptyTestEventListener {
  void OnEnvironmentsSetUpStart(const ::testing::UnitTest&) override {
    BeginStep("the set-up: opening the viewer's window (ShowWindow waits until the window manager maps it; "
              "a failure's box, until it is answered)");
  }
  void OnTestStart(const ::testing::TestInfo& test) override {
    BeginStep(std::string("the test ") + test.test_suite_name() + "." + test.name());
  }
  void OnEnvironmentsTearDownStart(const ::testing::UnitTest&) override {
    BeginStep("the tear-down: closing the viewer's window");
  }
  void OnTestProgramEnd(const ::testing::UnitTest&) override {
    BeginStep("the end", true);
    if (watch.watcher.joinable()) watch.watcher.join();
  }
};

// Starts the watch before main runs the tests; without a thread the program runs unwatched.
bool StartStepWatch() {
  ::testing::UnitTest::GetInstance()->listeners().Append(new StepNames);
  try {
    watch.watcher = std::thread(WatchSteps);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}
const bool kWatched = StartStepWatch();

}  // namespace
