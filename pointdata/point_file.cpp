// Reading the point file into the point table (see point_file.h).
#include "pointdata/point_file.h"

#include "records/failure_boxes.h"
#include "records/texts.h"
#include "pointdata/point_count.h"
#include "pointdata/point_memory.h"
#include "pointdata/point_progress.h"
#include "pointdata/point_records.h"
#include "pointdata/point_source.h"

#include <chrono>
#include <cstdlib>
#include <limits>
#include <thread>

#if !defined(_WIN32)
#include <sys/mman.h>
#endif

namespace {

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

// Cuts the counted file into the reading pass's stretches: the table holds the first record of
// each line feed counted, so a long line's pieces push the last lines out.
void PlanPointStretches(const PointCount& counted, PointStretch* stretches) {
  const uint64_t lines = counted.lines;
  for (int i = 0; i < counted.stretches; ++i) {
    const uint64_t first = counted.firstPiece[i] < lines ? counted.firstPiece[i] : lines;
    const uint64_t end = counted.firstPiece[i + 1] < lines ? counted.firstPiece[i + 1] : lines;
    stretches[i] = PointStretch();
    stretches[i].offset = counted.start[i];
    stretches[i].size = counted.start[i + 1] - counted.start[i];
    stretches[i].records = pointTable.records + first;
    stretches[i].count = static_cast<int64_t>(end - first);
    stretches[i].lines = counted.firstLine[i + 1] - counted.firstLine[i];
  }
}

// Counts the file's first size bytes and allocates the table for its lines, when the lines can
// be counted in a table and the table, the threads' buffers and the margin fit the memory left.
PointLoadOutcome CountAndAllocate(const PointSource& source, uint64_t size, bool inPlace, const PointLoadOptions& options,
                                  int threads, char* buffer, PointCount* counted) {
  const size_t bufferSize = options.bufferSize;
  CountPointLines(source, size, inPlace, threads, buffer, bufferSize, counted);
  const uint64_t lines = counted->lines;
  if (lines > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return POINT_FILE_TOO_MANY_LINES;
  size_t tableBytes = 0;
  const bool ownBuffers = !inPlace || source.mapped == nullptr;
  const uint64_t threadBuffers = ownBuffers ? static_cast<uint64_t>(threads - 1) * bufferSize : 0;
  if (!PointTableBytes(static_cast<int64_t>(lines), &tableBytes) || !PointMemoryFits(tableBytes, threadBuffers, options.forDrawing)) {
    return POINT_FILE_OUT_OF_MEMORY;
  }
  AllocatePointTable(static_cast<int32_t>(lines));
  pointLoadProgress.records = lines;
  pointLoadProgress.recordsRead = 0;
  return pointTable.records != nullptr ? POINT_FILE_LOADED : POINT_FILE_OUT_OF_MEMORY;
}

// Reads a file that changed since it was opened once more, as it is now: counted again with
// positional reads, then read in one pass from its start, each read kept only while the file
// still is what it was when this began; once it moves, the rest is dropped, and only the whole
// lines before count.
PointLoadOutcome ReadChangedPointFile(const PointSource& source, const PointLoadOptions& options, int threads,
                                      char* buffer) {
  ReleasePointTable();
  PointFileIdentity now;
  if (!ReadPointIdentity(source, &now)) return POINT_FILE_CHANGED;
  PointCount counted;
  const PointLoadOutcome outcome = CountAndAllocate(source, now.size, false, options, threads, buffer, &counted);
  if (outcome != POINT_FILE_LOADED) return outcome;
  PointStretch whole;
  whole.size = counted.end;
  whole.records = pointTable.records;
  whole.count = static_cast<int64_t>(counted.lines);
  whole.lines = counted.lines;
  ReadPointStretch(source, false, buffer, options.bufferSize, true, &now, &whole);
  pointTable.count = static_cast<int32_t>(CarryPointValues(&whole, 1));
  loadedFileInfo.vertexCounter = static_cast<float>(pointTable.count);
  return POINT_FILE_CHANGED;
}

// Both passes over the opened file into pointTable and loadedFileInfo.vertexCounter: count,
// size check, allocation, the stretches read on threads, each in place where the file is
// mapped, and the checks that the file still is as it was counted; if it is not, it is read
// once more.
PointLoadOutcome ReadPointSource(const PointSource& source, const PointLoadOptions& options, int threads, char* buffer) {
  PointCount counted;
  const PointLoadOutcome outcome = CountAndAllocate(source, source.opened.size, true, options, threads, buffer, &counted);
  if (outcome != POINT_FILE_LOADED) return outcome;
  if (!counted.complete || !PointSourceStill(source, source.opened)) {
    return ReadChangedPointFile(source, options, threads, buffer);
  }
  PointStretch stretches[POINT_STRETCHES_MAX];
  PlanPointStretches(counted, stretches);
  if (!ReadPointStretches(source, true, stretches, counted.stretches, buffer, options.bufferSize) ||
      PointMappingLost(source) || !PointSourceStill(source, source.opened)) {
    return ReadChangedPointFile(source, options, threads, buffer);
  }
  pointTable.count = static_cast<int32_t>(counted.lines);
  loadedFileInfo.vertexCounter = static_cast<float>(counted.lines);
  return POINT_FILE_LOADED;
}

// The message of each outcome but a loaded file's.
const char* PointLoadMessage(PointLoadOutcome outcome) {
  switch (outcome) {
    case POINT_FILE_CANNOT_OPEN: return MSG_CANNOT_OPEN_FILE;
    case POINT_FILE_TOO_MANY_LINES: return MSG_TOO_MANY_POINTS;
    case POINT_FILE_OUT_OF_MEMORY: return MSG_OUT_OF_MEMORY;
    case POINT_FILE_CHANGED: return MSG_POINT_FILE_INCOMPLETE;
    default: return nullptr;
  }
}

}  // namespace

PointLoadProgress pointLoadProgress;

// Nothing counted or read yet.
void StartPointLoadProgress(uint64_t size) {
  pointLoadProgress.bytes = size;
  pointLoadProgress.bytesCounted = 0;
  pointLoadProgress.records = 0;
  pointLoadProgress.recordsRead = 0;
}

// A quarter for the counting pass, the rest for the reading pass.
double PointLoadDone() {
  const double bytes = static_cast<double>(pointLoadProgress.bytes.load());
  const double records = static_cast<double>(pointLoadProgress.records.load());
  const double counted = bytes > 0 ? static_cast<double>(pointLoadProgress.bytesCounted.load()) / bytes : 0.0;
  const double read = records > 0 ? static_cast<double>(pointLoadProgress.recordsRead.load()) / records : 0.0;
  const double done = 0.25 * (counted < 1.0 ? counted : 1.0) + 0.75 * (read < 1.0 ? read : 1.0);
  return done;
}

// Loads the named file on a thread a core.
void LoadPointFile(const char* name) { LoadPointFileWith(name, PointLoadOptions()); }

// Names the file, reads it, and shows what went wrong.
void LoadPointFileWith(const char* name, const PointLoadOptions& options) {
  loadedFileInfo.fileName = name;
  ReportPointLoad(ReadPointFile(name, options));
}

// Opens the named file, maps it where asked and possible, and reads it.
PointLoadOutcome ReadPointFile(const char* name, const PointLoadOptions& options) {
  // A load into a running viewer replaces the cloud: the old one goes first, so that the two
  // never need memory at once, and a file that cannot be read leaves an empty cloud.
  ReleasePointTable();
  loadedFileInfo.vertexCounter = 0.0f;
  PointSource source;
  StartPointLoadProgress(0);
#if defined(VIEWER_TEST_HOOKS)
  // >>test hook, in the builds that carry the tests only: VIEWER_TEST_LOAD_PAUSE_MS makes every
  // load take at least that long, so that the suites see a long load's progress on any machine.
  if (const char* pause = std::getenv("VIEWER_TEST_LOAD_PAUSE_MS")) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(pause)));
  }
  // <<test hook
#endif
  if (!OpenPointSource(name, &source)) return POINT_FILE_CANNOT_OPEN;
  StartPointLoadProgress(source.opened.size);
  const int threads = options.threads > 0 ? options.threads
                                          : PointThreadCount(source.opened.size, std::thread::hardware_concurrency());
  // The calling thread's buffer, for positional reads and for reading the file again.
  char* buffer = static_cast<char*>(std::malloc(options.bufferSize));
  PointLoadOutcome outcome = POINT_FILE_OUT_OF_MEMORY;
  if (buffer != nullptr) {
    if (options.mapFile) MapPointSource(&source);
    outcome = ReadPointSource(source, options, threads, buffer);
  }
  std::free(buffer);
  ClosePointSource(&source);
  return outcome;
}

// A file that cannot be opened, one too large and one that changed share the loader's box.
void ReportPointLoad(PointLoadOutcome outcome) {
  const char* message = PointLoadMessage(outcome);
  if (message != nullptr) ReportShutdownError(message);
}

// One thread a core, each with at least POINT_STRETCH_MIN bytes.
int PointThreadCount(uint64_t size, unsigned cores) {
  uint64_t threads = cores;
  if (threads > size / POINT_STRETCH_MIN) threads = size / POINT_STRETCH_MIN;
  if (threads > POINT_STRETCHES_MAX) threads = POINT_STRETCHES_MAX;
  return threads > 1 ? static_cast<int>(threads) : 1;
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
