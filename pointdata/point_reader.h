// The point file's text-mode reader: the bytes of one stretch of the file, in place from its
// mapping or read through a fixed buffer, with the Ctrl-Z rule and the cutting of the input into
// pieces as a 255-byte line reader cuts it. The file is read in binary and the text-mode rules
// are applied here, so every platform reads a file the same way:
// - a Ctrl-Z byte (0x1A) ends the input: neither it nor anything after it is delivered;
// - a piece ends after a line feed or after POINT_PIECE_MAX characters, whichever comes
//   first; a CR right before the LF is not counted (CR LF reads as LF), and to the number
//   scan it is white space, so the raw piece is scanned as it is.
// What the pieces hold is left to the number grammar, the plain-line scan and the record
// loop (point_records.h); the counting pass to point_count.h.
#pragma once

#include "pointdata/point_source.h"

#include <cstddef>
#include <cstdint>

// The longest piece the reader delivers (a 255-byte line buffer minus its NUL).
constexpr size_t POINT_PIECE_MAX = 254;
// Look-ahead a piece needs: the longest raw piece (253 characters and a CR LF) plus the byte
// after it.
constexpr size_t POINT_PIECE_LOOKAHEAD = POINT_PIECE_MAX + 2;
// The read buffer of each pass and of each thread that reads by positional reads: fixed,
// whatever the file's size.
constexpr size_t POINT_READ_BUFFER_SIZE = 1u << 20;
// The smallest read buffer the reader works with (one piece, its look-ahead and slack).
constexpr size_t POINT_READ_BUFFER_MIN = 512;
// The Ctrl-Z byte that ends a file's input.
constexpr char POINT_CTRL_Z = 0x1A;

// Where a pass over one stretch of the file stands. The stretch's bytes are delivered in place
// from the file's mapping while more than a piece's look-ahead of them is left; the rest, and
// the whole stretch without a mapping, through the buffer, where a NUL lies behind the data.
struct PointReader {
  const PointSource* source = nullptr;
  uint64_t offset = 0;        // where the next byte not yet in the buffer or delivered lies in the file
  uint64_t left = 0;          // bytes of the stretch not yet read into the buffer or delivered in place
  const char* data = nullptr; // the bytes not yet delivered: in the mapping, or in the buffer
  size_t avail = 0;           // how many
  char* buffer = nullptr;     // bufferSize bytes
  size_t bufferSize = 0;
  bool inPlace = false;       // data lies in the mapping (read-only: never written)
  bool ended = false;         // no more input: the stretch's end, the file's, a Ctrl-Z, or a failed read
  bool failed = false;        // a read failed
  bool moved = false;         // with a guard: the file changed, and the bytes of that read were dropped
  const PointFileIdentity* guard = nullptr;  // when set, checked after every read
};

// Starts a pass over the pieces of the size bytes of source from offset (fewer when it ends
// before), in place when the source is mapped and inPlace is asked, else through buffer (at least
// POINT_READ_BUFFER_MIN bytes). In place the stretch is taken as counted: its Ctrl-Z, if any,
// lies at its end. With a guard, each read is kept only if the file's identity after it is still
// the guard: the first read after which it is not, and everything after it, is dropped.
void StartPointReader(PointReader* reader, const PointSource* source, uint64_t offset, uint64_t size,
                      bool inPlace, char* buffer, size_t bufferSize, const PointFileIdentity* guard);

// Makes at least a piece's look-ahead of bytes available at data when the stretch holds that
// many more. Returns avail (0 once everything is delivered). In the buffer a NUL lies behind the
// data, and a piece may be ended with a NUL for a while; in place nothing may be written.
size_t FillPointReader(PointReader* reader);

// Delivers n bytes.
inline void AdvancePointReader(PointReader* reader, size_t n) {
  reader->data += n;
  reader->avail -= n;
}

// Reads the rest of the input and returns how many line feeds it holds.
uint64_t CountRestLineFeeds(PointReader* reader);

// The first byte equal to byte among the n bytes at p, or null when there is none.
const char* FindByte(const char* p, char byte, size_t n);

// The line feeds among the n bytes at p.
uint64_t CountLineFeeds(const char* p, size_t n);

// The raw length of the piece at p, which has avail bytes of input: up to and including
// its line feed, or POINT_PIECE_MAX characters (a CR before the line feed not counted).
size_t CutPointPiece(const char* p, size_t avail);

// The bits set in a mask, inline: x86-64's baseline has no population-count instruction, and the
// compiler's builtin then calls a library function for every block.
inline uint64_t CountBits(uint64_t mask) {
  mask = mask - ((mask >> 1) & 0x5555555555555555ull);
  mask = (mask & 0x3333333333333333ull) + ((mask >> 2) & 0x3333333333333333ull);
  mask = (mask + (mask >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  return (mask * 0x0101010101010101ull) >> 56;
}

// The pieces a line makes: rawLength bytes before its line feed, the last a CR when crBefore
// (delivered as part of the line feed).
inline uint64_t LinePieces(uint64_t rawLength, bool crBefore) {
  const uint64_t delivered = rawLength + 1 - (crBefore ? 1 : 0);
  return (delivered + POINT_PIECE_MAX - 1) / POINT_PIECE_MAX;
}
