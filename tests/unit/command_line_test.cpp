// The command-line tail rule of the Windows start-up, on raw command lines.
#include "app/command_tail.h"

#include <gtest/gtest.h>

#include <cstring>

// One raw command line and the tail it must give: the rest of the same text, not a copy.
TEST(SkipProgramName, TailTable) {
  const struct {
    const char* name;
    const char* commandLine;
    const char* tail;
  } cases[] = {
      {"plain name and file", "viewer.exe cloud.txt", "cloud.txt"},
      {"quotes in the tail kept", "viewer.exe   \"my cloud.txt\"", "\"my cloud.txt\""},
      {"quote in the middle of the name", "C:\\My\" \"Tools\\viewer.exe x", "x"},
      {"unclosed quote swallows the rest", "\"C:\\a b\\viewer.exe cloud.txt", ""},
      {"control character ends the name", "viewer.exe\x01\x1f" "cloud.txt", "cloud.txt"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.commandLine + (std::strlen(c.commandLine) - std::strlen(c.tail)), SkipProgramName(c.commandLine))
        << c.name;
  }
}

// A tail that is one quoted path, as Explorer hands a file over, names the path inside; any
// other tail stays as it is.
TEST(StripExplorerQuotes, NameTable) {
  const struct {
    const char* tail;
    const char* name;
  } cases[] = {
      {"\"a\"", "a"},
      {"cloud.txt", "cloud.txt"},
      {"\"\"", "\"\""},
      {"\"", "\""},
      {"\"a.txt", "\"a.txt"},
      {"\"a.txt\" ", "\"a.txt\" "},
      {"\"a\" \"b\"", "\"a\" \"b\""},
      {"x \"a.txt\"", "x \"a.txt\""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.name, StripExplorerQuotes(c.tail)) << c.tail;
}
