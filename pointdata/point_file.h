// Reading the point file into the point table.
#pragma once

#include <cstdint>

// Loads the named file into pointTable and records the name and line count in
// loadedFileInfo. Reports an unopenable file (or one too large to hold) in a message box
// and leaves the table empty.
void LoadPointFile(const char* name);

// Allocates count records for pointTable (count * 12 bytes). Leaves records null when the
// size cannot be represented or allocated.
void AllocatePointTable(int32_t count);

// Frees pointTable's records (null allowed) and empties the table.
void ReleasePointTable();
