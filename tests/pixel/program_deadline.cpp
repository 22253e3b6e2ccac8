// A deadline on the test program that opens windows: opening a window waits on the window
// manager, which maps it, and a failure's message box waits for someone to answer it, each for
// as long as it takes. A program still running PROGRAM_DEADLINE after its start ends with
// status 1, well inside the suite's own timeout; GoogleTest's last line before it names the
// step it was in (it flushes each line: the set-up that opens the window, a test, the tear-down).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

constexpr std::chrono::seconds PROGRAM_DEADLINE(120);

// Starts the watch before main runs the tests.
const bool kWatched = [] {
  std::thread([] {
    std::this_thread::sleep_for(PROGRAM_DEADLINE);
    std::fprintf(stderr, "gave up after %d s, in the step GoogleTest names last above\n", (int)PROGRAM_DEADLINE.count());
    std::fflush(stdout);
    std::_Exit(1);
  }).detach();
  return true;
}();

}  // namespace
