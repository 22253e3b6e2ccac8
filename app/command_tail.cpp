// The command-line tail rule of the viewer's start-up.
#include "app/command_tail.h"

// Returns the tail of a raw command line (an empty text for a null one).
const char* SkipProgramName(const char* commandLine) {
  if (commandLine == nullptr) return "";
  const unsigned char* cursor = reinterpret_cast<const unsigned char*>(commandLine);
  bool quoted = false;
  while (*cursor != 0 && (quoted || *cursor > 32)) {
    if (*cursor == '"') quoted = !quoted;
    ++cursor;
  }
  while (*cursor >= 1 && *cursor <= 32) ++cursor;
  return reinterpret_cast<const char*>(cursor);
}
