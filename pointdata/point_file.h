// Reading the point file into the point table: opening it, the counting pass, the table's
// size check and allocation, the reading pass, and every message the loader shows. The
// bytes, the pieces and the numbers are left to point_reader.h, point_number.h and
// point_plain_line.h.
#pragma once

#include "app/app_state.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Loads the named file into pointTable and records the name and line count in
// loadedFileInfo. A file is read up to the size it had when it was opened, in both passes.
// Reports a file that cannot be opened or is no regular file, one too large to hold, and
// one that cannot be read to its end (it changed, or a read failed) in a message box; the
// table then holds the whole lines read, or nothing, and the vertex counter says how many
// records that is.
void LoadPointFile(const char* name);

// Reads pieces from the file's current position, up to size bytes on, into records until
// count are stored or the input ends, carrying missing values over from the previous piece
// (0 before the first); plainLines lets the plain-line scan take the lines it can. Only a
// line its line feed ends gives records: those of a line the input ends in are dropped.
// Then reads the rest of the input. Returns the number of records stored, sets lineFeeds to
// the line feeds of all the input read, and readFailed when a read failed. bufferSize is at
// least POINT_READ_BUFFER_MIN.
int32_t ReadPointRecords(FILE* file, uint64_t size, char* buffer, size_t bufferSize,
                         PointRecord* records, int32_t count, bool plainLines, uint64_t* lineFeeds,
                         bool* readFailed);

// Byte size of a table of count records, or false when count is negative or the size does
// not fit a size_t.
bool PointTableBytes(int64_t count, size_t* bytes);

// Allocates count records for pointTable (count * 12 bytes). Leaves records null when the
// size cannot be represented or allocated, or natively when it is more than the memory the
// process can still get (Linux grants more than it has and kills the process that fills it).
void AllocatePointTable(int32_t count);

// Frees pointTable's records (null allowed) and empties the table.
void ReleasePointTable();

// Test seam: when set, called with the open file between the counting pass and the
// rewind, where a test changes the file. Null in the viewer.
extern void (*betweenPointPasses)(FILE* file);
