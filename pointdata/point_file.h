// Reading the point file into the point table: opening it, the counting pass, the table's
// size check and allocation, the reading pass, and every message the loader shows. The
// bytes and the counting are left to point_reader.h, the records to point_records.h, the
// numbers to point_number.h and point_plain_line.h.
#pragma once

#include "records/app_state.h"

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

// LoadPointFile with the reading pass cut into `threads` stretches, each read on a thread of
// its own (1 to POINT_STRETCHES_MAX); 0 lets the loader choose: a thread a core, none for a
// file too small to gain. The records do not depend on it.
void LoadPointFileThreads(const char* name, int threads);

// Byte size of a table of count records, or false when count is negative or the size does
// not fit a size_t.
bool PointTableBytes(int64_t count, size_t* bytes);

// Allocates count records for pointTable (count * 12 bytes). Leaves records null when the
// size cannot be represented or allocated, or natively when it is more than the memory the
// process can still get (Linux grants more than it has and kills the process that fills it).
void AllocatePointTable(int32_t count);

// Frees pointTable's records (null allowed) and empties the table.
void ReleasePointTable();

#if defined(VIEWER_TEST_HOOKS)
// Test hook, in the builds that carry the tests only: when set, called with the open file
// between the two passes, where a test changes the file.
extern void (*betweenPointPasses)(FILE* file);
#endif
