// The point file's text-mode reader (see point_reader.h).
#include "pointdata/point_reader.h"

#include "pointdata/point_threads.h"

#include <cassert>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Starts a pass over a stretch: in place in the mapping, or through the buffer.
void StartPointReader(PointReader* reader, const PointSource* source, uint64_t offset, uint64_t size,
                      bool inPlace, char* buffer, size_t bufferSize, const PointFileIdentity* guard) {
  assert(bufferSize >= POINT_READ_BUFFER_MIN);
  *reader = PointReader();
  reader->source = source;
  reader->buffer = buffer;
  reader->bufferSize = bufferSize;
  reader->guard = guard;
  reader->data = buffer;
  if (inPlace && source->mapped != nullptr) {
    reader->inPlace = true;
    reader->data = source->mapped + offset;
    reader->avail = static_cast<size_t>(size);
    reader->offset = offset + size;
  } else {
    reader->offset = offset;
    reader->left = size;
  }
}

// Tops the buffer up when fewer bytes than a piece's look-ahead are left; in place, the last of
// them move to the buffer, where a NUL can follow them. Returns the bytes left.
size_t FillPointReader(PointReader* reader) {
  if (reader->avail >= POINT_PIECE_LOOKAHEAD || reader->ended) return reader->avail;
  char* buffer = reader->buffer;
  std::memmove(buffer, reader->data, reader->avail);
  size_t filled = reader->avail;
  reader->inPlace = false;
  // The last byte stays behind the data, for the NUL that ends it.
  const size_t usable = reader->bufferSize - 1;
  while (filled < POINT_PIECE_LOOKAHEAD && !reader->ended) {
    const size_t want = usable - filled < reader->left ? usable - filled : static_cast<size_t>(reader->left);
    size_t n = want > 0 ? ReadPointBytesAt(*reader->source, reader->offset, buffer + filled, want, &reader->failed)
                        : 0;
#if defined(VIEWER_TEST_HOOKS)
    if (n > 0 && reader->guard != nullptr && pointLoadHook != nullptr) pointLoadHook(POINT_WHILE_REREADING);
#endif
    if (n > 0 && reader->guard != nullptr && !PointSourceStill(*reader->source, *reader->guard)) {
      n = 0;
      reader->moved = true;
    }
    reader->offset += n;
    reader->left -= n;
    const char* stop = FindByte(buffer + filled, POINT_CTRL_Z, n);
    filled = stop != nullptr ? static_cast<size_t>(stop - buffer) : filled + n;
    reader->ended = n == 0 || stop != nullptr;
  }
  buffer[filled] = 0;
  reader->data = buffer;
  reader->avail = filled;
  return filled;
}

// Reads the rest of the input; returns its line feeds.
uint64_t CountRestLineFeeds(PointReader* reader) {
  uint64_t lines = 0;
  for (;;) {
    const size_t avail = FillPointReader(reader);
    if (avail == 0) return lines;
    lines += CountLineFeeds(reader->data, avail);
    AdvancePointReader(reader, avail);
  }
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

// The line feeds among the n bytes at p: with SSE2 sixteen bytes at a time.
uint64_t CountLineFeeds(const char* p, size_t n) {
  uint64_t lines = 0;
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i lineFeed = _mm_set1_epi8('\n');
  for (; n - i >= 16; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    lines += CountBits(static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeed)))));
  }
#endif
  for (; i < n; ++i) lines += p[i] == '\n';
  return lines;
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
