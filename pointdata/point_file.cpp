// Reading the point file into the point table (see point_file.h).
#include "pointdata/point_file.h"

#include "records/failure_boxes.h"
#include "records/texts.h"
#include "pointdata/point_memory.h"
#include "pointdata/point_reader.h"
#include "pointdata/point_records.h"

#include <cstdlib>
#include <limits>
#include <thread>

#if defined(_WIN32)
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#if defined(VIEWER_TEST_HOOKS)
void (*betweenPointPasses)(FILE* file) = nullptr;
#endif

namespace {

// The fewest bytes worth a thread of the reading pass: a thread takes a few tenths of a
// millisecond to start and join (more under Wine), and a stretch this long a few
// milliseconds to read, so that a file smaller than two of them is read on one thread.
constexpr uint64_t POINT_STRETCH_MIN = static_cast<uint64_t>(4) << 20;

// The threads that read a file of size bytes: one a core, each with at least
// POINT_STRETCH_MIN bytes, POINT_STRETCHES_MAX at most.
int PointThreadCount(uint64_t size) {
  uint64_t threads = std::thread::hardware_concurrency();
  if (threads > size / POINT_STRETCH_MIN) threads = size / POINT_STRETCH_MIN;
  if (threads > POINT_STRETCHES_MAX) threads = POINT_STRETCHES_MAX;
  return threads > 1 ? static_cast<int>(threads) : 1;
}

// Natively, asks for huge pages (2 MiB) inside a large block: the reading pass is the first
// to write the fresh table, and a huge page faults once where 512 small ones fault each.
// (Windows grants large pages only with a privilege the viewer does not ask for.)
void AdviseLargeBlock(void* block, size_t bytes) {
#if defined(_WIN32)
  (void)block;
  (void)bytes;
#else
  const uintptr_t hugePage = static_cast<uintptr_t>(2) << 20;
  uintptr_t start = (reinterpret_cast<uintptr_t>(block) + hugePage - 1) & ~(hugePage - 1);
  uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(hugePage - 1);
  if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#endif
}

// Opens name for reading in binary (the reader applies the text-mode rules) and gives its
// size, or returns null when it cannot be opened or is not a regular file: a directory, a
// device, a FIFO or a socket cannot be read twice alike. Decided from the opened file, so
// nothing can be swapped in between; natively opened without blocking, so a FIFO without a
// writer cannot hold the viewer up, then read blocking as usual. The size bounds both
// passes: a growing file, or a pseudo-file that says 0 and reads without end (such as
// /proc/self/pagemap), cannot keep the loader reading.
FILE* OpenPointFile(const char* name, uint64_t* size) {
#if defined(_WIN32)
  FILE* file = std::fopen(name, "rb");
  struct _stat64 info;
  if (file != nullptr && (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG)) {
    std::fclose(file);
    file = nullptr;
  }
#else
  int fd = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info;
  FILE* file = nullptr;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && fcntl(fd, F_SETFL, 0) == 0) {
    file = fdopen(fd, "rb");
  }
  if (file == nullptr) close(fd);
#endif
  if (file != nullptr) *size = info.st_size > 0 ? static_cast<uint64_t>(info.st_size) : 0;
  return file;
}

// Both passes over the opened file into pointTable and loadedFileInfo.vertexCounter:
// count, size check, allocation, then the stretches read on threads. Reports what goes wrong.
void LoadPointStream(FILE* file, uint64_t size, int threads, char* buffer, size_t bufferSize) {
  PointCount counted;
  if (!CountPointLines(file, size, threads, buffer, bufferSize, &counted)) {
    ReportShutdownError(MSG_POINT_FILE_INCOMPLETE);
    return;
  }
  const uint64_t lines = counted.lines;
  if (lines > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
    ReportShutdownError(MSG_TOO_MANY_POINTS);
    return;
  }
  AllocatePointTable(static_cast<int32_t>(lines));
  if (pointTable.records == nullptr) {
    ReportShutdownError(MSG_OUT_OF_MEMORY);
    return;
  }
#if defined(VIEWER_TEST_HOOKS)
  if (betweenPointPasses != nullptr) betweenPointPasses(file);
#endif
  // The table holds the first record of each line feed counted: a long line's pieces push
  // the last lines out.
  PointStretch stretches[POINT_STRETCHES_MAX];
  for (int i = 0; i < counted.stretches; ++i) {
    const uint64_t first = counted.firstPiece[i] < lines ? counted.firstPiece[i] : lines;
    const uint64_t end = counted.firstPiece[i + 1] < lines ? counted.firstPiece[i + 1] : lines;
    stretches[i].offset = counted.start[i];
    stretches[i].size = counted.start[i + 1] - counted.start[i];
    stretches[i].records = pointTable.records + first;
    stretches[i].count = static_cast<int64_t>(end - first);
    stretches[i].lines = counted.firstLine[i + 1] - counted.firstLine[i];
  }
  bool incomplete = false;
  pointTable.count = static_cast<int32_t>(
      ReadPointStretches(file, stretches, counted.stretches, buffer, bufferSize, &incomplete));
  // A file that changed since it was counted is read again in one pass from its start, so
  // that what it gives does not depend on where the stretches were cut.
  if (incomplete && counted.stretches > 1) {
    PointStretch whole;
    whole.size = size;
    whole.records = pointTable.records;
    whole.count = static_cast<int64_t>(lines);
    whole.lines = lines;
    pointTable.count = static_cast<int32_t>(ReadPointStretches(file, &whole, 1, buffer, bufferSize, &incomplete));
  }
  // A file that is read as it was counted has as many line feeds as before, and gives a
  // record for each, or more pieces than that; fewer mean it changed in between (it was cut
  // or rewritten shorter) or a read failed.
  if (incomplete) {
    loadedFileInfo.vertexCounter = static_cast<float>(pointTable.count);
    ReportShutdownError(MSG_POINT_FILE_INCOMPLETE);
    return;
  }
  loadedFileInfo.vertexCounter = static_cast<float>(lines);
}

}  // namespace

// Loads the named file on a thread a core.
void LoadPointFile(const char* name) { LoadPointFileThreads(name, 0); }

// Opens the named file and loads it; reports what goes wrong.
void LoadPointFileThreads(const char* name, int threads) {
  loadedFileInfo.fileName = name;
  uint64_t size = 0;
  FILE* file = OpenPointFile(name, &size);
  if (file == nullptr) {
    ReportShutdownError(MSG_CANNOT_OPEN_FILE);
    return;
  }
  // The reader's own buffer is the only one; the stream's would only copy twice.
  std::setvbuf(file, nullptr, _IONBF, 0);
  char* buffer = static_cast<char*>(std::malloc(POINT_READ_BUFFER_SIZE));
  if (buffer == nullptr) {
    ReportShutdownError(MSG_OUT_OF_MEMORY);
  } else {
    LoadPointStream(file, size, threads > 0 ? threads : PointThreadCount(size), buffer,
                    POINT_READ_BUFFER_SIZE);
  }
  std::free(buffer);
  std::fclose(file);
}

// Byte size of a table of count records, or false when it cannot be represented.
bool PointTableBytes(int64_t count, size_t* bytes) {
  if (count < 0) return false;
  if (static_cast<uint64_t>(count) > std::numeric_limits<size_t>::max() / sizeof(PointRecord)) return false;
  *bytes = static_cast<size_t>(count) * sizeof(PointRecord);
  return true;
}

// Allocates count records for pointTable, or leaves records null when that is impossible.
void AllocatePointTable(int32_t count) {
  size_t bytes = 0;
  if (!PointTableBytes(count, &bytes)) {
    pointTable.records = nullptr;
    return;
  }
#if !defined(_WIN32)
  // Linux grants a block it does not have and kills the process once the table is filled;
  // Windows commits the block at once, so there the allocation's own failure says it.
  if (bytes > AvailableMemoryBytes("")) {
    pointTable.records = nullptr;
    return;
  }
#endif
  // One byte for an empty table, so that zero records still make a valid block.
  pointTable.records = static_cast<PointRecord*>(std::malloc(bytes > 0 ? bytes : 1));
  if (pointTable.records != nullptr) AdviseLargeBlock(pointTable.records, bytes);
}

// Frees pointTable's records and empties the table.
void ReleasePointTable() {
  std::free(pointTable.records);
  pointTable.records = nullptr;
  pointTable.count = 0;
}
