// A deadline on every step of the test program that opens windows: its start, its environment's
// set-up and tear-down and each test. A step that has not ended STEP_DEADLINE after it began ends
// the program with status 1, saying which step it waited for, well inside the suite's own
// timeout: opening a window waits on the window manager, which maps it, and a failure's message
// box waits for someone to answer it, each for as long as it takes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>
#include <thread>

namespace {

constexpr std::chrono::seconds STEP_DEADLINE(60);

std::atomic<int> stepsBegun{0};

// Begins the named step, watched by a thread of its own that ends the program unless another step
// has begun by the deadline; without a thread the step runs unwatched.
void BeginStep(const std::string& name) {
  const int step = ++stepsBegun;
  try {
    std::thread([step, name] {
      std::this_thread::sleep_for(STEP_DEADLINE);
      if (stepsBegun == step) {
        std::fprintf(stderr, "gave up after %d s waiting for %s\n", (int)STEP_DEADLINE.count(), name.c_str());
        std::_Exit(1);
      }
    }).detach();
  } catch (const std::system_error&) {
  }
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

// Names the steps from before main runs the tests on.
bool StartStepWatch() {
  ::testing::UnitTest::GetInstance()->listeners().Append(new StepNames);
  BeginStep("the start");
  return true;
}
const bool kWatched = StartStepWatch();

}  // namespace
