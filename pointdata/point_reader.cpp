// The point file's text-mode reader (see point_reader.h).
#include "pointdata/point_reader.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr char CTRL_Z = 0x1A;
// Look-ahead a piece needs: the longest raw piece (253 characters and a CR LF) plus the
// byte after it.
constexpr size_t PIECE_LOOKAHEAD = POINT_PIECE_MAX + 2;

// Reads up to max raw bytes into dest, and no more than left, which it counts down; returns
// how many (0 at the end or on a failed read, which also sets failed).
size_t ReadPointBytes(FILE* file, char* dest, size_t max, uint64_t* left, bool* failed) {
  if (max > *left) max = (size_t)*left;
  if (max == 0) return 0;
  size_t n = std::fread(dest, 1, max, file);
  if (n < max && std::ferror(file)) *failed = true;
  *left -= n;
  return n;
}

// Number of line feeds among the n bytes at p: with SSE2 sixteen bytes at a time, counted
// in byte lanes for up to 255 blocks and then summed (several times the plain loop's speed).
uint64_t CountLineFeeds(const char* p, size_t n) {
  uint64_t lines = 0;
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i lineFeed = _mm_set1_epi8('\n');
  while (n - i >= 16) {
    size_t blocks = (n - i) / 16 < 255 ? (n - i) / 16 : 255;
    __m128i counts = _mm_setzero_si128();
    for (size_t b = 0; b < blocks; ++b, i += 16) {
      counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(_mm_loadu_si128((const __m128i*)(p + i)), lineFeed));
    }
    __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    lines += (uint64_t)_mm_cvtsi128_si32(sums) + (uint64_t)_mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
  }
#endif
  for (; i < n; ++i) lines += p[i] == '\n';
  return lines;
}

}  // namespace

// The first byte equal to byte among the n at p, or null: with SSE2 sixteen bytes at a time
// (the Windows run-time's memchr goes byte by byte).
const char* FindByte(const char* p, char byte, size_t n) {
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi8(byte);
  for (; n - i >= 16; i += 16) {
    int found = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128((const __m128i*)(p + i)), wanted));
    if (found != 0) return p + i + __builtin_ctz((unsigned)found);
  }
#endif
  for (; i < n; ++i) {
    if (p[i] == byte) return p + i;
  }
  return nullptr;
}

// Counts the line feeds before the first Ctrl-Z; false when a read fails.
bool CountPointLines(FILE* file, uint64_t size, char* buffer, size_t bufferSize, uint64_t* lines) {
  bool failed = false;
  *lines = 0;
  for (;;) {
    size_t n = ReadPointBytes(file, buffer, bufferSize, &size, &failed);
    if (n == 0) break;
    const char* stop = FindByte(buffer, CTRL_Z, n);
    *lines += CountLineFeeds(buffer, stop != nullptr ? (size_t)(stop - buffer) : n);
    if (stop != nullptr) break;
  }
  return !failed;
}

// Starts a pass over the pieces of file through buffer.
void StartPointReader(PointReader* reader, FILE* file, uint64_t size, char* buffer, size_t bufferSize) {
  *reader = PointReader();
  reader->file = file;
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
    size_t n = ReadPointBytes(reader->file, buffer + reader->filled, usable - reader->filled,
                              &reader->left, &reader->failed);
    const char* stop = FindByte(buffer + reader->filled, CTRL_Z, n);
    reader->filled = stop != nullptr ? (size_t)(stop - buffer) : reader->filled + n;
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
  size_t at = (size_t)(lf - p);
  size_t delivered = at + 1 - (at > 0 && p[at - 1] == '\r' ? 1 : 0);
  return delivered <= POINT_PIECE_MAX ? at + 1 : POINT_PIECE_MAX;
}
