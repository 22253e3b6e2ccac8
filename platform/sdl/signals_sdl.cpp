// The end of the session, as Windows tells a program's windows: SIGTERM, SIGINT and SIGHUP become
// the close command of every window, so that the program ends through its ordinary teardown
// (a fullscreen display mode put back, exit code as for a closed window).
// Built on POSIX signals.
// Leaves out: SIGKILL, which no program can catch; signals before video starts (nothing to put
// back yet: they end the process as usual).
#include <csignal>
#include <initializer_list>

#include "platform/sdl/standin_sdl.h"

namespace {

// Set by the handler, taken by the message queue.
volatile sig_atomic_t endRequested = 0;

void RequestEnd(int) { endRequested = 1; }

}  // namespace

// Catches the three signals from now on; SA_RESTART lets the calls they interrupt go on.
void SdlWatchEndSignals() {
  struct sigaction end = {};
  end.sa_handler = RequestEnd;
  end.sa_flags = SA_RESTART;
  sigemptyset(&end.sa_mask);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &end, nullptr);
}

bool SdlEndRequested() { return endRequested != 0; }

// True once, after one of the signals came.
bool SdlTakeEndRequest() {
  if (endRequested == 0) return false;
  endRequested = 0;
  return true;
}
