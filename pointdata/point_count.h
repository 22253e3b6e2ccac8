// The counting pass: the file's line feeds before its first Ctrl-Z and the pieces they end,
// counted on several threads at once, each over its own stretch of bytes; then the borders of
// the stretches of whole lines that the reading pass's threads take, and where each stretch's
// first line and first piece lie, settled from what the threads found.
#pragma once

#include "pointdata/point_source.h"

#include <cstddef>
#include <cstdint>

// The most stretches a file is cut into.
constexpr int POINT_STRETCHES_MAX = 64;

// What the counting pass found: the line feeds, the pieces they end, and stretches of whole
// lines, stretch i being the bytes [start[i], start[i + 1]) whose first line and first piece are
// line firstLine[i] and piece firstPiece[i] of the file. The last stretch runs to where the
// input ends, its last line without a line feed included.
struct PointCount {
  uint64_t lines = 0;    // line feeds before the first Ctrl-Z
  uint64_t pieces = 0;   // pieces of the lines they end: one a line, more for a long line
  uint64_t end = 0;      // where the input ends: the first Ctrl-Z, or the file's size
  bool complete = true;  // every byte up to there was read: the file was not cut, no read failed
  int stretches = 1;
  uint64_t start[POINT_STRETCHES_MAX + 1] = {};
  uint64_t firstLine[POINT_STRETCHES_MAX + 1] = {};
  uint64_t firstPiece[POINT_STRETCHES_MAX + 1] = {};
};

// Counts the file's first size bytes, cut into `stretches` stretches of about equal size (1 to
// POINT_STRETCHES_MAX; a stretch may come out empty), each counted on a thread of its own: in
// place in the file's mapping when it is mapped and inPlace is asked, or with positional reads
// through a buffer of bufferSize bytes (the calling thread's is given). A stretch whose thread or
// buffer cannot be had is counted on the calling thread. Bytes that cannot be read (the file was
// cut, or a read failed) end the input there and clear complete.
void CountPointLines(const PointSource& source, uint64_t size, bool inPlace, int stretches, char* buffer,
                     size_t bufferSize, PointCount* count);
