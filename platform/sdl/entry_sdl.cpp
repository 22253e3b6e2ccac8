// The start-up code that hands ViewerMain its command-line tail, standing in for WinMain's caller.
// Built on the C++ main function; SDL's own main is not used.
// Leaves out: the raw command line (arguments arrive split and unquoted, so they are joined with single blanks).
#include <string>

#include "app/viewer_main.h"

int main(int argc, char** argv) {
  // The arguments after the program name, joined with single blanks; alive until ViewerMain returns.
  std::string tail;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) tail += ' ';
    tail += argv[i];
  }
  return ViewerMain(GetModuleHandleA(nullptr), nullptr, tail.data(), SW_SHOW);
}
