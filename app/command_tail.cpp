// The command-line tail rule of the viewer's start-up.
#include "app/command_tail.h"

#include <cstring>

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

// The inside of a tail that is one quoted path; any other tail as it is.
std::string StripExplorerQuotes(const char* tail) {
  const size_t length = std::strlen(tail);
  const bool onePath = length > 2 && tail[0] == '"' && tail[length - 1] == '"' &&
                       std::memchr(tail + 1, '"', length - 2) == nullptr;
  return onePath ? std::string(tail + 1, length - 2) : std::string(tail);
}
