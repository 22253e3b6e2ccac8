// The command-line tail: what follows the program's own name on a raw command line.
#pragma once

// Skips the program-name token (ended by a character of code 32 or less outside double
// quotes; each double quote switches inside and outside), then every following character
// of code 1 to 32, and returns the rest unchanged.
const char* SkipProgramName(const char* commandLine);
