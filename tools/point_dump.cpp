// point-dump FILE: loads FILE as the viewer does and prints the table, one record a line,
// as the IEEE-754 bit patterns of x, y and z.
#include "app/app_state.h"
#include "pointdata/point_file.h"

#include <cstdint>
#include <cstdio>
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
  if (argc < 2) {
    std::fprintf(stderr, "usage: point-dump FILE\n");
    return 2;
  }
#if defined(_WIN32)
  // The same bytes on every platform: no CR added before each line feed.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  LoadPointFile(argv[1]);
  std::printf("count %d\n", (int)pointTable.count);
  std::printf("vertices %.0f\n", (double)loadedFileInfo.vertexCounter);
  for (int32_t i = 0; i < pointTable.count; ++i) {
    const PointRecord& r = pointTable.records[i];
    std::printf("%08x %08x %08x\n", (unsigned)FloatBits(r.x), (unsigned)FloatBits(r.y),
                (unsigned)FloatBits(r.z));
  }
  ReleasePointTable();
  return 0;
}
