// The point file loader: number grammar, pieces, text-mode rules, and the
// files it must refuse or cannot read to the end.
#include "tests/fake/fake_platform.h"
#include "pointdata/point_file.h"
#include "pointdata/point_memory.h"
#include "pointdata/point_number.h"
#include "pointdata/point_records.h"
#include "pointdata/point_threads.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

// Writes bytes to the file at path, or appends them.
void WriteFile(const std::string& path, const std::string& bytes, std::ios::openmode mode = std::ios::trunc) {
  std::ofstream(path, std::ios::binary | mode) << bytes;
}

uint32_t Bits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// What a load left, as the tables write it: the records' values in their shortest exact text,
// records joined by ", ", then " | " and each box shown.
std::string Loaded() {
  std::string text;
  for (int32_t i = 0; pointTable.records != nullptr && i < 3 * pointTable.count; i++) {
    char value[24];
    std::snprintf(value, sizeof value, "%.9g", (&pointTable.records[0].x)[i]);
    text += (i == 0 ? "" : i % 3 == 0 ? ", " : " ") + std::string(value);
  }
  for (const std::string& box : FakeBoxes()) text += " | " + box;
  return text;
}

// A token, the bytes the grammar takes of it (-1: no number, nothing written) and the bits.
TEST(LoaderGrammar, NumberTable) {
  const std::string zeros(2000, '0');
  const struct {
    std::string text;
    int consumed;
    uint32_t bits;
  } cases[] = {
      {"0", 1, 0x00000000}, {"-0", 2, 0x80000000}, {"+5", 2, 0x40a00000}, {"-2.25", 5, 0xc0100000},
      {".5", 2, 0x3f000000}, {"5.", 2, 0x40a00000}, {"+.5x", 3, 0x3f000000}, {".", -1, 0}, {"-.", -1, 0},
      {"+", -1, 0}, {"-e5", -1, 0}, {".e5", -1, 0}, {"3e1", 3, 0x41f00000}, {"1E+2", 4, 0x42c80000},
      {"1e5x", 3, 0x47c35000}, {"1e", 2, 0x3f800000}, {"1e+", 3, 0x3f800000}, {"1E- 2", 3, 0x3f800000},
      {"1d5", 1, 0x3f800000}, {"1.e1", 4, 0x41200000}, {"1.2.3", 3, 0x3f99999a}, {"0x1A", 1, 0x00000000},
      {"-0x5", 2, 0x80000000}, {"inf", -1, 0}, {"-infinity", -1, 0}, {"nan", -1, 0}, {"0.1", 3, 0x3dcccccd},
      {"1e10", 4, 0x501502f9}, {"1e11", 4, 0x51ba43b7}, {"123456789", 9, 0x4ceb79a3},
      {"16777217", 8, 0x4b800000}, {"16777219", 8, 0x4b800002}, {"3.4028235e38", 12, 0x7f7fffff},
      {"3.40282357e38", 13, 0x7f800000}, {"1e39", 4, 0x7f800000}, {"-1e39", 5, 0xff800000},
      {"1e99999999999999999999", 22, 0x7f800000}, {"1.17549435e-38", 14, 0x00800000},
      {"1e-40", 5, 0x000116c2}, {"1.4e-45", 7, 0x00000001}, {"8e-46", 5, 0x00000001}, {"7e-46", 5, 0x00000000},
      {"-1e-50", 6, 0x80000000}, {"1e-99999999999999999999", 23, 0x00000000}, {"0e99999", 7, 0x00000000},
      {"1.000000059604644775390625", 26, 0x3f800000},   // exactly halfway: to even
      {"1.0000000596046447753906251", 27, 0x3f800001},  // just above halfway
      {"1.000000178813934326171875", 26, 0x3f800002},   // halfway: to even (upwards)
      {"1.000000178813934326171874", 26, 0x3f800001},   // just below halfway
      {"9.56444787979126", 16, 0x411907fb},             // its double is a float halfway
      {"0.000000000000000000000000000000000000000000000001e+42", 54, 0x358637bd},
      {"1000000000000000000000000000000000000000000000000e-54", 53, 0x358637bd},
      {"0000000000000000000000000000123.5", 33, 0x42f70000}, {"0." + zeros + "1e+2001", 2009, 0x3f800000},
      {"1.000000059604644775390625" + zeros + "1", 2027, 0x3f800001},
      {"1.000000059604644775390625" + zeros, 2026, 0x3f800000},
  };
  for (const auto& c : cases) {
    float value = 12345.0f;
    const char* end = ScanNumber(c.text.c_str(), c.text.c_str() + c.text.size(), &value);
    EXPECT_EQ(c.consumed, end == nullptr ? -1 : end - c.text.c_str()) << c.text.substr(0, 40);
    EXPECT_EQ(c.consumed < 0 ? Bits(12345.0f) : c.bits, Bits(value)) << c.text.substr(0, 40);
  }
}

// The table's byte size, also where a 32-bit size_t cannot hold it.
TEST(LoaderTable, SizeGuard) {
  const bool wide = sizeof(size_t) > 4;
  const struct {
    int64_t count;
    bool fits;
    uint64_t bytes;
  } cases[] = {{0, true, 0}, {5, true, 60}, {-1, false, 0}, {INT64_MIN, false, 0}, {200000000, true, 2400000000u},
               {357913941, true, 4294967292u}, {357913942, wide, 4294967304u}, {INT32_MAX, wide, 25769803764u}};
  for (const auto& c : cases) {
    size_t bytes = 0;
    EXPECT_EQ(c.fits, PointTableBytes(c.count, &bytes)) << c.count;
    EXPECT_EQ(c.fits ? c.bytes : 0, c.fits ? bytes : 0) << c.count;
  }
}

#if !defined(_WIN32)
// Writes the files (path, text) below a fresh folder of the test's own, and returns the folder.
std::string KernelFiles(const std::vector<std::pair<std::string, std::string>>& files) {
  const std::string root = std::filesystem::absolute("loader_test_memory").string();
  std::filesystem::remove_all(root);
  for (const auto& [path, text] : files) {
    std::filesystem::create_directories(std::filesystem::path(root + path).parent_path());
    WriteFile(root + path, text);
  }
  return root;
}

// The kernel's files a process reads for its memory (made below a folder of the test's own),
// and the bytes it can still get: under each control group's limit, less what it uses but
// cannot reclaim, and the system's available memory and free swap.
TEST(LoaderTable, MemoryRoom) {
  const std::string v2 = "/sys/fs/cgroup/box", v1 = "/sys/fs/cgroup/memory/box",
                    meminfo = "MemTotal: 8000000 kB\nMemAvailable: 4000000 kB\nSwapFree: 96000 kB\n";
  const std::pair<std::string, std::string> system = {"/proc/meminfo", meminfo};
  const struct {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files;
    uint64_t room;
  } cases[] = {
      {"no files", {}, UINT64_MAX},
      {"memory and swap", {system}, 4194304000u},
      // The file cache less its dirty pages and those under writeback, active or not, is room; so
      // is the swap the group may still use.
      {"v2 limit above", {system, {"/proc/self/cgroup", "0::/box/viewer\n"}, {v2 + "/memory.max", "419430400\n"},
                          {v2 + "/memory.current", "104857600\n"},
                          {v2 + "/memory.stat", "anon 1\nfile 14857600\nfile_dirty 4000000\nfile_writeback 857600\n"},
                          {v2 + "/memory.swap.max", "50000000\n"}, {v2 + "/memory.swap.current", "10000000\n"},
                          {v2 + "/viewer/memory.max", "max\n"}, {v2 + "/viewer/memory.current", "9\n"}}, 364572800u},
      {"v1 limit, memory and swap together",
       {system, {"/proc/self/cgroup", "5:cpu,cpuacct:/\n4:memory:/box\n0::/\n"},
        {v1 + "/memory.limit_in_bytes", "419430400\n"}, {v1 + "/memory.usage_in_bytes", "20000000\n"},
        {v1 + "/memory.stat", "cache 5\ntotal_cache 10000000\ntotal_dirty 1000000\ntotal_writeback 0\n"},
        {v1 + "/memory.memsw.limit_in_bytes", "450000000\n"}, {v1 + "/memory.memsw.usage_in_bytes", "30000000\n"},
        {"/sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n"}}, 429000000u},
      {"memory below the limit", {{"/proc/meminfo", "MemAvailable: 100000 kB\n"}, {"/proc/self/cgroup", "0::/box\n"},
                                  {v2 + "/memory.max", "419430400\n"}}, 102400000u},
      {"usage above the limit: the system's swap", {system, {"/proc/self/cgroup", "0::/box\n"},
                                                     {v2 + "/memory.max", "1000\n"}, {v2 + "/memory.current", "5000\n"}},
       98304000u},
  };
  for (const auto& c : cases) EXPECT_EQ(c.room, AvailableMemoryBytes(KernelFiles(c.files))) << c.what;
  std::filesystem::remove_all("loader_test_memory");
}

// The room a table needs reaches the user: a three-point table (36 bytes) needs itself, 16 MiB
// for the loader, and to be drawn 256 MiB and 128 bytes a point more (272 MiB and 420 bytes in
// all), or the load is refused with the box.
TEST(LoaderTable, RefusedForMemory) {
  WriteFile("loader_test_points.txt", "1 2 3\n4 5 6\n7 8 9\n");
  const struct {
    const char* meminfo;
    std::string loaded;
  } cases[] = {
      {"MemAvailable: 278528 kB\n", " | Not enough memory to load the point file., SHUTDOWN ERROR, 0x40"},
      {"MemAvailable: 278528 kB\nSwapFree: 1 kB\n", "1 2 3, 4 5 6, 7 8 9"},
  };
  for (const auto& c : cases) {
    pointMemoryRoot = KernelFiles({{"/proc/meminfo", c.meminfo}});
    ResetFakePlatform();
    LoadPointFile("loader_test_points.txt");
    EXPECT_EQ(c.loaded, Loaded()) << c.meminfo;
    ReleasePointTable();
  }
  pointMemoryRoot.clear();
  std::filesystem::remove_all("loader_test_memory");
  std::remove("loader_test_points.txt");
}
#endif

std::string Padded(const std::string& text, size_t width) { return text + std::string(width - text.size(), ' '); }

// The file the loader reads, in the working folder, and what a change writes into it.
const char* const kLoaded = "loader_test.txt";
void Write(const std::string& bytes, std::ios::openmode mode = std::ios::trunc) { WriteFile(kLoaded, bytes, mode); }

// Cuts the file to its first n bytes through a second handle, as another program would.
void CutTo(uintmax_t n) {
  std::error_code error;
  std::filesystem::resize_file(kLoaded, n, error);
  EXPECT_FALSE(error) << error.message();
}

// The changes a row makes, each once, at its moment of the load.
struct Change {
  PointLoadMoment moment;
  void (*apply)();
};
std::vector<Change> changesLeft;
void ChangeAtMoment(PointLoadMoment moment) {
  if (!changesLeft.empty() && changesLeft.front().moment == moment) {
    changesLeft.front().apply();
    changesLeft.erase(changesLeft.begin());
  }
}

// How the loader reads in a run of the table: threads, in place or by reads, threads or their
// buffers refused.
struct LoadWay {
  const char* what;
  PointLoadOptions options;
  bool threadsRefused, buffersRefused;
};

// A file's bytes (or another name), what changes it while it loads, and what the loader must
// leave: the records, then the box the user gets. A file that changed is read as it is in the
// end, never as a mix of what it was and what it became; it has the box.
TEST(LoaderFile, LoadTable) {
  const std::string three = "1 2 3\n4\n7 8 9\n", fourCrLf = "1 2 3\r\n4 5 6\r\n7 8 9\r\n10 11 12\r\n",
                    signs = "10 20 30\n-40 50 60\n70 80 90\n";
  const std::string cannotOpen = " | couldn't open file, SHUTDOWN ERROR, 0x40",
                    changed = " | The point file changed or could not be read while it was loading. Only "
                              "the points read are shown., SHUTDOWN ERROR, 0x40";
  const struct {
    const char* what;
    std::string content;
    std::string loaded;
    std::vector<Change> changes = {};
    std::string name = "";
  } cases[] = {
      {"example", "0 0 1\n0.5 -2.25 3e1\n", "0 0 1, 0.5 -2.25 30"},
      {"empty", "", ""},
      {"no final line feed", "1 2 3\n4 5 6", "1 2 3"},
      {"lone CR is no line end", "1 2 3\r4 5 6\n", "1 2 3"},
      {"signs run together, any white space", "-1-2+3\n \t1\v2\f3\r\n", "-1 -2 3, 1 2 3"},
      {"commas", "7 8 9\n1,2,3\n", "7 8 9, 1 8 9"},
      {"text first", "abc\n1 2 3\n", "0 0 0, 1 2 3"},
      {"Ctrl-Z ends counting", "1 2 3\n4 5 6\x1a\n7 8 9\n", "1 2 3"},
      {"NUL ends the scan", std::string("1 2\0003\n", 7), "1 2 0"},
      {"253 then LF", Padded("1 2 3", 253) + "\n4 5 6\n", "1 2 3, 4 5 6"},
      {"254 then LF", Padded("1 2 3", 254) + "\n4 5 6\n", "1 2 3, 1 2 3"},
      {"255 then LF", Padded("1 2 3", 254) + "9\n4 5 6\n", "1 2 3, 9 2 3"},
      {"254 then CR LF", Padded("1 2 3", 254) + "\r\n4 5 6\r\n", "1 2 3, 1 2 3"},
      {"253 then lone CR", Padded("1 2 3", 253) + "\r7\n\n", "1 2 3, 7 2 3"},
      {"number cut by the piece", std::string(250, ' ') + "12345678\n\n", "1234 0 0, 5678 0 0"},
      {"borders", "1 2 3\n\n4\r\n" + Padded("5 6", 300) + "\n\n7\n\x1a" "8 9\n",
       "1 2 3, 1 2 3, 4 2 3, 5 6 3, 5 6 3, 5 6 3"},
      {"missing", "", cannotOpen, {}, "loader_test_missing_dir/none.txt"},
#if defined(_WIN32)
      {"device", "", cannotOpen, {}, "NUL"},
#else
      {"device", "", cannotOpen, {}, "/dev/zero"},
      {"size 0, yet it reads", "", "", {}, "/proc/version"},
#endif
      // Changes, each through a second handle while the loader holds the file.
      {"cut while counted", three, changed, {{POINT_WHILE_COUNTING, [] { CutTo(0); }}}},
      {"cut inside a line between the passes", three, "1 2 3, 4 2 3" + changed,
       {{POINT_WHILE_READING, [] { CutTo(10); }}}},
      {"cut inside CR LF while read", fourCrLf, "1 2 3, 4 5 6, 7 8 9" + changed,
       {{POINT_WHILE_READING, [] { CutTo(30); }}}},
      {"a byte of the first line deleted", signs, "1 20 30, -40 50 60, 70 80 90" + changed,
       {{POINT_WHILE_READING, [] { Write("1 20 30\n-40 50 60\n70 80 90\n"); }}}},
      {"bytes inserted while counted", signs, "10 20 30, -4 50 60, 70 80 90, 3 2 1" + changed,
       {{POINT_WHILE_COUNTING, [] { Write("10 20 30\n-4 50 60\n70 80 90\n3 2 1\n"); }}}},
      {"a line inserted", signs, "10 20 30, 5 5 5, -40 50 60, 70 80 90" + changed,
       {{POINT_WHILE_READING, [] { Write("10 20 30\n5 5 5\n-40 50 60\n70 80 90\n"); }}}},
      {"grows", three, "1 2 3, 4 2 3, 7 8 9, 9 9 9" + changed,
       {{POINT_WHILE_READING, [] { Write("9 9 9\n", std::ios::app); }}}},
      // Read again, it changes once more: only what was read before it did is kept.
      {"cut while read again", three, changed,
       {{POINT_WHILE_READING, [] { Write("9 9 9\n", std::ios::app); }}, {POINT_WHILE_REREADING, [] { CutTo(3); }}}},
  };
  // On 2 and 7 threads the stretches' borders fall after nearly every line of these files:
  // in carried values, long lines, CR LF pairs, before a Ctrl-Z.
  const LoadWay ways[] = {{"1 thread", {1, true}, false, false},
                          {"2 threads", {2, true}, false, false},
                          {"7 threads", {7, true}, false, false},
                          {"7 threads by reads", {7, false}, false, false},
                          {"7 threads refused", {7, true}, true, false},
                          {"7 threads by reads, buffers refused", {7, false}, false, true}};
  for (const LoadWay& way : ways) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.what) + ", " + way.what);
      ResetFakePlatform();
      Write(c.content);
      changesLeft = c.changes;
      pointLoadHook = ChangeAtMoment;
      pointThreadsRefused = way.threadsRefused;
      pointBuffersRefused = way.buffersRefused;
      const std::string name = c.name.empty() ? kLoaded : c.name;
      LoadPointFileWith(name.c_str(), way.options);
      pointLoadHook = nullptr;
      pointThreadsRefused = pointBuffersRefused = false;
      EXPECT_TRUE(changesLeft.empty()) << "every change made";
      EXPECT_EQ(loadedFileInfo.fileName, name.c_str());
      EXPECT_EQ(c.loaded, Loaded());
      EXPECT_EQ((float)pointTable.count, loadedFileInfo.vertexCounter);
      ReleasePointTable();
    }
  }
  std::remove(kLoaded);
}

// Stretches of "1 2 3\n4 5 6\n7 8 9\n" read on their own, in place and by reads: one that does
// not start right after a line feed, holds other line feeds or pieces than counted, or cannot
// be read to its end (by reads: in place a stretch never reaches beyond the mapping) is not as it
// was counted.
TEST(LoaderFile, StretchChecks) {
  Write("1 2 3\n4 5 6\n7 8 9\n");
  const struct {
    const char* what;
    uint64_t offset, size;
    int64_t count;
    uint64_t lines;
    bool intact;
  } cases[] = {
      {"the whole file", 0, 18, 3, 3, true},         {"from the second line", 6, 12, 2, 2, true},
      {"from inside a line", 7, 11, 2, 2, false},     {"beyond the file's end", 6, 20, 2, 2, false},
      {"fewer line feeds than counted", 6, 12, 2, 3, false}, {"fewer pieces than counted", 6, 12, 3, 3, false},
  };
  PointSource source;
  ASSERT_TRUE(OpenPointSource(kLoaded, &source));
  MapPointSource(&source);
  for (bool inPlace : {true, false}) {
    for (const auto& c : cases) {
      if (inPlace && c.offset + c.size > 18) continue;
      PointRecord records[3];
      PointStretch stretch{c.offset, c.size, records, c.count, c.lines};
      char buffer[POINT_READ_BUFFER_MIN];
      ReadPointStretch(source, inPlace, buffer, sizeof buffer, true, nullptr, &stretch);
      EXPECT_EQ(c.intact, stretch.intact) << c.what << (inPlace ? ", in place" : ", by reads");
    }
  }
  ClosePointSource(&source);
  std::remove(kLoaded);
}

// The threads a file is read on: one a core, each with at least 4 MiB, 64 at most, at least one.
TEST(LoaderFile, ThreadCount) {
  const uint64_t MiB = 1 << 20;
  const struct {
    uint64_t size;
    unsigned cores;
    int threads;
  } cases[] = {{0, 8, 1}, {8 * MiB - 1, 8, 1}, {8 * MiB, 8, 2}, {8 * MiB, 1, 1}, {40 * MiB, 8, 8},
               {40 * MiB, 0, 1}, {1024 * MiB, 200, 64}};
  for (const auto& c : cases) EXPECT_EQ(c.threads, PointThreadCount(c.size, c.cores)) << c.size << " bytes, " << c.cores;
}

}  // namespace
