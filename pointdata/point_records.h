// The reading pass: the pieces of the file made into point records, the plain-line scan
// taking the lines it can and the general scan the rest, spread over threads that each read
// one stretch of whole lines into its own part of the table. A value a line does not supply
// repeats the previous line's, across the stretches' borders too: that is resolved once
// the threads are done. Counting, cutting and the table are the loader's (point_file.h).
#pragma once

#include "records/app_state.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

// One stretch of whole lines of the file and the records it fills.
struct PointStretch {
  uint64_t offset = 0;             // its first byte in the file
  uint64_t size = 0;               // its bytes
  PointRecord* records = nullptr;  // where its first record goes
  int64_t count = 0;               // the records it fills at most
  uint64_t lines = 0;              // the line feeds counted in it
  // What reading it found:
  int64_t stored = 0;         // records filled, from lines a line feed ends
  uint64_t lineFeeds = 0;     // line feeds read, to its end
  int64_t firstRead[3] = {};  // per value (x, y, z): the first record that reads it, stored when none does
  float lastRead[3] = {};     // per value: what the last record that reads it read
  bool failed = false;        // a read failed
};

// Reads the pieces of a stretch into its records until count are stored or its bytes end,
// then counts the line feeds of the rest, through buffer (at least POINT_READ_BUFFER_MIN
// bytes); plainLines lets the plain-line scan take the lines it can. Only a line that its
// line feed ends gives records. A value a piece
// does not supply repeats the previous piece's; before the first piece that supplies it, it
// is 0 until CarryPointValues fills it in.
void ReadPointStretch(FILE* file, char* buffer, size_t bufferSize, bool plainLines,
                      PointStretch* stretch);

// Reads n stretches: the first on the calling thread through buffer, each other one on a
// thread of its own with a buffer of bufferSize bytes; then carries the values over their
// borders. Returns how many records, from the first, hold what one pass over the file in
// order reads: all of the stretches' records, or fewer when a stretch could not be read as
// it was counted (a read failed, or the file lost line feeds), which sets incomplete.
int64_t ReadPointStretches(FILE* file, PointStretch* stretches, int n, char* buffer,
                           size_t bufferSize, bool* incomplete);
