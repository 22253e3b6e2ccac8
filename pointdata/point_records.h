// The reading pass: the pieces of the file made into point records, the plain-line scan
// taking the lines it can and the general scan the rest, spread over threads that each read
// one stretch of whole lines into its own part of the table. A value a line does not supply
// repeats the previous line's, across the stretches' borders too: that is resolved once
// the threads are done. Each stretch also checks that the file still is as it was counted:
// that it starts right after a line feed, holds the line feeds and pieces counted in it, and
// can be read to its end. Counting, cutting and the table are the loader's (point_file.h).
#pragma once

#include "records/app_state.h"
#include "pointdata/point_source.h"

#include <cstddef>
#include <cstdint>

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
  bool intact = false;        // read as it was counted: a line start, its line feeds and pieces, its end
  bool moved = false;         // with a guard: the file changed while it was read
};

// Reads the pieces of a stretch into its records until count are stored or its bytes end,
// then counts the line feeds of the rest: in place when the source is mapped and inPlace is
// asked, else through buffer (at least POINT_READ_BUFFER_MIN bytes), with a guard as the reader
// takes it (point_reader.h). plainLines lets the plain-line scan take the lines it can. Only a
// line that its line feed ends gives records. A value a piece does not supply repeats the
// previous piece's; before the first piece that supplies it, it is 0 until CarryPointValues
// fills it in.
void ReadPointStretch(const PointSource& source, bool inPlace, char* buffer, size_t bufferSize,
                      bool plainLines, const PointFileIdentity* guard, PointStretch* stretch);

// Reads n stretches, the first on the calling thread through buffer, each other one on a
// thread of its own (with a buffer of bufferSize bytes when not in place); true when every one
// was read as it was counted, and then carries the values over their borders.
bool ReadPointStretches(const PointSource& source, bool inPlace, PointStretch* stretches, int n,
                        char* buffer, size_t bufferSize);

// Gives the first records of each stretch the values they repeat from the stretches before
// (0 before the file's first), in file order; returns the records.
int64_t CarryPointValues(PointStretch* stretches, int n);
