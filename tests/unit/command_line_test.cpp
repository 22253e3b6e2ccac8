// The Windows start-up's file name from its raw command line: the program's name skipped, and
// the double quotes Explorer puts around a path taken off.
#include "app/command_tail.h"

#include <gtest/gtest.h>

// One raw command line and the name the start-up takes from it: the tail after the program's name
// and the characters of code 1 to 32 that follow it; a tail that is one quoted path, as Explorer
// hands a file over, names the path inside; any other tail stays as it is.
TEST(CommandTail, NameTable) {
  const struct {
    const char* what;
    const char* commandLine;
    const char* name;
  } cases[] = {
      {"plain name and file", "viewer.exe cloud.txt", "cloud.txt"},
      {"one quoted path after blanks", "viewer.exe   \"my cloud.txt\"", "my cloud.txt"},
      {"quote in the middle of the name", "C:\\My\" \"Tools\\viewer.exe x", "x"},
      {"unclosed quote swallows the rest", "\"C:\\a b\\viewer.exe cloud.txt", ""},
      {"control character ends the name", "viewer.exe\x01\x1f" "cloud.txt", "cloud.txt"},
      {"the name alone", "viewer.exe", ""},
      {"one character quoted", "v \"a\"", "a"},
      {"quotes around nothing", "v \"\"", "\"\""},
      {"a lone quote", "v \"", "\""},
      {"no closing quote", "v \"a.txt", "\"a.txt"},
      {"a blank after the quotes", "v \"a.txt\" ", "\"a.txt\" "},
      {"two quoted names", "v \"a\" \"b\"", "\"a\" \"b\""},
      {"a word before the quotes", "v x \"a.txt\"", "x \"a.txt\""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.name, StripExplorerQuotes(SkipProgramName(c.commandLine))) << c.what;
}
