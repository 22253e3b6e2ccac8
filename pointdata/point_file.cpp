// Reading the point file into the point table.
#include "pointdata/point_file.h"

#include "app/app_state.h"
#include "app/messages.h"
#include "pointdata/point_scan.h"

#include <cstdio>
#include <cstdlib>

// Opens the named file and loads it through the shared reader; reports what goes wrong.
void LoadPointFile(const char* name) {
  loadedFileInfo.fileName = name;
  // Binary mode: the text-mode rules are applied by the reader, the same on every platform.
  FILE* file = std::fopen(name, "rb");
  if (file == nullptr) {
    MessageBoxA(nullptr, MSG_CANNOT_OPEN_FILE, CAPTION_SHUTDOWN_ERROR, MB_OK | MB_ICONINFORMATION);
    return;
  }
  // The reader's own buffer is the only one; the stream's would only copy twice.
  std::setvbuf(file, nullptr, _IONBF, 0);
  char* buffer = (char*)std::malloc(POINT_READ_BUFFER_SIZE);
  if (buffer == nullptr) {
    MessageBoxA(nullptr, MSG_OUT_OF_MEMORY, CAPTION_SHUTDOWN_ERROR, MB_OK | MB_ICONINFORMATION);
    std::fclose(file);
    return;
  }
  PointInput input;
  input.file = file;
  LoadPointInput(&input, buffer, POINT_READ_BUFFER_SIZE);
  std::free(buffer);
  std::fclose(file);
}

// Allocates count records for pointTable, or leaves records null when that is impossible.
void AllocatePointTable(int32_t count) {
  size_t bytes = 0;
  if (!PointTableBytes(count, &bytes)) {
    pointTable.records = nullptr;
    return;
  }
  // One byte for an empty table, so that zero records still make a valid block.
  pointTable.records = (PointRecord*)std::malloc(bytes > 0 ? bytes : 1);
}

// Frees pointTable's records and empties the table.
void ReleasePointTable() {
  std::free(pointTable.records);
  pointTable.records = nullptr;
  pointTable.count = 0;
}
