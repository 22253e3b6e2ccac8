// Reading the point file into the point table: opening it, the counting pass, the table's
// size check and allocation, the reading pass, the checks that the file did not change while
// it was read, and every message the loader shows. The bytes are left to point_source.h and
// point_reader.h, the counting to point_count.h, the records to point_records.h, the numbers to
// point_number.h and point_plain_line.h.
#pragma once

#include "records/app_state.h"
#include "pointdata/point_reader.h"

#include <cstddef>
#include <cstdint>

// How a load went; each outcome but the first has its message box.
enum PointLoadOutcome {
  POINT_FILE_LOADED,          // every line read, as counted
  POINT_FILE_CANNOT_OPEN,     // no such file, or no regular file: "couldn't open file"
  POINT_FILE_TOO_MANY_LINES,  // more lines than a table can count
  POINT_FILE_OUT_OF_MEMORY,   // the table (and the loader's buffers) would not fit
  POINT_FILE_CHANGED,         // it changed or could not be read while loading: the whole lines read consistently
};

// The fewest bytes worth a thread: a thread takes a few tenths of a millisecond to start and
// join (more under Wine), and a stretch this long a few milliseconds to read, so that a file
// smaller than two of them is read on one thread.
constexpr uint64_t POINT_STRETCH_MIN = static_cast<uint64_t>(4) << 20;

// How to read a file. The records do not depend on it.
struct PointLoadOptions {
  int threads = 0;       // 1 to POINT_STRETCHES_MAX stretches, each on a thread; 0: the loader's choice
  bool mapFile = true;   // read in place from a mapping of the file where the platform can
  size_t bufferSize = POINT_READ_BUFFER_SIZE;  // each positional reader's buffer (POINT_READ_BUFFER_MIN at least)
  bool forDrawing = true;  // keep the memory drawing the cloud takes (the viewer), or only loading's (tools)
};

// Loads the named file with the loader's choices, shows what went wrong in a message box
// (the table then holds the whole lines read, or nothing, and the vertex counter says how many
// records that is), and records the name in loadedFileInfo, before anything else.
void LoadPointFile(const char* name);

// LoadPointFile with these options.
void LoadPointFileWith(const char* name, const PointLoadOptions& options);

// Reads the named file into pointTable (emptied first) and its line count into the vertex
// counter, up to the size it had when it was opened; says how it went and shows nothing. A file that changed
// while it was read (a size or time that moved, or bytes not where they were counted) is read
// again in one pass, of which only what was read while the file stood still is kept.
PointLoadOutcome ReadPointFile(const char* name, const PointLoadOptions& options);

// Shows the message box of an outcome (none for a loaded file).
void ReportPointLoad(PointLoadOutcome outcome);

// The threads that read a file of size bytes on a machine of cores cores: one a core, each
// with at least POINT_STRETCH_MIN bytes, POINT_STRETCHES_MAX at most, and at least one.
int PointThreadCount(uint64_t size, unsigned cores);

// Byte size of a table of count records, or false when count is negative or the size does
// not fit a size_t.
bool PointTableBytes(int64_t count, size_t* bytes);

// Allocates count records for pointTable (count * 12 bytes), or leaves records null when the
// size cannot be represented or allocated.
void AllocatePointTable(int32_t count);

// Frees pointTable's records (null allowed) and empties the table.
void ReleasePointTable();
