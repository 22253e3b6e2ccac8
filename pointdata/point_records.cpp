// The reading pass (see point_records.h).
#include "pointdata/point_records.h"

#include "pointdata/point_number.h"
#include "pointdata/point_plain_line.h"
#include "pointdata/point_reader.h"

#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>

namespace {

// After this many pieces in a row that the plain-line scan declines, it rests for
// PLAIN_LINE_REST pieces: a file of long numbers then pays for trying only now and then,
// and a file that turns plain further on is still found out.
constexpr int PLAIN_LINE_DECLINES_MAX = 16;
constexpr int PLAIN_LINE_REST = 1024;

// Scans the piece at p (avail bytes of input, a NUL behind them) with the general scan;
// returns its raw length and in *read how many values it read. A line that fits a piece
// needs no cut: its line feed ends the scan as the piece's end would, and is then looked for
// from where the scan stopped (a NUL after the longest piece's reach keeps the scan within
// it, however long the line). A longer line is cut, ended with a NUL, and scanned again from
// the values before.
size_t ScanGeneralPiece(char* p, size_t avail, float* xyz, int* read) {
  const float before[3] = {xyz[0], xyz[1], xyz[2]};
  const char* stop = p;
  size_t limit = avail < POINT_PIECE_MAX + 1 ? avail : POINT_PIECE_MAX + 1;
  char behind = p[limit];
  p[limit] = 0;
  *read = ScanPiece(p, p + limit, xyz, &stop);
  p[limit] = behind;
  size_t scanned = static_cast<size_t>(stop - p);
  if (scanned < limit) {
    const char* lf = *stop == '\n' ? stop : FindByte(stop, '\n', limit - scanned);
    if (lf != nullptr && CutPointPiece(p, static_cast<size_t>(lf - p) + 1) == static_cast<size_t>(lf - p) + 1) {
      return static_cast<size_t>(lf - p) + 1;
    }
  }
  std::memcpy(xyz, before, sizeof before);
  size_t length = CutPointPiece(p, avail);
  char saved = p[length];
  p[length] = 0;
  *read = ScanPiece(p, p + length, xyz, &stop);
  p[length] = saved;
  return length;
}

// Value i (0 x, 1 y, 2 z) of a record.
float& RecordValue(PointRecord& record, int i) {
  return i == 0 ? record.x : i == 1 ? record.y : record.z;
}

// Reads a stretch with a buffer of its own; a stretch whose buffer cannot be had is marked
// unread (stored -1) for the calling thread to read after.
void ReadStretchOnThread(FILE* file, size_t bufferSize, PointStretch* stretch) {
  char* buffer = static_cast<char*>(std::malloc(bufferSize));
  if (buffer == nullptr) {
    stretch->stored = -1;
    return;
  }
  ReadPointStretch(file, buffer, bufferSize, true, stretch);
  std::free(buffer);
}

// Gives the first records of each stretch the values they repeat from the stretches before
// (0 before the file's first), in file order up to the first stretch read short; returns the
// records up to there and whether a stretch was read short.
int64_t CarryPointValues(PointStretch* stretches, int n, bool* incomplete) {
  float carried[3] = {0.0f, 0.0f, 0.0f};
  int64_t total = 0;
  *incomplete = false;
  for (int s = 0; s < n; ++s) {
    PointStretch& stretch = stretches[s];
    for (int i = 0; i < 3; ++i) {
      const int64_t end = stretch.firstRead[i] < stretch.stored ? stretch.firstRead[i] : stretch.stored;
      for (int64_t r = 0; r < end; ++r) RecordValue(stretch.records[r], i) = carried[i];
      if (stretch.firstRead[i] < stretch.stored) carried[i] = stretch.lastRead[i];
    }
    total += stretch.stored;
    if (stretch.failed || stretch.stored < stretch.count || stretch.lineFeeds < stretch.lines) {
      *incomplete = true;
      break;
    }
  }
  return total;
}

}  // namespace

// Reads the pieces of a stretch into its records.
void ReadPointStretch(FILE* file, char* buffer, size_t bufferSize, bool plainLines,
                      PointStretch* stretch) {
  PointReader reader;
  StartPointReader(&reader, file, stretch->offset, stretch->size, buffer, bufferSize);
  PlainLineCache cache = {};
  int declinedLines = 0;  // pieces the plain-line scan declined in a row
  int restingLines = 0;   // pieces left before it tries again
  float xyz[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // x, y, z, and room for a four-lane store
  int valuesRead = 0;     // values read so far: 0 to 3, as a piece reads them in order
  PointRecord* records = stretch->records;
  const int64_t count = stretch->count;
  int64_t stored = 0;
  int64_t whole = 0;  // records up to the last line feed read
  uint64_t lineFeeds = 0;  // line feeds that ended pieces
  for (int i = 0; i < 3; ++i) stretch->firstRead[i] = count;
  while (stored < count) {
    size_t avail = FillPointReader(&reader);
    if (avail == 0) break;
    char* piece = buffer + reader.pos;
    bool tryPlain = plainLines && avail >= PLAIN_LINE_READ && restingLines == 0;
    size_t length = tryPlain ? ScanPlainLine(piece, avail, &cache, xyz) : 0;
    int read = 3;
    if (tryPlain) declinedLines = length == 0 ? declinedLines + 1 : 0;
    if (declinedLines == PLAIN_LINE_DECLINES_MAX) {
      restingLines = PLAIN_LINE_REST;
      declinedLines = 0;
    } else if (!tryPlain && restingLines > 0) {
      --restingLines;
    }
    if (length == 0) length = ScanGeneralPiece(piece, avail, xyz, &read);
    for (; valuesRead < read; ++valuesRead) stretch->firstRead[valuesRead] = stored;
    records[stored].x = xyz[0];
    records[stored].y = xyz[1];
    records[stored].z = xyz[2];
    ++stored;
    reader.pos += length;
    if (piece[length - 1] == '\n') {
      whole = stored;
      ++lineFeeds;
    }
  }
  // A record stands only for a line that its line feed ends: the pieces of a line the input
  // ends in (the file was cut, or a read failed) are taken back. A file read as it was
  // counted fills the table before its last line without a line feed. The rest is read for
  // its line feeds: a file cut where long lines still fill the table has lost some.
  const uint64_t restLineFeeds = CountRestLineFeeds(&reader);
  if (whole < stored && restLineFeeds == 0) stored = whole;
  stretch->lineFeeds = lineFeeds + restLineFeeds;
  for (int i = 0; i < 3; ++i) stretch->lastRead[i] = xyz[i];
  stretch->stored = stored;
  stretch->failed = reader.failed;
}

// Reads the stretches on threads of their own, then carries values over their borders.
int64_t ReadPointStretches(FILE* file, PointStretch* stretches, int n, char* buffer,
                           size_t bufferSize, bool* incomplete) {
  std::thread threads[POINT_STRETCHES_MAX];
  for (int s = 1; s < n; ++s) {
    if (stretches[s].size == 0) continue;
    // A thread that cannot be started leaves its stretch to the calling thread.
    try {
      threads[s] = std::thread(ReadStretchOnThread, file, bufferSize, &stretches[s]);
    } catch (const std::system_error&) {
      stretches[s].stored = -1;
    }
  }
  ReadPointStretch(file, buffer, bufferSize, true, &stretches[0]);
  for (int s = 1; s < n; ++s) {
    if (threads[s].joinable()) threads[s].join();
    if (stretches[s].stored < 0) ReadPointStretch(file, buffer, bufferSize, true, &stretches[s]);
  }
  return CarryPointValues(stretches, n, incomplete);
}
