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
      {"quoted name with blanks", "\"C:\\Program Files\\viewer.exe\" cloud.txt", "cloud.txt"},
      {"tail keeps its inner blanks", "viewer.exe a b  c.txt", "a b  c.txt"},
      {"tabs after the name", "viewer.exe\t\t cloud.txt", "cloud.txt"},
      {"trailing blanks kept", "viewer.exe cloud.txt  ", "cloud.txt  "},
      {"quotes in the tail kept", "viewer.exe   \"my cloud.txt\"", "\"my cloud.txt\""},
      {"quote in the middle of the name", "C:\\My\" \"Tools\\viewer.exe x", "x"},
      {"several quotes toggle", "\"a b\"c\" d\"e f", "f"},
      {"unclosed quote swallows the rest", "\"C:\\a b\\viewer.exe cloud.txt", ""},
      {"only the program name", "viewer.exe", ""},
      {"only a quoted program name", "\"C:\\a b\\viewer.exe\"", ""},
      {"name followed by blanks only", "viewer.exe   \t ", ""},
      {"empty line", "", ""},
      {"control character ends the name", "viewer.exe\x01\x1f" "cloud.txt", "cloud.txt"},
      {"code 33 is not white space", "viewer.exe !x", "!x"},
      {"high characters belong to the name", "vi\xe9wer.exe cloud.txt", "cloud.txt"},
      {"high character starts the tail", "viewer.exe \xa0x", "\xa0x"},
      {"leading blank: empty name", " viewer.exe cloud.txt", "viewer.exe cloud.txt"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.commandLine + (std::strlen(c.commandLine) - std::strlen(c.tail)), SkipProgramName(c.commandLine))
        << c.name;
  }
  EXPECT_STREQ("", SkipProgramName(nullptr));
}
