// The plain-line scan, the loader's fast path: a line of three short decimals is
// classified sixteen bytes at a time (SSE2) and its three numbers are converted together.
// It gives exactly what the general scan (point_number.h) gives for such a line, and
// declines every other piece, which the general scan then takes. Reading, pieces and
// records are left to the reader and the loader.
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes from a line's start the plain-line scan classifies, and how many it may read
// (a number's word may start near the end of the window).
constexpr size_t PLAIN_LINE_WINDOW = 64;
constexpr size_t PLAIN_LINE_READ = PLAIN_LINE_WINDOW + 16;

// What the plain-line scan knows about one layout of a line. A file's lines mostly share
// a few layouts (the same widths, signs in a few places), so each is analysed once and
// kept in a small table, found by its number bytes.
struct PlainLayout {
  uint64_t numberBytes;  // the layout: the piece's number bytes, points and signs
  uint64_t points;
  uint64_t signs;
  bool plain;            // false: pieces of this layout take the general scan
  // Per number, when plain:
  uint8_t start[3];           // its first byte (the sign, when it has one)
  uint8_t first[3];           // its first digit or point
  uint8_t shift[3];           // bits its word moves up to bring its last byte highest
  uint8_t fractionDigits[3];  // digits after its point
  uint64_t keptBytes[3];      // bytes of the shifted word above the point (all without one)
};
constexpr int PLAIN_LAYOUT_SLOTS = 64;

// The layouts seen so far in one pass over a file, a small table found by a hash of the
// number bytes. Zeroed at the start of a pass: the zero layout is that of a piece without
// number bytes, which is not plain.
struct PlainLineCache {
  PlainLayout layouts[PLAIN_LAYOUT_SLOTS];
};

// Scans the piece at p when it is a plain line: its line feed among the first
// PLAIN_LINE_WINDOW bytes, every byte before it white space, a digit, '.', '+' or '-', and
// its first three runs of the latter short numbers (an optional sign, then one to eight
// digits and at most one '.') whose digits' value is at most 2^24. Writes the three values
// to xyz[0..2] as ScanPiece would (xyz[3] is written too, with no meaning) and returns the
// piece's length, its line feed included; or returns 0, writing nothing, when the piece
// needs the general scan (and always without SSE2). avail, the bytes readable from p, is
// at least PLAIN_LINE_READ.
size_t ScanPlainLine(const char* p, size_t avail, PlainLineCache* cache, float* xyz);
