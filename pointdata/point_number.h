// The point file's number grammar: where a number starts and ends in a line's text, and
// the float it stands for. The text comes from the reader, already cut into pieces, each
// ended by its line feed or a NUL; what becomes of the values is the loader's.
#pragma once

// Scans one number at s: an optional sign, digits with at most one '.' and at least one
// digit, then an optional e or E with an optional sign and digits (no digits meaning 0).
// Stores the nearest float (±infinity beyond range, 0 or a denormal below it) and returns
// the first byte after the number, or returns nullptr, storing nothing, when no number
// starts at s. The text ends with a NUL or a line feed at end (the scan stops at either;
// blocks of eight bytes are read only where they lie before end).
const char* ScanNumber(const char* s, const char* end, float* value);

// Scans a piece as "%f %f %f" would: white space before each number is skipped, and
// xyz[0], xyz[1], xyz[2] are written in order until a field does not start with a number.
// Returns how many were written (0 to 3), and in *stop the byte where the scan stopped.
// The piece ends at a NUL or at its line feed, whichever comes first; one of them lies at end.
int ScanPiece(const char* s, const char* end, float* xyz, const char** stop);
