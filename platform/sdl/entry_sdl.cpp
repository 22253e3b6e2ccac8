// The start-up code that hands ViewerMain its command-line tail, standing in for WinMain's caller.
// Built on the C++ main function; SDL's own main is not used.
// Leaves out: the raw command line (arguments arrive split and unquoted, so they are joined with
// single blanks); --help or --version alone is answered here, as Linux programs do.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/viewer_main.h"
#include "records/texts.h"

// Prints an answer on standard output: 0, or 1 when it could not be written.
static int Answer(const char* text) {
  return std::fputs(text, stdout) < 0 || std::fflush(stdout) != 0 ? 1 : 0;
}

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) return Answer(USAGE_TEXT);
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) return Answer(VERSION_TEXT);
  // The arguments after the program name, joined with single blanks; alive until ViewerMain returns.
  std::string tail;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) tail += ' ';
    tail += argv[i];
  }
  return ViewerMain(GetModuleHandleA(nullptr), nullptr, tail.data(), SW_SHOW);
}
