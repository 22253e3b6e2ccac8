// point-dump FILE [--summary] [--threads N] [--no-map]: loads FILE as the viewer does and prints
// the count, the vertex counter and the table, one record a line, as the IEEE-754 bit patterns
// of x, y and z; with --summary, one FNV-1a hash of all those bit patterns instead of the
// records (for big files, and for comparing the builds quickly); with --threads, both passes
// cut into N stretches, each on its own thread, however small the file; with --no-map, the file
// read with positional reads, as where it cannot be mapped. It draws nothing, so it needs room
// for the table alone.
#include "records/app_state.h"
#include "pointdata/point_file.h"
#include "pointdata/point_count.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

// The bit pattern of a float.
static uint32_t FloatBits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Loads the named file, prints count, vertex counter and records, and frees the table.
int main(int argc, char** argv) {
  bool summary = false;
  PointLoadOptions options;
  options.forDrawing = false;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--summary") == 0) {
      summary = true;
    } else if (std::strcmp(argv[i], "--no-map") == 0) {
      options.mapFile = false;
    } else if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc) {
      options.threads = std::atoi(argv[++i]);
    } else {
      options.threads = -1;
    }
  }
  if (argc < 2 || options.threads < 0 || options.threads > POINT_STRETCHES_MAX) {
    std::fprintf(stderr, "usage: point-dump FILE [--summary] [--threads 1-%d] [--no-map]\n", POINT_STRETCHES_MAX);
    return 2;
  }
#if defined(_WIN32)
  // The same bytes on every platform: no CR added before each line feed.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  LoadPointFileWith(argv[1], options);
  std::printf("count %d\n", (int)pointTable.count);
  std::printf("vertices %.0f\n", (double)loadedFileInfo.vertexCounter);
  uint64_t hash = 0xcbf29ce484222325ull;
  for (int32_t i = 0; i < pointTable.count; ++i) {
    const PointRecord& r = pointTable.records[i];
    uint32_t bits[3] = {FloatBits(r.x), FloatBits(r.y), FloatBits(r.z)};
    if (!summary) std::printf("%08x %08x %08x\n", (unsigned)bits[0], (unsigned)bits[1], (unsigned)bits[2]);
    for (uint32_t b : bits) hash = (hash ^ b) * 0x100000001b3ull;
  }
  if (summary) std::printf("hash %016llx\n", (unsigned long long)hash);
  ReleasePointTable();
  return 0;
}
