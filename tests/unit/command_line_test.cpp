// The command-line tail rule of the Windows start-up, on raw command lines.
#include "app/command_tail.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// One raw command line and the tail it must give.
struct TailCase {
  const char* name;
  const char* commandLine;
  const char* tail;
};

const TailCase kTailCases[] = {
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

}  // namespace

TEST(SkipProgramName, TailTable) {
  for (const TailCase& c : kTailCases) {
    SCOPED_TRACE(c.name);
    const char* tail = SkipProgramName(c.commandLine);
    ASSERT_NE(tail, nullptr);
    EXPECT_STREQ(tail, c.tail);
    // The tail is the rest of the same text, not a copy.
    EXPECT_EQ(tail, c.commandLine + (std::strlen(c.commandLine) - std::strlen(c.tail)));
  }
}

TEST(SkipProgramName, NullLineGivesEmptyTail) {
  const char* tail = SkipProgramName(nullptr);
  ASSERT_NE(tail, nullptr);
  EXPECT_STREQ(tail, "");
}
