// The point file's text-mode reader and number grammar, shared by the loader, its tests
// and the fuzz target. The loader opens the file in binary and applies the text-mode
// rules here itself, so every platform reads a file the same way:
// - CR LF reads as LF, a CR not followed by LF is delivered, and a Ctrl-Z byte (0x1A)
//   ends the input (neither it nor anything after it is delivered);
// - the input is cut into pieces as a 255-byte line reader cuts it: a piece ends after a
//   LF or after 254 characters, whichever comes first;
// - each piece is scanned as "%f %f %f" would scan it, with the grammar of ScanNumber.
#pragma once

#include "app/app_state.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The longest piece the reader delivers (a 255-byte line buffer minus its NUL).
constexpr size_t POINT_PIECE_MAX = 254;
// The read buffer the loader uses: fixed, whatever the file's size.
constexpr size_t POINT_READ_BUFFER_SIZE = 1u << 20;
// The smallest read buffer the reader works with (one piece, its look-ahead and slack).
constexpr size_t POINT_READ_BUFFER_MIN = 512;

// Where the raw bytes come from: an open file (read with fread) or a block in memory.
struct PointInput {
  FILE* file = nullptr;          // read from when non-null
  const char* memory = nullptr;  // otherwise this block
  size_t memorySize = 0;
  size_t memoryOffset = 0;       // next byte of the block to deliver
};

// Reads up to max raw bytes into dest; returns how many (0 at the end).
size_t ReadPointInput(PointInput* input, char* dest, size_t max);

// Puts the input back at its first byte.
void RewindPointInput(PointInput* input);

// Scans one number of the grammar at [s, end): optional sign, digits with at most one '.'
// and at least one digit, then an optional e/E exponent (sign and digits optional, no
// digits meaning 0). Stores the nearest float (±infinity beyond range, 0 or a denormal
// below it) and returns the first byte after the number, or nullptr when no number starts at s.
const char* ScanNumber(const char* s, const char* end, float* value);

// Scans a piece as "%f %f %f": writes xyz[0..] in order until a field does not start with a
// number; returns how many were written (0 to 3). A NUL byte ends the piece's text.
int ScanPiece(const char* s, const char* end, float* xyz);

// ScanPiece for a piece whose byte at end is a NUL (the same result, with fewer tests).
int ScanTerminatedPiece(const char* s, const char* end, float* xyz);

// Counts the line feeds before the first Ctrl-Z, reading through buffer.
uint64_t CountPointLines(PointInput* input, char* buffer, size_t bufferSize);

// Reads pieces from the start of the input into records until count are stored or the
// input ends, carrying missing values over from the previous piece (0 before the first).
// Returns the number of records stored. bufferSize must be at least POINT_READ_BUFFER_MIN.
int32_t ParsePointPieces(PointInput* input, char* buffer, size_t bufferSize, PointRecord* records,
                         int32_t count);

// Byte size of a table of count records, or false when count is negative or the size does
// not fit a size_t.
bool PointTableBytes(int64_t count, size_t* bytes);

// Both passes over an opened input into pointTable and loadedFileInfo.vertexCounter:
// count, size check, allocation (with its message boxes), parse. bufferSize as above.
void LoadPointInput(PointInput* input, char* buffer, size_t bufferSize);
