// The counting pass (see point_count.h).
#include "pointdata/point_count.h"

#include "pointdata/point_progress.h"
#include "pointdata/point_reader.h"
#include "pointdata/point_threads.h"

#include <cassert>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr uint64_t NONE = UINT64_MAX;
// The counting pass looks at the bytes this many at a time, one bit each.
constexpr size_t COUNT_BLOCK = 64;

// What one thread found in its stretch of bytes [begin, end), up to its first Ctrl-Z.
struct ChunkCount {
  uint64_t begin = 0;
  uint64_t end = 0;
  uint64_t read = 0;           // bytes looked at, from begin
  bool failed = false;         // a read failed
  uint64_t lineFeeds = 0;
  uint64_t firstLineFeed = NONE;
  uint64_t lastLineFeed = NONE;
  uint64_t longPieces = 0;     // pieces beyond their first of the lines between its line feeds
  bool crBeforeFirst = false;  // a CR before the first line feed, inside the stretch
  char lastByte = 0;           // the last byte looked at
  uint64_t ctrlZ = NONE;       // where its first Ctrl-Z lies
};

// Bits of the n bytes at p (at most COUNT_BLOCK) that are line feeds, and in *ctrlZ those that
// are Ctrl-Z: with SSE2 sixteen bytes at a time.
inline uint64_t LineFeedMask(const char* p, size_t n, uint64_t* ctrlZ) {
  uint64_t mask = 0;
  uint64_t stops = 0;
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i lineFeed = _mm_set1_epi8('\n');
  const __m128i stop = _mm_set1_epi8(POINT_CTRL_Z);
  for (; n - i >= 16; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    mask |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, lineFeed)))) << i;
    stops |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, stop)))) << i;
  }
#endif
  for (; i < n; ++i) {
    mask |= static_cast<uint64_t>(p[i] == '\n') << i;
    stops |= static_cast<uint64_t>(p[i] == POINT_CTRL_Z) << i;
  }
  *ctrlZ = stops;
  return mask;
}

// Counts the n bytes at p, at file offset at, into the chunk; before is the byte before p
// inside the chunk (0 at its start). Stops at a Ctrl-Z, which it records. Only the first line
// feed of a block can end a long line (the others end lines that start inside the block).
void CountChunkBytes(ChunkCount* chunk, const char* p, size_t n, uint64_t at, char before) {
  for (size_t i = 0; i < n; i += COUNT_BLOCK) {
    const size_t block = n - i < COUNT_BLOCK ? n - i : COUNT_BLOCK;
    uint64_t stops = 0;
    uint64_t mask = LineFeedMask(p + i, block, &stops);
    if (stops != 0) {
      const int cut = __builtin_ctzll(stops);
      mask &= (static_cast<uint64_t>(1) << cut) - 1;
      chunk->ctrlZ = at + i + static_cast<uint64_t>(cut);
    }
    if (mask != 0) {
      const size_t first = static_cast<size_t>(__builtin_ctzll(mask));
      const uint64_t lineFeed = at + i + first;
      const bool crBefore = (i + first > 0 ? p[i + first - 1] : before) == '\r';
      if (chunk->lastLineFeed == NONE) {
        chunk->firstLineFeed = lineFeed;
        chunk->crBeforeFirst = lineFeed > chunk->begin && crBefore;
      } else if (lineFeed - chunk->lastLineFeed - 1 >= POINT_PIECE_MAX) {
        chunk->longPieces += LinePieces(lineFeed - chunk->lastLineFeed - 1, crBefore) - 1;
      }
      chunk->lineFeeds += CountBits(mask);
      chunk->lastLineFeed = at + i + static_cast<uint64_t>(63 - __builtin_clzll(mask));
    }
    if (stops != 0) return;
  }
}

// Everything the counting threads share.
struct CountJob {
  const PointSource* source;
  const char* mapped;  // the file's mapping, when counted in place
  ChunkCount chunks[POINT_STRETCHES_MAX];
  size_t bufferSize;
};

// Counts one thread's stretch of bytes: in place, or through its buffer.
void CountChunk(void* context, int index, char* buffer) {
  CountJob* job = static_cast<CountJob*>(context);
  ChunkCount* chunk = &job->chunks[index];
  const uint64_t size = chunk->end - chunk->begin;
  if (size == 0) return;
  if (job->mapped != nullptr) {
    // In slices, so that the progress moves.
    for (uint64_t at = 0; at < size && chunk->ctrlZ == NONE; at += POINT_PROGRESS_BYTES) {
      const uint64_t slice = size - at < POINT_PROGRESS_BYTES ? size - at : POINT_PROGRESS_BYTES;
      const char* p = job->mapped + chunk->begin + at;
      CountChunkBytes(chunk, p, static_cast<size_t>(slice), chunk->begin + at, at > 0 ? p[-1] : 0);
      pointLoadProgress.bytesCounted += slice;
    }
    chunk->read = chunk->ctrlZ != NONE ? chunk->ctrlZ - chunk->begin : size;
    if (chunk->read > 0) chunk->lastByte = job->mapped[chunk->begin + chunk->read - 1];
    return;
  }
  char before = 0;
  while (chunk->read < size && chunk->ctrlZ == NONE) {
    const uint64_t left = size - chunk->read;
    const size_t want = left < job->bufferSize ? static_cast<size_t>(left) : job->bufferSize;
    const size_t n = ReadPointBytesAt(*job->source, chunk->begin + chunk->read, buffer, want, &chunk->failed);
    if (n == 0) break;
    CountChunkBytes(chunk, buffer, n, chunk->begin + chunk->read, before);
    const size_t looked = chunk->ctrlZ != NONE ? static_cast<size_t>(chunk->ctrlZ - chunk->begin - chunk->read) : n;
    if (looked > 0) chunk->lastByte = buffer[looked - 1];
    before = chunk->lastByte;
    chunk->read += looked;
    pointLoadProgress.bytesCounted += looked;
  }
}

// Where stretch i of n over size bytes is to start at the earliest: i / n of the size.
uint64_t StretchTarget(uint64_t size, int n, int i) {
  const uint64_t stretches = static_cast<uint64_t>(n);
  const uint64_t index = static_cast<uint64_t>(i);
  return size / stretches * index + size % stretches * index / stretches;
}

// Settles the totals and the stretches from the threads' chunks, in file order up to the first
// Ctrl-Z or the first byte that could not be read. Stretch i starts at the first line start at
// or after chunk i's first byte; stretches whose start is never reached are empty, at the end.
void SettleStretches(const CountJob& job, uint64_t size, PointCount* count) {
  uint64_t lineStart = 0;  // where the line not yet ended began
  int pending = 1;         // the first stretch whose start is not yet found
  count->end = size;
  for (int c = 0; c < count->stretches; ++c) {
    const ChunkCount& chunk = job.chunks[c];
    // A chunk that starts a line starts the stretches still waiting.
    if (c > 0 && lineStart == chunk.begin) {
      for (; pending <= c; ++pending) {
        count->start[pending] = chunk.begin;
        count->firstLine[pending] = count->lines;
        count->firstPiece[pending] = count->pieces;
      }
    }
    if (chunk.firstLineFeed != NONE) {
      const bool crBefore = chunk.firstLineFeed > chunk.begin ? chunk.crBeforeFirst
                            : c > 0 && job.chunks[c - 1].lastByte == '\r';
      count->lines += 1;
      count->pieces += LinePieces(chunk.firstLineFeed - lineStart, crBefore);
      for (; pending <= c; ++pending) {
        count->start[pending] = chunk.firstLineFeed + 1;
        count->firstLine[pending] = count->lines;
        count->firstPiece[pending] = count->pieces;
      }
      count->lines += chunk.lineFeeds - 1;
      count->pieces += chunk.lineFeeds - 1 + chunk.longPieces;
      lineStart = chunk.lastLineFeed + 1;
    }
    if (chunk.ctrlZ != NONE) {
      count->end = chunk.ctrlZ;
      break;
    }
    if (chunk.failed || chunk.read < chunk.end - chunk.begin) {
      count->end = chunk.begin + chunk.read;
      count->complete = false;
      break;
    }
  }
  for (int i = pending; i <= count->stretches; ++i) {
    count->start[i] = count->end;
    count->firstLine[i] = count->lines;
    count->firstPiece[i] = count->pieces;
  }
}

}  // namespace

// Counts each stretch of bytes on its own thread, then settles the totals and the stretches.
void CountPointLines(const PointSource& source, uint64_t size, bool inPlace, int stretches, char* buffer,
                     size_t bufferSize, PointCount* count) {
  assert(stretches >= 1 && stretches <= POINT_STRETCHES_MAX);
  *count = PointCount();
  count->stretches = stretches;
  CountJob job;
  job.source = &source;
  job.mapped = inPlace ? source.mapped : nullptr;
  job.bufferSize = bufferSize;
  for (int i = 0; i < stretches; ++i) {
    job.chunks[i] = ChunkCount();
    job.chunks[i].begin = StretchTarget(size, stretches, i);
    job.chunks[i].end = StretchTarget(size, stretches, i + 1);
  }
  RunPointWork(POINT_WHILE_COUNTING, stretches, CountChunk, &job, job.mapped == nullptr, buffer, bufferSize);
  SettleStretches(job, size, count);
  if (job.mapped != nullptr && PointMappingLost(source)) count->complete = false;
}
