// The point file loader: number grammar, pieces, text-mode rules, and the
// files it must refuse or cannot read to the end.
#include "tests/fake/fake_platform.h"
#include "pointdata/point_file.h"
#include "pointdata/point_memory.h"
#include "pointdata/point_number.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

uint32_t Bits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Values as the tables write them: shortest exact text, records joined by ", ".
std::string Text(const float* values, size_t n) {
  std::string text;
  for (size_t i = 0; i < n; i++) {
    char value[24];
    std::snprintf(value, sizeof value, "%.9g", values[i]);
    text += (i == 0 ? "" : i % 3 == 0 ? ", " : " ") + std::string(value);
  }
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

// A piece: the fields it supplies and the values over 7 8 9.
TEST(LoaderGrammar, PieceTable) {
  const struct {
    const char* text;
    int written;
    const char* xyz;
  } cases[] = {
      {"  1\t2\v3\f\r\n", 3, "1 2 3"}, {"1e 2 3", 3, "1 2 3"}, {"1 x 3", 1, "1 8 9"}, {"1 2 inf", 2, "1 2 9"},
      {"0x10 2 3", 1, "0 8 9"}, {"1.5.5 6", 3, "1.5 0.5 6"}, {"-1-2+3", 3, "-1 -2 3"}, {"", 0, "7 8 9"},
      {"1 2 3 4 5", 3, "1 2 3"},
  };
  for (const auto& c : cases) {
    float xyz[3] = {7, 8, 9};
    const char* stop = nullptr;
    EXPECT_EQ(c.written, ScanPiece(c.text, c.text + std::strlen(c.text), xyz, &stop)) << c.text;
    EXPECT_EQ(c.xyz, Text(xyz, 3)) << c.text;
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
      {"memory and swap", {system}, 4194304000u},
      {"v2 limit above", {system, {"/proc/self/cgroup", "0::/box/viewer\n"}, {v2 + "/memory.max", "419430400\n"},
                          {v2 + "/memory.current", "104857600\n"}, {v2 + "/memory.stat", "anon 1\ninactive_file 4857600\n"},
                          {v2 + "/viewer/memory.max", "max\n"}, {v2 + "/viewer/memory.current", "9\n"}}, 319430400u},
      {"v1 limit", {system, {"/proc/self/cgroup", "5:cpu,cpuacct:/\n4:memory:/box\n0::/\n"},
                    {v1 + "/memory.limit_in_bytes", "419430400\n"}, {v1 + "/memory.usage_in_bytes", "20000000\n"},
                    {v1 + "/memory.stat", "inactive_file 5\ntotal_inactive_file 10000000\n"},
                    {"/sys/fs/cgroup/memory/memory.limit_in_bytes", "9223372036854771712\n"}}, 409430400u},
      {"memory below the limit", {{"/proc/meminfo", "MemAvailable: 100000 kB\n"}, {"/proc/self/cgroup", "0::/box\n"},
                                  {v2 + "/memory.max", "419430400\n"}}, 102400000u},
  };
  for (const auto& c : cases) {
    const std::string root = std::filesystem::absolute("loader_test_memory").string();
    std::filesystem::remove_all(root);
    for (const auto& [path, text] : c.files) {
      std::filesystem::create_directories(std::filesystem::path(root + path).parent_path());
      FILE* f = std::fopen((root + path).c_str(), "wb");
      std::fputs(text.c_str(), f);
      std::fclose(f);
    }
    EXPECT_EQ(c.room, AvailableMemoryBytes(root)) << c.what;
    std::filesystem::remove_all(root);
  }
}
#endif

std::string Padded(const std::string& text, size_t width) { return text + std::string(width - text.size(), ' '); }

// The file the seam changes between the two passes.
const char* const kChanged = "loader_test.txt";

// Cuts the file to its first n bytes, or writes to its end, through a second handle, as
// another program would.
void Truncate(FILE*, long n) {
  FILE* f = std::fopen(kChanged, "r+b");
#if defined(_WIN32)
  EXPECT_EQ(0, _chsize(_fileno(f), n));
#else
  EXPECT_EQ(0, ftruncate(fileno(f), n));
#endif
  std::fclose(f);
}
void Append(FILE*) {
  FILE* f = std::fopen(kChanged, "ab");
  std::fputs("9 9 9\n", f);
  std::fclose(f);
}
// Rewrites the file as one line of its size, as another program would.
void RewriteAsOneLine(FILE*) {
  FILE* f = std::fopen(kChanged, "wb");
  std::fputs(Padded("7", 602).c_str(), f);
  std::fputs("\n", f);
  std::fclose(f);
}

#if !defined(_WIN32)
// Puts the read end of a new pipe, or a directory, in place of the loader's file.
void ReplaceLoaderFile(FILE* file, bool withPipe) {
  int fds[2] = {-1, -1};
  int replacement = withPipe && pipe(fds) == 0 ? fds[0] : open(".", O_RDONLY);
  dup2(replacement, fileno(file));
  close(replacement);
  close(fds[1]);
}
#endif

// A file's bytes (or another name), what changes it between the passes, and what the loader
// must leave: the records read, never more, then the box the user gets.
TEST(LoaderFile, LoadTable) {
  const std::string three = "1 2 3\n4\n7 8 9\n", four = "1 2 3\n4 5 6\n7 8 9\n10 11 12\n",
                    fourCrLf = "1 2 3\r\n4 5 6\r\n7 8 9\r\n10 11 12\r\n", firstThree = "1 2 3, 4 5 6, 7 8 9";
  const std::string cannotOpen = " | couldn't open file, SHUTDOWN ERROR, 0x40",
                    incomplete = " | The point file changed or could not be read while it was loading. Only "
                                 "the points read are shown., SHUTDOWN ERROR, 0x40";
  const struct {
    const char* what;
    std::string content;
    std::string loaded;
    void (*between)(FILE* file) = nullptr;
    std::string name = "";
  } cases[] = {
      {"example", "0 0 1\n0.5 -2.25 3e1\n", "0 0 1, 0.5 -2.25 30"},
      {"empty", "", ""},
      {"no final line feed", "1 2 3\n4 5 6", "1 2 3"},
      {"blank line repeats", "1 2 3\n\n4 5 6\n", "1 2 3, 1 2 3, 4 5 6"},
      {"CR LF", "1 2 3\r\n\r\n4 5 6\r\n", "1 2 3, 1 2 3, 4 5 6"},
      {"lone CR is no line end", "1 2 3\r4 5 6\n", "1 2 3"},
      {"lone CR is white space", "1\r2\r3\n", "1 2 3"},
      {"commas", "7 8 9\n1,2,3\n", "7 8 9, 1 8 9"},
      {"first line missing values", "5\n", "5 0 0"},
      {"text first", "abc\n1 2 3\n", "0 0 0, 1 2 3"},
      {"Ctrl-Z ends counting", "1 2 3\n4 5 6\x1a\n7 8 9\n", "1 2 3"},
      {"Ctrl-Z mid-line", "1 2\x1a 3\n4 5 6\n", ""},
      {"NUL ends the scan", std::string("1 2\0003\n", 7), "1 2 0"},
      {"253 then LF", Padded("1 2 3", 253) + "\n4 5 6\n", "1 2 3, 4 5 6"},
      {"254 then LF", Padded("1 2 3", 254) + "\n4 5 6\n", "1 2 3, 1 2 3"},
      {"255 then LF", Padded("1 2 3", 254) + "9\n4 5 6\n", "1 2 3, 9 2 3"},
      {"254 then CR LF", Padded("1 2 3", 254) + "\r\n4 5 6\r\n", "1 2 3, 1 2 3"},
      {"253 then lone CR", Padded("1 2 3", 253) + "\r7\n\n", "1 2 3, 7 2 3"},
      {"number cut by the piece", std::string(250, ' ') + "12345678\n\n", "1234 0 0, 5678 0 0"},
      {"long line spills over", Padded("1", 600) + "\n2\n3\n", "1 0 0, 1 0 0, 1 0 0"},
      {"borders", "1 2 3\n\n4\r\n" + Padded("5 6", 300) + "\n\n7\n\x1a" "8 9\n",
       "1 2 3, 1 2 3, 4 2 3, 5 6 3, 5 6 3, 5 6 3"},
      {"missing", "", cannotOpen, nullptr, "loader_test_missing_dir/none.txt"},
      {"directory", "", cannotOpen, nullptr, "."},
      {"shrinks to two lines", three, "1 2 3, 4 2 3" + incomplete, [](FILE* f) { Truncate(f, 8); }},
      {"shrinks to nothing", three, incomplete, [](FILE* f) { Truncate(f, 0); }},
      {"grows", three, "1 2 3, 4 2 3, 7 8 9", Append},
      {"cut at the last line's start", four, firstThree + incomplete, [](FILE* f) { Truncate(f, 18); }},
      {"cut inside the last line", four, firstThree + incomplete, [](FILE* f) { Truncate(f, 19); }},
      {"cut before the last line feed", four, firstThree + incomplete, [](FILE* f) { Truncate(f, 26); }},
      {"cut inside CR LF", fourCrLf, firstThree + incomplete, [](FILE* f) { Truncate(f, 30); }},
      {"fewer line feeds, its pieces fill", std::string(600, ' ') + "\n\n\n", "7 0 0, 7 0 0, 7 0 0" + incomplete,
       RewriteAsOneLine},
#if defined(_WIN32)
      {"device", "", cannotOpen, nullptr, "NUL"},
#else
      {"device", "", cannotOpen, nullptr, "/dev/zero"},
      {"a pipe in its place", three, incomplete, [](FILE* f) { ReplaceLoaderFile(f, true); }},
      {"size 0, yet it reads", "", "", nullptr, "/proc/version"},
      {"a directory in its place", three, incomplete, [](FILE* f) { ReplaceLoaderFile(f, false); }},
#endif
  };
  // On 2 and 7 threads the stretches' borders fall after nearly every line of these files:
  // in carried values, long lines, CR LF pairs, before a Ctrl-Z.
  for (int threads : {1, 2, 7}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.what) + " on " + std::to_string(threads) + " threads");
      ResetFakePlatform();
      FILE* f = std::fopen(kChanged, "wb");
      std::fwrite(c.content.data(), 1, c.content.size(), f);
      std::fclose(f);
      std::string name = c.name.empty() ? kChanged : c.name;
      betweenPointPasses = c.between;
      LoadPointFileThreads(name.c_str(), threads);
      betweenPointPasses = nullptr;
      EXPECT_EQ(loadedFileInfo.fileName, name.c_str());
      std::string loaded = pointTable.records ? Text(&pointTable.records[0].x, 3 * (size_t)pointTable.count) : "";
      for (const std::string& box : FakeBoxes()) loaded += " | " + box;
      EXPECT_EQ(c.loaded, loaded);
      EXPECT_EQ((float)pointTable.count, loadedFileInfo.vertexCounter);
      EXPECT_TRUE(pointTable.records != nullptr || !FakeBoxes().empty()) << "even no records make a block";
      ReleasePointTable();
    }
  }
  std::remove(kChanged);
}

}  // namespace
