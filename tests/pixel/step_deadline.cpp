// A deadline on every step of the test program that opens windows: its environment's set-up
// and tear-down and each test. A step that has not ended STEP_DEADLINE after it
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

constexpr std::chrono::seconds STEP_DEADLINE(60);

// The step under way and how many have begun, never destroyed: the watch waits on them until the
// program has ended.
std::mutex& stepLock = *new std::mutex;
std::condition_variable& stepBegun = *new std::condition_variable;
std::string& step = *new std::string("the start");
int stepsBegun = 0;

// Ends the program when a step outlasts its deadline.
void WatchSteps() {
  std::unique_lock<std::mutex> hold(stepLock);
  for (;;) {
    const int begun = stepsBegun;
    if (!stepBegun.wait_for(hold, STEP_DEADLINE, [begun] { return stepsBegun != begun; })) {
      std::fprintf(stderr, "gave up after %d s waiting for %s\n", (int)STEP_DEADLINE.count(), step.c_str());
      std::_Exit(1);
    }
  }
}

// Begins the named step.
void BeginStep(const std::string& name) {
  std::lock_guard<std::mutex> hold(stepLock);
  step = name;
  ++stepsBegun;
  stepBegun.notify_all();
}

// Names each step of the program as GoogleTest begins it.
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
};

// Starts the watch before main runs the tests; without a thread the program runs unwatched.
bool StartStepWatch() {
  ::testing::UnitTest::GetInstance()->listeners().Append(new StepNames);
  try {
    std::thread(WatchSteps).detach();
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}
const bool kWatched = StartStepWatch();

}  // namespace
