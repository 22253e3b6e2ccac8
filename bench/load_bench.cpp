// Loading speed and peak memory of the point file loader, against the straightforward
// stream loader (character-counting pass, then a 255-byte line reader and "%f %f %f"
// per line) in the same run.
#include "app/app_state.h"
#include "pointdata/point_file.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

namespace {

std::map<std::string, double> secondsPerLoad;  // fastest load per benchmark name

// Name of the bench file of lines points, in $TMPDIR or /tmp.
std::string BenchFileName(int64_t lines) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir != nullptr && dir[0] != 0 ? dir : "/tmp") + "/load_bench_" +
         std::to_string(lines) + ".txt";
}

// Writes lines deterministic points in [-5, 5] as "%.6f %.6f %.6f\n" unless already there.
std::string EnsureBenchFile(int64_t lines) {
  std::string name = BenchFileName(lines);
  FILE* f = std::fopen(name.c_str(), "rb");
  if (f != nullptr) {
    int64_t found = 0;
    char block[1 << 16];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, f)) > 0) {
      for (size_t i = 0; i < n; ++i) found += block[i] == '\n';
    }
    std::fclose(f);
    if (found == lines) return name;
  }
  f = std::fopen(name.c_str(), "wb");
  if (f == nullptr) return name;
  uint64_t state = 0x9e3779b97f4a7c15ull;
  for (int64_t i = 0; i < lines; ++i) {
    double v[3];
    for (double& c : v) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      c = ((double)(state >> 11) / 9007199254740992.0) * 10.0 - 5.0;
    }
    std::fprintf(f, "%.6f %.6f %.6f\n", v[0], v[1], v[2]);
  }
  std::fclose(f);
  return name;
}

// Size of a file in bytes.
int64_t FileBytes(const std::string& name) {
  FILE* f = std::fopen(name.c_str(), "rb");
  if (f == nullptr) return 0;
  std::fseek(f, 0, SEEK_END);
  int64_t bytes = (int64_t)ftello(f);
  std::fclose(f);
  return bytes;
}

// The straightforward loader: text-mode stream, fgetc counting, fgets + sscanf per line.
void BaselineLoad(const char* name) {
  loadedFileInfo.fileName = name;
  FILE* f = std::fopen(name, "rt");
  if (f == nullptr) return;
  int32_t lines = 0;
  int c;
  while ((c = std::fgetc(f)) != EOF) {
    if (c == '\n') {
      ++lines;
      loadedFileInfo.vertexCounter += 1.0f;
    }
  }
  std::fseek(f, 0, SEEK_SET);
  pointTable.count = lines;
  pointTable.records = (PointRecord*)std::malloc((size_t)lines * sizeof(PointRecord));
  char line[255];
  float x = 0, y = 0, z = 0;
  int32_t index = 0;
  while (!std::feof(f) && index < pointTable.count) {
    if (std::fgets(line, sizeof line, f) == nullptr) break;
    std::sscanf(line, "%f %f %f", &x, &y, &z);
    pointTable.records[index].x = x;
    pointTable.records[index].y = y;
    pointTable.records[index].z = z;
    ++index;
  }
  std::fclose(f);
}

// Times one loader over the bench file of lines points.
void RunLoad(benchmark::State& state, void (*load)(const char*), const char* label) {
  std::string name = EnsureBenchFile(state.range(0));
  int64_t bytes = FileBytes(name);
  double best = 1e30;
  for (auto _ : state) {
    ResetAppState();
    auto start = std::chrono::steady_clock::now();
    load(name.c_str());
    auto stop = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(pointTable.records);
    double seconds = std::chrono::duration<double>(stop - start).count();
    state.SetIterationTime(seconds);
    if (seconds < best) best = seconds;
    ReleasePointTable();
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  secondsPerLoad[std::string(label) + "/" + std::to_string(state.range(0))] = best;
}

// The loader of the viewer.
void BM_LoadPointFile(benchmark::State& state) { RunLoad(state, LoadPointFile, "loader"); }

// The straightforward loader.
void BM_Baseline(benchmark::State& state) { RunLoad(state, BaselineLoad, "baseline"); }

BENCHMARK(BM_Baseline)->Arg(1000000)->Arg(10000000)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_LoadPointFile)->Arg(1000000)->Arg(10000000)->UseManualTime()
    ->Unit(benchmark::kMillisecond)->Iterations(10);

// Peak resident memory (KiB) a child process adds over its parent while loading name.
long ChildPeakKiB(void (*load)(const char*), const std::string& name) {
  struct rusage self;
  getrusage(RUSAGE_SELF, &self);
  pid_t child = fork();
  if (child == 0) {
    load(name.c_str());
    _exit(pointTable.count > 0 ? 0 : 1);
  }
  int status = 0;
  struct rusage usage;
  if (child < 0 || wait4(child, &status, 0, &usage) < 0) return -1;
  return usage.ru_maxrss - self.ru_maxrss;
}

}  // namespace

// Runs the benchmarks, then prints the speed ratios and the peak memory of each loader.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::string big = EnsureBenchFile(10000000);
  EnsureBenchFile(1000000);
  long loaderPeak = ChildPeakKiB(LoadPointFile, big);
  long baselinePeak = ChildPeakKiB(BaselineLoad, big);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const char* points : {"1000000", "10000000"}) {
    auto loader = secondsPerLoad.find(std::string("loader/") + points);
    auto baseline = secondsPerLoad.find(std::string("baseline/") + points);
    if (loader == secondsPerLoad.end() || baseline == secondsPerLoad.end()) continue;
    std::printf("%s points: loader %.1f ms, baseline %.1f ms, speed-up %.1fx\n", points,
                loader->second * 1e3, baseline->second * 1e3, baseline->second / loader->second);
  }
  std::printf("peak memory over the parent, 10000000 points (table %.1f MiB): loader %.1f MiB, "
              "baseline %.1f MiB\n",
              10000000.0 * sizeof(PointRecord) / 1048576.0, loaderPeak / 1024.0,
              baselinePeak / 1024.0);
  return 0;
}
