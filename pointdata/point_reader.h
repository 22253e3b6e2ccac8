// The point file's text-mode reader: raw bytes from an open file through one fixed buffer,
// the Ctrl-Z rule, the cutting of the input into pieces as a 255-byte line reader cuts it,
// and the counting pass, which also finds where the file can be cut into stretches of whole
// lines for the reading pass's threads. The file is read in binary and the text-mode rules
// are applied here, so every platform reads a file the same way:
// - a Ctrl-Z byte (0x1A) ends the input: neither it nor anything after it is delivered;
// - a piece ends after a line feed or after POINT_PIECE_MAX characters, whichever comes
//   first; a CR right before the LF is not counted (CR LF reads as LF), and to the number
//   scan it is white space, so the raw piece is scanned as it is.
// What the pieces hold is left to the number grammar, the plain-line scan and the record
// loop (point_records.h); the table, the passes and every message to the loader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The longest piece the reader delivers (a 255-byte line buffer minus its NUL).
constexpr size_t POINT_PIECE_MAX = 254;
// The read buffer of each pass and of each thread: fixed, whatever the file's size.
constexpr size_t POINT_READ_BUFFER_SIZE = 1u << 20;
// The smallest read buffer the reader works with (one piece, its look-ahead and slack).
constexpr size_t POINT_READ_BUFFER_MIN = 512;
// The most stretches the counting pass cuts a file into.
constexpr int POINT_STRETCHES_MAX = 64;

// Where a pass over one stretch of the file stands.
struct PointReader {
  FILE* file = nullptr;
  uint64_t offset = 0;     // where the next read starts in the file
  uint64_t left = 0;       // bytes of the stretch not yet read
  char* buffer = nullptr;  // bufferSize bytes; the data, then a NUL
  size_t bufferSize = 0;
  size_t pos = 0;          // first byte of the buffer not yet delivered
  size_t filled = 0;       // bytes of input in the buffer
  bool ended = false;      // no more input: the stretch's end, the file's, a Ctrl-Z, or a failed read
  bool failed = false;     // a read failed
};

// What the counting pass found: the line feeds, the pieces they end, and stretches of whole
// lines, stretch i being the bytes [start[i], start[i + 1]) whose first line and first
// piece are line firstLine[i] and piece firstPiece[i] of the file. The last stretch runs to the size read, its last line without
// a line feed included.
struct PointCount {
  uint64_t lines = 0;   // line feeds before the first Ctrl-Z
  uint64_t pieces = 0;  // pieces of the lines they end: one a line, more for a long line
  int stretches = 1;
  uint64_t start[POINT_STRETCHES_MAX + 1] = {};
  uint64_t firstLine[POINT_STRETCHES_MAX + 1] = {};
  uint64_t firstPiece[POINT_STRETCHES_MAX + 1] = {};
};

// Reads up to n bytes at offset into dest; returns how many (0 at the end, or on a failed
// read, which also sets failed). Threads may read one file at once.
size_t ReadPointBytesAt(FILE* file, uint64_t offset, char* dest, size_t n, bool* failed);

// Counts the line feeds before the first Ctrl-Z among the file's first size bytes (fewer
// when it ends before), and the pieces they end, reading through buffer; cuts the bytes into
// `stretches` stretches of about equal size at line starts (1 to POINT_STRETCHES_MAX; a
// stretch may be empty). Returns false when a read fails.
bool CountPointLines(FILE* file, uint64_t size, int stretches, char* buffer, size_t bufferSize,
                     PointCount* count);

// Starts a pass over the pieces of the size bytes of file from offset (fewer when it ends
// before), through buffer (at least POINT_READ_BUFFER_MIN bytes).
void StartPointReader(PointReader* reader, FILE* file, uint64_t offset, uint64_t size,
                      char* buffer, size_t bufferSize);

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
