// The reading pass (see point_records.h).
#include "pointdata/point_records.h"

#include "pointdata/point_number.h"
#include "pointdata/point_plain_line.h"
#include "pointdata/point_progress.h"
#include "pointdata/point_reader.h"
#include "pointdata/point_threads.h"

#include <cstring>

namespace {

// After this many pieces in a row that the plain-line scan declines, it rests for
// PLAIN_LINE_REST pieces: a file of long numbers then pays for trying only now and then,
// and a file that turns plain further on is still found out.
constexpr int PLAIN_LINE_DECLINES_MAX = 16;
constexpr int PLAIN_LINE_REST = 1024;

// Scans the piece at p (avail bytes of input) with the general scan; returns its raw length
// and in *read how many values it read. A line that fits a piece is scanned where it lies, its
// line feed ending the scan as the piece's end would (in the file's mapping nothing may be
// written); a longer line, or one without its line feed, is cut, copied with a NUL behind it
// and scanned there.
size_t ScanGeneralPiece(const char* p, size_t avail, float* xyz, int* read) {
  const char* stop = p;
  const size_t length = CutPointPiece(p, avail);
  if (p[length - 1] == '\n') {
    *read = ScanPiece(p, p + length - 1, xyz, &stop);
    return length;
  }
  char piece[POINT_PIECE_MAX + 1];
  std::memcpy(piece, p, length);
  piece[length] = 0;
  *read = ScanPiece(piece, piece + length, xyz, &stop);
  return length;
}

// Value i (0 x, 1 y, 2 z) of a record.
float& RecordValue(PointRecord& record, int i) {
  return i == 0 ? record.x : i == 1 ? record.y : record.z;
}

// The byte at offset, in place or read; 0 when it cannot be read.
char PointByteAt(const PointSource& source, bool inPlace, uint64_t offset) {
  if (inPlace && source.mapped != nullptr) return source.mapped[offset];
  char byte = 0;
  bool failed = false;
  ReadPointBytesAt(source, offset, &byte, 1, &failed);
  return byte;
}

// Everything the reading threads share.
struct ReadJob {
  const PointSource* source;
  bool inPlace;
  PointStretch* stretches;
  size_t bufferSize;
};

// Reads one stretch: in place (its last bytes through a small buffer of its own), or through its
// read buffer.
void ReadStretch(void* context, int index, char* buffer) {
  const ReadJob* job = static_cast<const ReadJob*>(context);
  char tail[POINT_READ_BUFFER_MIN];
  PointStretch* stretch = &job->stretches[index];
  if (stretch->size == 0) {
    stretch->intact = stretch->count == 0 && stretch->lines == 0;
    return;
  }
  ReadPointStretch(*job->source, job->inPlace, buffer != nullptr ? buffer : tail,
                   buffer != nullptr ? job->bufferSize : sizeof tail, true, nullptr, stretch);
}

}  // namespace

// Carries the values each stretch's first records repeat from the stretches before.
int64_t CarryPointValues(PointStretch* stretches, int n) {
  float carried[3] = {0.0f, 0.0f, 0.0f};
  int64_t total = 0;
  for (int s = 0; s < n; ++s) {
    PointStretch& stretch = stretches[s];
    for (int i = 0; i < 3; ++i) {
      const int64_t end = stretch.firstRead[i] < stretch.stored ? stretch.firstRead[i] : stretch.stored;
      for (int64_t r = 0; r < end; ++r) RecordValue(stretch.records[r], i) = carried[i];
      if (stretch.firstRead[i] < stretch.stored) carried[i] = stretch.lastRead[i];
    }
    total += stretch.stored;
  }
  return total;
}

// Reads the pieces of a stretch into its records, and checks it against what was counted.
void ReadPointStretch(const PointSource& source, bool inPlace, char* buffer, size_t bufferSize,
                      bool plainLines, const PointFileIdentity* guard, PointStretch* stretch) {
  PointReader reader;
  StartPointReader(&reader, &source, stretch->offset, stretch->size, inPlace, buffer, bufferSize, guard);
  const bool startsLine = stretch->offset == 0 || PointByteAt(source, reader.inPlace, stretch->offset - 1) == '\n';
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
    const size_t avail = FillPointReader(&reader);
    if (avail == 0) break;
    const char* piece = reader.data;
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
    if (++stored % POINT_PROGRESS_RECORDS == 0) pointLoadProgress.recordsRead += POINT_PROGRESS_RECORDS;
    AdvancePointReader(&reader, length);
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
  pointLoadProgress.recordsRead += static_cast<uint64_t>(stored % POINT_PROGRESS_RECORDS);
  stretch->lineFeeds = lineFeeds + restLineFeeds;
  for (int i = 0; i < 3; ++i) stretch->lastRead[i] = xyz[i];
  stretch->stored = stored;
  stretch->failed = reader.failed;
  stretch->moved = reader.moved;
  stretch->intact = startsLine && !reader.failed && reader.left == 0 && stored == count &&
                    stretch->lineFeeds == stretch->lines;
}

// Reads the stretches on threads of their own; carries values over their borders when every one
// was read as it was counted.
bool ReadPointStretches(const PointSource& source, bool inPlace, PointStretch* stretches, int n,
                        char* buffer, size_t bufferSize) {
  ReadJob job = {&source, inPlace && source.mapped != nullptr, stretches, bufferSize};
  RunPointWork(POINT_WHILE_READING, n, ReadStretch, &job, !job.inPlace, buffer, bufferSize);
  for (int s = 0; s < n; ++s) {
    if (!stretches[s].intact) return false;
  }
  CarryPointValues(stretches, n);
  return true;
}
