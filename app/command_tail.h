// The command-line tail: what follows the program's own name on a raw command line.
#pragma once

#include <string>

// Skips the program-name token (ended by a character of code 32 or less outside double
// quotes; each double quote switches inside and outside), then every following character
// of code 1 to 32, and returns the rest unchanged.
const char* SkipProgramName(const char* commandLine);

// The file's name in a tail: Explorer ("Open with", a file type's command, a shortcut) hands a
// file over as one path in one pair of double quotes, which names the path inside them (no
// Windows file name holds a double quote); any other tail is the name as it stands.
std::string StripExplorerQuotes(const char* tail);
