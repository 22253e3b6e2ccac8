// The point file's text-mode reader and the counting pass (see point_reader.h).
#include "pointdata/point_reader.h"

#include <cassert>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(_WIN32)
#include <mutex>
#else
#include <cerrno>
#include <unistd.h>
#endif

namespace {

constexpr char CTRL_Z = 0x1A;
// Look-ahead a piece needs: the longest raw piece (253 characters and a CR LF) plus the
// byte after it.
constexpr size_t PIECE_LOOKAHEAD = POINT_PIECE_MAX + 2;
// The counting pass looks at the bytes this many at a time, one bit each.
constexpr size_t COUNT_BLOCK = 64;

// Bit i set where byte i of the n bytes at p (at most COUNT_BLOCK) is a line feed: with
// SSE2 sixteen bytes at a time.
inline uint64_t LineFeedMask(const char* p, size_t n) {
  uint64_t mask = 0;
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i lineFeed = _mm_set1_epi8('\n');
  for (; n - i >= 16; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    mask |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeed))))
            << i;
  }
#endif
  for (; i < n; ++i) mask |= static_cast<uint64_t>(p[i] == '\n') << i;
  return mask;
}

// The line feeds among the n bytes at p.
uint64_t CountLineFeeds(const char* p, size_t n) {
  uint64_t lines = 0;
  for (size_t i = 0; i < n; i += COUNT_BLOCK) {
    lines += static_cast<uint64_t>(
        __builtin_popcountll(LineFeedMask(p + i, n - i < COUNT_BLOCK ? n - i : COUNT_BLOCK)));
  }
  return lines;
}

// The pieces a line makes: rawLength bytes before its line feed, the last a CR when
// crBefore (delivered as part of the line feed).
inline uint64_t LinePieces(uint64_t rawLength, bool crBefore) {
  const uint64_t delivered = rawLength + 1 - (crBefore ? 1 : 0);
  return (delivered + POINT_PIECE_MAX - 1) / POINT_PIECE_MAX;
}

// Where the counting pass stands.
struct LineCounter {
  PointCount* count;
  uint64_t size;        // the bytes the pass may read
  uint64_t lineStart;   // file offset of the current line's first byte
  char lastByte;        // the last byte of the previous read
  int stretch;          // the next stretch whose start is still to be found
  uint64_t target;      // where it should start at the earliest; UINT64_MAX once all are found
};

// Where the next stretch to find should start at the earliest, i / stretches of the size for
// stretch i; UINT64_MAX when all are found.
uint64_t NextStretchTarget(const LineCounter& counter) {
  const uint64_t i = static_cast<uint64_t>(counter.stretch);
  const uint64_t n = static_cast<uint64_t>(counter.count->stretches);
  if (i >= n) return UINT64_MAX;
  return counter.size / n * i + counter.size % n * i / n;
}

// Counts the line feeds of one block of bytes at p, at file offset at, whose line feeds
// are mask; before is the byte before p. Only the first line feed can end a long line (the
// others end lines that start inside the block), and a stretch starts after a line feed.
void CountBlock(LineCounter* counter, const char* p, uint64_t at, uint64_t mask, char before) {
  if (mask == 0) return;
  PointCount* count = counter->count;
  const int first = __builtin_ctzll(mask);
  const uint64_t rawLength = at + static_cast<uint64_t>(first) - counter->lineStart;
  uint64_t longPieces = 0;  // pieces of the first line beyond its one
  if (rawLength >= POINT_PIECE_MAX) {
    const char last = first > 0 ? p[first - 1] : before;
    longPieces = LinePieces(rawLength, last == '\r') - 1;
  }
  // The first line start at or after a target follows the first line feed at or after the
  // byte before it.
  while (counter->target <= at + COUNT_BLOCK) {
    const uint64_t from = counter->target > at ? counter->target - 1 - at : 0;
    const uint64_t after = mask & (~static_cast<uint64_t>(0) << from);
    if (after == 0) break;
    const int lf = __builtin_ctzll(after);
    const uint64_t upTo = lf == 63 ? mask : mask & ((static_cast<uint64_t>(2) << lf) - 1);
    count->start[counter->stretch] = at + static_cast<uint64_t>(lf) + 1;
    count->firstLine[counter->stretch] = count->lines + static_cast<uint64_t>(__builtin_popcountll(upTo));
    count->firstPiece[counter->stretch] =
        count->pieces + static_cast<uint64_t>(__builtin_popcountll(upTo)) + longPieces;
    ++counter->stretch;
    counter->target = NextStretchTarget(*counter);
  }
  const uint64_t lines = static_cast<uint64_t>(__builtin_popcountll(mask));
  count->lines += lines;
  count->pieces += lines + longPieces;
  counter->lineStart = at + static_cast<uint64_t>(63 - __builtin_clzll(mask)) + 1;
}

}  // namespace

// Reads up to n bytes at offset: natively with pread, which leaves no shared position; on
// Windows by a seek and a read under one lock.
size_t ReadPointBytesAt(FILE* file, uint64_t offset, char* dest, size_t n, bool* failed) {
#if defined(_WIN32)
  static std::mutex positionLock;
  std::lock_guard<std::mutex> hold(positionLock);
  if (_fseeki64(file, static_cast<long long>(offset), SEEK_SET) != 0) {
    *failed = true;
    return 0;
  }
  size_t done = std::fread(dest, 1, n, file);
  if (done < n && std::ferror(file)) *failed = true;
  return done;
#else
  size_t done = 0;
  while (done < n) {
    ssize_t got = pread(fileno(file), dest + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) *failed = true;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
#endif
}

// The first byte equal to byte among the n at p, or null: with SSE2 sixteen bytes at a time
// (the Windows run-time's memchr goes byte by byte).
const char* FindByte(const char* p, char byte, size_t n) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(byte);
  for (; n - i >= 16; i += 16) {
    int found = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), wanted));
    if (found != 0) return p + i + __builtin_ctz(static_cast<unsigned>(found));
  }
#endif
  for (; i < n; ++i) {
    if (p[i] == byte) return p + i;
  }
  return nullptr;
}

// Counts line feeds and pieces before the first Ctrl-Z and places the stretches' starts;
// false when a read fails.
bool CountPointLines(FILE* file, uint64_t size, int stretches, char* buffer, size_t bufferSize,
                     PointCount* count) {
  assert(stretches >= 1 && stretches <= POINT_STRETCHES_MAX);
  *count = PointCount();
  count->stretches = stretches;
  LineCounter counter = {count, size, 0, 0, 1, 0};
  counter.target = NextStretchTarget(counter);
  bool failed = false;
  uint64_t offset = 0;
  while (offset < size) {
    const size_t want = size - offset < bufferSize ? static_cast<size_t>(size - offset) : bufferSize;
    const size_t n = ReadPointBytesAt(file, offset, buffer, want, &failed);
    if (n == 0) break;
    const char* stop = FindByte(buffer, CTRL_Z, n);
    const size_t data = stop != nullptr ? static_cast<size_t>(stop - buffer) : n;
    for (size_t i = 0; i < data; i += COUNT_BLOCK) {
      const size_t block = data - i < COUNT_BLOCK ? data - i : COUNT_BLOCK;
      CountBlock(&counter, buffer + i, offset + i, LineFeedMask(buffer + i, block),
                 i > 0 ? buffer[i - 1] : counter.lastByte);
    }
    if (stop != nullptr) break;
    counter.lastByte = buffer[n - 1];
    offset += n;
  }
  // Stretches whose start was not reached are empty, at the end of what was read.
  for (int i = counter.stretch; i <= stretches; ++i) {
    count->start[i] = size;
    count->firstLine[i] = count->lines;
    count->firstPiece[i] = count->pieces;
  }
  return !failed;
}

// Starts a pass over the pieces of a stretch of file through buffer.
void StartPointReader(PointReader* reader, FILE* file, uint64_t offset, uint64_t size,
                      char* buffer, size_t bufferSize) {
  assert(bufferSize >= POINT_READ_BUFFER_MIN);
  *reader = PointReader();
  reader->file = file;
  reader->offset = offset;
  reader->left = size;
  reader->buffer = buffer;
  reader->bufferSize = bufferSize;
}

// Tops the buffer up when fewer bytes than a piece's look-ahead are left; returns the bytes left.
size_t FillPointReader(PointReader* reader) {
  size_t left = reader->filled - reader->pos;
  if (left >= PIECE_LOOKAHEAD || reader->ended) return left;
  char* buffer = reader->buffer;
  std::memmove(buffer, buffer + reader->pos, left);
  reader->pos = 0;
  reader->filled = left;
  // The last byte stays behind the data, for the NUL that ends it.
  const size_t usable = reader->bufferSize - 1;
  while (reader->filled < PIECE_LOOKAHEAD && !reader->ended) {
    size_t want = usable - reader->filled;
    if (want > reader->left) want = static_cast<size_t>(reader->left);
    size_t n = want > 0 ? ReadPointBytesAt(reader->file, reader->offset, buffer + reader->filled,
                                           want, &reader->failed)
                        : 0;
    reader->offset += n;
    reader->left -= n;
    const char* stop = FindByte(buffer + reader->filled, CTRL_Z, n);
    reader->filled = stop != nullptr ? static_cast<size_t>(stop - buffer) : reader->filled + n;
    reader->ended = n == 0 || stop != nullptr;
  }
  buffer[reader->filled] = 0;
  return reader->filled;
}

// Reads the rest of the input; returns its line feeds.
uint64_t CountRestLineFeeds(PointReader* reader) {
  uint64_t lines = 0;
  for (;;) {
    size_t avail = FillPointReader(reader);
    if (avail == 0) return lines;
    lines += CountLineFeeds(reader->buffer + reader->pos, avail);
    reader->pos += avail;
  }
}

// The raw length of the piece at p among avail bytes.
size_t CutPointPiece(const char* p, size_t avail) {
  // Only a CR right before the LF is not delivered, so the LF of a piece sits at raw offset
  // POINT_PIECE_MAX at most.
  size_t searchLimit = avail < POINT_PIECE_MAX + 1 ? avail : POINT_PIECE_MAX + 1;
  const char* lf = FindByte(p, '\n', searchLimit);
  if (lf == nullptr) return avail < POINT_PIECE_MAX ? avail : POINT_PIECE_MAX;
  size_t at = static_cast<size_t>(lf - p);
  size_t delivered = at + 1 - (at > 0 && p[at - 1] == '\r' ? 1 : 0);
  return delivered <= POINT_PIECE_MAX ? at + 1 : POINT_PIECE_MAX;
}
