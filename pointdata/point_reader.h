// The point file's text-mode reader: raw bytes from an open file through one fixed buffer,
// the Ctrl-Z rule, and the cutting of the input into pieces as a 255-byte line reader cuts
// it. The file is read in binary and the text-mode rules are applied here, so every
// platform reads a file the same way:
// - a Ctrl-Z byte (0x1A) ends the input: neither it nor anything after it is delivered;
// - a piece ends after a line feed or after POINT_PIECE_MAX characters, whichever comes
//   first; a CR right before the LF is not counted (CR LF reads as LF), and to the number
//   scan it is white space, so the raw piece is scanned as it is.
// What the pieces hold is left to the number grammar and the plain-line scan; the table,
// the passes and every message to the loader (point_file.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The longest piece the reader delivers (a 255-byte line buffer minus its NUL).
constexpr size_t POINT_PIECE_MAX = 254;
// The read buffer the loader uses: fixed, whatever the file's size.
constexpr size_t POINT_READ_BUFFER_SIZE = 1u << 20;
// The smallest read buffer the reader works with (one piece, its look-ahead and slack).
constexpr size_t POINT_READ_BUFFER_MIN = 512;

// Where a pass over the file stands.
struct PointReader {
  FILE* file = nullptr;
  uint64_t left = 0;       // bytes the pass may still read: a file is read to its size when opened
  char* buffer = nullptr;  // bufferSize bytes; the data, then a NUL
  size_t bufferSize = 0;
  size_t pos = 0;          // first byte of the buffer not yet delivered
  size_t filled = 0;       // bytes of input in the buffer
  bool ended = false;      // no more input: end of file, a Ctrl-Z, or a failed read
  bool failed = false;     // a read failed
};

// Counts the line feeds before the first Ctrl-Z among the next size bytes of the file (fewer
// when it ends before), reading through buffer. Returns false when a read fails.
bool CountPointLines(FILE* file, uint64_t size, char* buffer, size_t bufferSize, uint64_t* lines);

// Starts a pass over the pieces of the next size bytes of file (fewer when it ends before),
// through buffer (at least POINT_READ_BUFFER_MIN bytes).
void StartPointReader(PointReader* reader, FILE* file, uint64_t size, char* buffer, size_t bufferSize);

// Reads more input when the bytes left are fewer than a piece and its look-ahead. Returns
// how many bytes start at buffer + pos (0 once everything is delivered); a NUL lies behind
// them, and a piece may be ended with a NUL for a while.
size_t FillPointReader(PointReader* reader);

// Reads the rest of the input and returns how many line feeds it holds.
uint64_t CountRestLineFeeds(PointReader* reader);

// The first byte equal to byte among the n bytes at p, or null when there is none.
const char* FindByte(const char* p, char byte, size_t n);

// The raw length of the piece at p, which has avail bytes of input: up to and including
// its line feed, or POINT_PIECE_MAX characters (a CR before the line feed not counted).
size_t CutPointPiece(const char* p, size_t avail);
