// point-dump FILE [--summary] [--threads N] [--no-map]: loads FILE as the viewer does and prints
// the count, the vertex counter and the table, one record a line, as the IEEE-754 bit patterns
// of x, y and z; with --summary, one FNV-1a hash of all those bit patterns instead of the
// records (for big files, and for comparing the builds quickly); with --threads, both passes
// cut into N stretches, each on its own thread, however small the file; with --no-map, the file
// read with positional reads, as where it cannot be mapped. It draws nothing, so it needs room
// for the table alone. The loader's message boxes go to standard error as "caption: text":
// point-dump needs no windowing library (on Windows it imports no USER32), so it runs where no
// display is.
#include "records/app_state.h"
#include "pointdata/point_count.h"
#include "pointdata/point_file.h"
#include "tools/point_dump_format.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

extern "C" {

// The loader's boxes, as text on standard error; answered OK.
int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
  return IDOK;
}

}  // extern "C"

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
  PrintPointDump(pointTable.count, loadedFileInfo.vertexCounter, pointTable.records, summary);
  ReleasePointTable();
  return 0;
}
