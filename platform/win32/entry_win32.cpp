// Windows start-up: hands ViewerMain the command-line tail formed from the raw command line.
// MinGW's start-up code forms its own lpCmdLine, but not by the viewer's rule for quotes
// inside the program name, so the tail is taken from GetCommandLineA here; a tail that is one
// quoted path, as Explorer gives it, is handed over without its quotes.
#include "app/command_tail.h"
#include "app/viewer_main.h"
#include "platform/platform_api.h"

#include <string>

// The process's GUI entry: forms the tail itself and runs the viewer.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  // Alive until ViewerMain returns: the overlay shows it.
  std::string tail = StripExplorerQuotes(SkipProgramName(GetCommandLineA()));
  return ViewerMain(instance, nullptr, &tail[0], showCommand);
}
