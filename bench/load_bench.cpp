// load-bench [FOLDER [POINTS [--files-only [SHAPE] | --huge]]] [--no-map]: loading speed of the point file
// loader on every number shape, on one thread and on as many as it chooses, against a plain
// fast_float loader built into the same binary (the file mapped, split at line feeds, three
// fast_float::from_chars a line, records appended to a vector, one thread). Hand-timed, so
// the same program runs natively and as a Windows program. Writes its files into FOLDER
// (default: the working directory) unless already there: POINTS points (default 2,000,000) a
// shape, and 10,000,000 of the %.6f shape. Prints, per file, the best of several interleaved
// loads of each in MB/s, all threads over one and over the baseline; natively also the
// loader's peak memory over its table. With --files-only it writes the POINTS files of the
// shapes, or of the one SHAPE names, and measures nothing (the files other checks load);
// with --huge it writes POINTS lines of "0 0 0" and loads them once. With --no-map every load
// reads by positional reads, as where the file cannot be mapped.
#include "records/app_state.h"
#include "pointdata/point_file.h"

#include <fast_float/fast_float.h>

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int64_t BIG_POINTS = 10000000;

// One shape of file: a name and how to print one point.
struct Shape {
  const char* name;
  int (*print)(char* line, size_t size, const double* v, uint64_t random);
};

// The shapes, each a common way of writing points.
const Shape SHAPES[] = {
    {"f6", [](char* s, size_t n, const double* v, uint64_t) {
       return std::snprintf(s, n, "%.6f %.6f %.6f\n", v[0], v[1], v[2]); }},
    {"g17", [](char* s, size_t n, const double* v, uint64_t) {
       return std::snprintf(s, n, "%.17g %.17g %.17g\n", v[0] * 100, v[1] * 100, v[2] * 100); }},
    {"e3", [](char* s, size_t n, const double* v, uint64_t r) {
       double scale = std::pow(10.0, (double)(r % 61) - 30);
       return std::snprintf(s, n, "%.3e %.3e %.3e\n", v[0] * scale, v[1] * scale, v[2] * scale); }},
    {"integers", [](char* s, size_t n, const double* v, uint64_t) {
       return std::snprintf(s, n, "%d %d %d\n", (int)(v[0] * 2e5), (int)(v[1] * 2e5), (int)(v[2] * 2e5)); }},
    {"mixed-widths", [](char* s, size_t n, const double* v, uint64_t r) {
       return std::snprintf(s, n, "%.*f %.*f %.*f\n", (int)(r % 9), v[0] * 1000, (int)(r >> 8) % 9,
                            v[1], (int)(r >> 16) % 9, v[2] * 10); }},
    {"tabs", [](char* s, size_t n, const double* v, uint64_t) {
       return std::snprintf(s, n, "%.4f\t%.4f\t%.4f\n", v[0] * 10, v[1] * 10, v[2] * 10); }},
    {"crlf", [](char* s, size_t n, const double* v, uint64_t) {
       return std::snprintf(s, n, "%.6f %.6f %.6f\r\n", v[0], v[1], v[2]); }},
    {"mixed-signs", [](char* s, size_t n, const double* v, uint64_t r) {
       const char* signs[] = {"", "+", "-"};
       return std::snprintf(s, n, "%s%.*f %s%.*g %.*e\n", signs[r % 3], (int)(r >> 4) % 10,
                            std::fabs(v[0]), signs[(r >> 8) % 3], 1 + (int)(r >> 12) % 17,
                            std::fabs(v[1] * 1e4), (int)(r >> 20) % 8, v[2] * 1e-3); }},
};

// Name of the file of one shape and size in folder.
std::string FileName(const std::string& folder, const char* shape, int64_t points) {
  return folder + "/load-bench-" + shape + "-" + std::to_string(points) + ".txt";
}

// Size of a file in bytes (0 when it is missing).
int64_t FileBytes(const std::string& name) {
  FILE* f = std::fopen(name.c_str(), "rb");
  if (f == nullptr) return 0;
#if defined(_WIN32)
  _fseeki64(f, 0, SEEK_END);
  int64_t bytes = _ftelli64(f);  // ftell's long is 32 bits there
#else
  fseeko(f, 0, SEEK_END);
  int64_t bytes = static_cast<int64_t>(ftello(f));
#endif
  std::fclose(f);
  return bytes;
}

// Writes points deterministic points of a shape, values within ±5 before its scaling,
// unless the file is already there; false, with the reason printed, when it cannot be written.
bool EnsureFile(const std::string& name, const Shape& shape, int64_t points) {
  if (FileBytes(name) > 0) return true;
  FILE* f = std::fopen(name.c_str(), "wb");
  if (f == nullptr) {
    std::fprintf(stderr, "load-bench: cannot write %s\n", name.c_str());
    return false;
  }
  uint64_t state = 0x9e3779b97f4a7c15ull;
  char line[256];
  for (int64_t i = 0; i < points; ++i) {
    double v[3];
    for (double& c : v) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      c = ((double)(state >> 11) / 9007199254740992.0) * 10.0 - 5.0;
    }
    std::fwrite(line, 1, (size_t)shape.print(line, sizeof line, v, state >> 20), f);
  }
  return std::fclose(f) == 0;
}

std::vector<PointRecord> baselineRecords;  // the baseline's table

// A read-only view of a whole file, or null: mmap natively, a file mapping on Windows.
struct FileView {
  const char* bytes = nullptr;
  size_t size = 0;
#if defined(_WIN32)
  HANDLE file = INVALID_HANDLE_VALUE;
  HANDLE mapping = nullptr;
#endif
};

FileView MapWholeFile(const char* name) {
  FileView view;
#if defined(_WIN32)
  view.file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER size;
  if (view.file == INVALID_HANDLE_VALUE || !GetFileSizeEx(view.file, &size) || size.QuadPart == 0) return view;
  view.mapping = CreateFileMappingA(view.file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (view.mapping != nullptr) view.bytes = static_cast<const char*>(MapViewOfFile(view.mapping, FILE_MAP_READ, 0, 0, 0));
  view.size = view.bytes != nullptr ? static_cast<size_t>(size.QuadPart) : 0;
#else
  int fd = open(name, O_RDONLY);
  struct stat info;
  if (fd >= 0 && fstat(fd, &info) == 0 && info.st_size > 0) {
    void* bytes = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (bytes != MAP_FAILED) {
      view.bytes = static_cast<const char*>(bytes);
      view.size = static_cast<size_t>(info.st_size);
    }
  }
  if (fd >= 0) close(fd);
#endif
  return view;
}

void UnmapWholeFile(FileView* view) {
#if defined(_WIN32)
  if (view->bytes != nullptr) UnmapViewOfFile(view->bytes);
  if (view->mapping != nullptr) CloseHandle(view->mapping);
  if (view->file != INVALID_HANDLE_VALUE) CloseHandle(view->file);
#else
  if (view->bytes != nullptr) munmap(const_cast<char*>(view->bytes), view->size);
#endif
  *view = FileView();
}

// The plain fast_float loader: the file mapped, one pass, records appended to a vector.
void LoadBaseline(const char* name) {
  baselineRecords.clear();
  FileView view = MapWholeFile(name);
  const char* end = view.bytes + view.size;
  for (const char* line = view.bytes, *lf; line != nullptr && line < end &&
       (lf = static_cast<const char*>(std::memchr(line, '\n', end - line))) != nullptr; line = lf + 1) {
    float xyz[3] = {0.0f, 0.0f, 0.0f};
    const char* p = line;
    for (float& value : xyz) {
      while (p < lf && (*p == ' ' || *p == '\t' || *p == '+')) ++p;
      p = fast_float::from_chars(p, lf, value).ptr;
    }
    baselineRecords.push_back({xyz[0], xyz[1], xyz[2]});
  }
  UnmapWholeFile(&view);
}

// Whether the loads read the file in place (its mapping) or by positional reads (--no-map).
bool loadsMapFile = true;

// The viewer's loader on as many threads as it chooses; the table stays for the caller, which
// draws nothing.
void LoadViewer(const char* name) {
  ResetAppState();
  PointLoadOptions options;
  options.forDrawing = false;
  options.mapFile = loadsMapFile;
  LoadPointFileWith(name, options);
}

// The viewer's loader on one thread.
void LoadViewerOneThread(const char* name) {
  ResetAppState();
  PointLoadOptions options;
  options.threads = 1;
  options.forDrawing = false;
  options.mapFile = loadsMapFile;
  LoadPointFileWith(name, options);
}

// Seconds one load takes.
double TimeLoad(void (*load)(const char*), const std::string& name) {
  auto start = std::chrono::steady_clock::now();
  load(name.c_str());
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Peak resident memory (MiB) a child adds over its parent while loading name, in place or by
// reads, natively; -1 where it cannot be measured. In place the file's pages, mapped, count too.
double ChildPeakMiB(const std::string& name, bool mapFile) {
#if defined(_WIN32)
  (void)name;
  (void)mapFile;
  return -1.0;
#else
  struct rusage self, usage;
  getrusage(RUSAGE_SELF, &self);
  pid_t child = fork();
  if (child == 0) {
    ResetAppState();
    PointLoadOptions options;
    options.mapFile = mapFile;
    options.forDrawing = false;
    LoadPointFileWith(name.c_str(), options);
    _exit(pointTable.count > 0 ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || wait4(child, &status, 0, &usage) < 0) return -1.0;
  return (double)(usage.ru_maxrss - self.ru_maxrss) / 1024.0;
#endif
}

// True when the loaded table holds the baseline's records.
bool SameAsBaseline() {
  return pointTable.count == (int32_t)baselineRecords.size() &&
         std::memcmp(pointTable.records, baselineRecords.data(),
                     baselineRecords.size() * sizeof(PointRecord)) == 0;
}

// Times the loader on one thread, on its own choice of threads, and the baseline,
// interleaved, on one file; prints best times and ratios.
void MeasureFile(const std::string& name, const char* shape, int64_t points, int rounds) {
  double bytes = (double)FileBytes(name);
  double oneBest = 1e30, allBest = 1e30, baselineBest = 1e30;
  for (int round = 0; round < rounds; ++round) {
    oneBest = std::min(oneBest, TimeLoad(LoadViewerOneThread, name));
    if (round > 0 && !SameAsBaseline()) std::printf("  (%s: one thread's records differ from the baseline's)\n", shape);
    ReleasePointTable();
    allBest = std::min(allBest, TimeLoad(LoadViewer, name));
    if (round > 0 && !SameAsBaseline()) std::printf("  (%s: the records differ from the baseline's)\n", shape);
    ReleasePointTable();
    baselineBest = std::min(baselineBest, TimeLoad(LoadBaseline, name));
  }
  std::printf("%-13s %10lld %8.1f MB %8.0f MB/s %8.0f MB/s %6.2fx %8.0f MB/s %6.2fx\n", shape,
              (long long)points, bytes / 1e6, bytes / oneBest / 1e6, bytes / allBest / 1e6,
              oneBest / allBest, bytes / baselineBest / 1e6, baselineBest / allBest);
  std::fflush(stdout);
}

// Writes points lines of "0 0 0" unless the file is there; false when it cannot be written.
bool EnsureZeroFile(const std::string& name, int64_t points) {
  if (FileBytes(name) > 0) return true;
  FILE* f = std::fopen(name.c_str(), "wb");
  if (f == nullptr) return false;
  std::vector<char> block(6 * 1000000);
  for (size_t i = 0; i < block.size(); i += 6) std::memcpy(&block[i], "0 0 0\n", 6);
  for (int64_t left = points; left > 0; left -= 1000000) {
    size_t lines = left < 1000000 ? (size_t)left : 1000000;
    if (std::fwrite(block.data(), 6, lines, f) != lines) break;
  }
  return std::fclose(f) == 0 && FileBytes(name) == points * 6;
}

// Loads a file of points "0 0 0" lines once and says what it gave.
int MeasureHuge(const std::string& folder, int64_t points) {
  std::string name = folder + "/load-bench-zeros-" + std::to_string(points) + ".txt";
  if (!EnsureZeroFile(name, points)) {
    std::fprintf(stderr, "load-bench: cannot write %s\n", name.c_str());
    return 1;
  }
  double seconds = TimeLoad(LoadViewer, name);
  std::printf("%lld points of \"0 0 0\" (%.1f GB, table %.1f GB): %d records, %.1f s, %.0f MB/s\n",
              (long long)points, (double)FileBytes(name) / 1e9, (double)points * sizeof(PointRecord) / 1e9,
              (int)pointTable.count, seconds, (double)FileBytes(name) / seconds / 1e6);
  ReleasePointTable();
  return 0;
}

}  // namespace

// Writes the files, measures the peak memory of the big file, then the speed of each shape.
int main(int argc, char** argv) {
  // A last --no-map: every load by positional reads.
  if (argc > 1 && std::strcmp(argv[argc - 1], "--no-map") == 0) {
    loadsMapFile = false;
    --argc;
  }
  std::string folder = argc > 1 ? argv[1] : ".";
  int64_t points = argc > 2 ? std::atoll(argv[2]) : 2000000;
  if (argc > 3 && std::strcmp(argv[3], "--huge") == 0) return MeasureHuge(folder, points);
  if (argc > 3 && std::strcmp(argv[3], "--files-only") == 0) {
    for (const Shape& shape : SHAPES) {
      if (argc > 4 && std::strcmp(argv[4], shape.name) != 0) continue;
      if (!EnsureFile(FileName(folder, shape.name, points), shape, points)) return 1;
    }
    return 0;
  }
  std::string big = FileName(folder, SHAPES[0].name, BIG_POINTS);
  if (!EnsureFile(big, SHAPES[0], BIG_POINTS)) return 1;
  // First, while the process itself is still small.
  const double inPlace = ChildPeakMiB(big, true);
  const double byReads = ChildPeakMiB(big, false);
  if (inPlace >= 0.0) {
    const double file = (double)FileBytes(big) / 1048576.0;
    std::printf("peak memory over the parent, %lld points of f6 (table %.1f MiB): in place %.1f MiB, less the "
                "file's mapped pages (%.1f MiB, page cache) %.1f MiB; by reads %.1f MiB\n",
                (long long)BIG_POINTS, (double)BIG_POINTS * sizeof(PointRecord) / 1048576.0, inPlace, file,
                inPlace - file, byReads);
  }
  std::printf("%-13s %10s %11s %13s %13s %7s %13s %7s\n", "shape", "points", "file", "1 thread",
              "all threads", "ratio", "baseline", "ratio");
  for (const Shape& shape : SHAPES) {
    std::string name = FileName(folder, shape.name, points);
    if (!EnsureFile(name, shape, points)) return 1;
    MeasureFile(name, shape.name, points, 5);
  }
  MeasureFile(big, SHAPES[0].name, BIG_POINTS, 3);
  return 0;
}
