// The start-up code that hands ViewerMain its command-line tail, standing in for WinMain's caller.
// Built on the C++ main function; SDL's own main is not used.
// Leaves out: the raw command line (arguments arrive split and unquoted, so they are joined with single blanks).
#include <string>

#include "app/viewer_main.h"

namespace {

struct SdlEntryState {
  std::string tail;  // The arguments after the program name, joined with single blanks
};

SdlEntryState sdlEntry;

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (i > 1) sdlEntry.tail += ' ';
    sdlEntry.tail += argv[i];
  }
  return ViewerMain(GetModuleHandleA(nullptr), nullptr, &sdlEntry.tail[0], SW_SHOW);
}
