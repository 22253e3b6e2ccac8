// Reading the point file into the point table (see point_file.h).
#include "pointdata/point_file.h"

#include "app/messages.h"
#include "pointdata/point_memory.h"
#include "pointdata/point_number.h"
#include "pointdata/point_plain_line.h"
#include "pointdata/point_reader.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#if defined(_WIN32)
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

void (*betweenPointPasses)(FILE* file) = nullptr;

namespace {

// After this many pieces in a row that the plain-line scan declines, it rests for
// PLAIN_LINE_REST pieces: a file of long numbers then pays for trying only now and then,
// and a file that turns plain further on is still found out.
constexpr int PLAIN_LINE_DECLINES_MAX = 16;
constexpr int PLAIN_LINE_REST = 1024;

// Natively, asks for huge pages (2 MiB) inside a large block: the reading pass is the first
// to write the fresh table, and a huge page faults once where 512 small ones fault each.
// (Windows grants large pages only with a privilege the viewer does not ask for.)
void AdviseLargeBlock(void* block, size_t bytes) {
#if defined(_WIN32)
  (void)block;
  (void)bytes;
#else
  const uintptr_t hugePage = uintptr_t(2) << 20;
  uintptr_t start = ((uintptr_t)block + hugePage - 1) & ~(hugePage - 1);
  uintptr_t end = ((uintptr_t)block + bytes) & ~(hugePage - 1);
  if (end > start) madvise((void*)start, end - start, MADV_HUGEPAGE);
#endif
}

// Shows one of the loader's failures to the user.
void ReportLoadFailure(const char* text) {
  MessageBoxA(nullptr, text, CAPTION_SHUTDOWN_ERROR, MB_OK | MB_ICONINFORMATION);
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
  if (file != nullptr) *size = info.st_size > 0 ? (uint64_t)info.st_size : 0;
  return file;
}

// Both passes over the opened file into pointTable and loadedFileInfo.vertexCounter:
// count, size check, allocation, rewind, parse. Reports what goes wrong.
void LoadPointStream(FILE* file, uint64_t size, char* buffer, size_t bufferSize) {
  uint64_t lines = 0;
  if (!CountPointLines(file, size, buffer, bufferSize, &lines)) {
    ReportLoadFailure(MSG_POINT_FILE_INCOMPLETE);
    return;
  }
  if (lines > (uint64_t)std::numeric_limits<int32_t>::max()) {
    ReportLoadFailure(MSG_TOO_MANY_POINTS);
    return;
  }
  AllocatePointTable((int32_t)lines);
  if (pointTable.records == nullptr) {
    ReportLoadFailure(MSG_OUT_OF_MEMORY);
    return;
  }
  if (betweenPointPasses != nullptr) betweenPointPasses(file);
  bool readFailed = std::fseek(file, 0, SEEK_SET) != 0;
  uint64_t lineFeeds = 0;
  if (!readFailed) {
    pointTable.count = ReadPointRecords(file, size, buffer, bufferSize, pointTable.records,
                                        (int32_t)lines, true, &lineFeeds, &readFailed);
  }
  // A file that is read as it was counted has as many line feeds as before, and gives a
  // record for each, or more pieces than that; fewer mean it changed in between (it was cut
  // or rewritten shorter) or a read failed.
  if (readFailed || lineFeeds < lines || (uint64_t)pointTable.count < lines) {
    loadedFileInfo.vertexCounter = (float)pointTable.count;
    ReportLoadFailure(MSG_POINT_FILE_INCOMPLETE);
    return;
  }
  loadedFileInfo.vertexCounter = (float)lines;
}

// Scans the piece at p (avail bytes of input, a NUL behind them) with the general scan and
// returns its raw length. A line that fits a piece needs no cut: its line feed ends the
// scan as the piece's end would, and is then looked for from where the scan stopped (a NUL
// after the longest piece's reach keeps the scan within it, however long the line). A
// longer line is cut, ended with a NUL, and scanned again from the values before.
size_t ScanGeneralPiece(char* p, size_t avail, float* xyz) {
  const float before[3] = {xyz[0], xyz[1], xyz[2]};
  const char* stop = p;
  size_t limit = avail < POINT_PIECE_MAX + 1 ? avail : POINT_PIECE_MAX + 1;
  char behind = p[limit];
  p[limit] = 0;
  ScanPiece(p, p + limit, xyz, &stop);
  p[limit] = behind;
  size_t scanned = (size_t)(stop - p);
  if (scanned < limit) {
    const char* lf = *stop == '\n' ? stop : FindByte(stop, '\n', limit - scanned);
    if (lf != nullptr && CutPointPiece(p, (size_t)(lf - p) + 1) == (size_t)(lf - p) + 1) {
      return (size_t)(lf - p) + 1;
    }
  }
  std::memcpy(xyz, before, sizeof before);
  size_t length = CutPointPiece(p, avail);
  char saved = p[length];
  p[length] = 0;
  ScanPiece(p, p + length, xyz, &stop);
  p[length] = saved;
  return length;
}

}  // namespace

// Opens the named file and loads it; reports what goes wrong.
void LoadPointFile(const char* name) {
  loadedFileInfo.fileName = name;
  uint64_t size = 0;
  FILE* file = OpenPointFile(name, &size);
  if (file == nullptr) {
    ReportLoadFailure(MSG_CANNOT_OPEN_FILE);
    return;
  }
  // The reader's own buffer is the only one; the stream's would only copy twice.
  std::setvbuf(file, nullptr, _IONBF, 0);
  char* buffer = (char*)std::malloc(POINT_READ_BUFFER_SIZE);
  if (buffer == nullptr) {
    ReportLoadFailure(MSG_OUT_OF_MEMORY);
  } else {
    LoadPointStream(file, size, buffer, POINT_READ_BUFFER_SIZE);
  }
  std::free(buffer);
  std::fclose(file);
}

// Reads pieces into records until count are stored or the input ends; returns how many.
int32_t ReadPointRecords(FILE* file, uint64_t size, char* buffer, size_t bufferSize,
                         PointRecord* records, int32_t count, bool plainLines, uint64_t* lineFeeds,
                         bool* readFailed) {
  PointReader reader;
  StartPointReader(&reader, file, size, buffer, bufferSize);
  PlainLineCache cache = {};
  int declinedLines = 0;  // pieces the plain-line scan declined in a row
  int restingLines = 0;   // pieces left before it tries again
  float xyz[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // x, y, z, and room for a four-lane store
  int32_t stored = 0;
  int32_t whole = 0;          // records up to the last line feed read
  uint64_t piecesLineFeeds = 0;  // line feeds that ended pieces
  while (stored < count) {
    size_t avail = FillPointReader(&reader);
    if (avail == 0) break;
    char* piece = buffer + reader.pos;
    bool tryPlain = plainLines && avail >= PLAIN_LINE_READ && restingLines == 0;
    size_t length = tryPlain ? ScanPlainLine(piece, &cache, xyz) : 0;
    if (tryPlain) declinedLines = length == 0 ? declinedLines + 1 : 0;
    if (declinedLines == PLAIN_LINE_DECLINES_MAX) {
      restingLines = PLAIN_LINE_REST;
      declinedLines = 0;
    } else if (!tryPlain && restingLines > 0) {
      --restingLines;
    }
    if (length == 0) length = ScanGeneralPiece(piece, avail, xyz);
    records[stored].x = xyz[0];
    records[stored].y = xyz[1];
    records[stored].z = xyz[2];
    ++stored;
    reader.pos += length;
    if (piece[length - 1] == '\n') {
      whole = stored;
      ++piecesLineFeeds;
    }
  }
  // A record stands only for a line that its line feed ends: the pieces of a line the input
  // ends in (the file was cut, or a read failed) are taken back. A file read as it was
  // counted fills the table before its last line without a line feed.
  const uint64_t restLineFeeds = CountRestLineFeeds(&reader);
  if (whole < stored && restLineFeeds == 0) stored = whole;
  *lineFeeds = piecesLineFeeds + restLineFeeds;
  *readFailed = reader.failed;
  return stored;
}

// Byte size of a table of count records, or false when it cannot be represented.
bool PointTableBytes(int64_t count, size_t* bytes) {
  if (count < 0) return false;
  if ((uint64_t)count > std::numeric_limits<size_t>::max() / sizeof(PointRecord)) return false;
  *bytes = (size_t)count * sizeof(PointRecord);
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
  pointTable.records = (PointRecord*)std::malloc(bytes > 0 ? bytes : 1);
  if (pointTable.records != nullptr) AdviseLargeBlock(pointTable.records, bytes);
}

// Frees pointTable's records and empties the table.
void ReleasePointTable() {
  std::free(pointTable.records);
  pointTable.records = nullptr;
  pointTable.count = 0;
}
