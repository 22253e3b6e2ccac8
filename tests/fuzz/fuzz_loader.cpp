// libFuzzer target: any bytes, written to a real file and read as the viewer reads it. Every
// record must be, bit for bit, what the general scan makes of the pieces a 255-byte
// text-mode line reader would deliver for the lines a line feed ends: through the reading
// pass alone, with small read buffers, with the plain-line scan and without it (the second
// time only up to a limit short of the file's end); and through the whole loader with both
// passes cut into 1, 2 and 7 stretches, in place in the file's mapping and by reads through
// small buffers (1 in place, 2 by reads, 7 both ways) (so that the counting pass's reads end inside lines, CR LF pairs and long
// lines). Then the file changes while it loads: cut in half, its first byte deleted, or a line
// put before it, while it is counted or read; the loader must give the records of the file as
// it is in the end, and its message. Changed once more while it is read again, it must give
// the whole lines it read before that, and no other. With FUZZ_RUN=reader, the reading pass
// alone: the loader's 1 MiB buffer costs a sanitised build most of its time, so that run tries
// many more inputs.
#include "records/texts.h"
#include "tests/fake/fake_platform.h"
#include "pointdata/point_file.h"
#include "pointdata/point_reader.h"
#include "pointdata/point_records.h"
#include "pointdata/point_threads.h"
#include "tests/fuzz/line_reader_model.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// In the working folder, the test's build folder.
static const std::string fileName = "fuzz-loader-" + std::to_string(getpid()) + ".txt";
static std::string fuzzBytes;                // the file's bytes as they are now
static std::optional<std::string> later;     // what a change writes at changeMoment, until it is made
static std::optional<std::string> again;     // what a second change writes while the file is read again
static PointLoadMoment changeMoment = POINT_WHILE_COUNTING;

// Writes bytes to the fuzz file.
static void WriteFuzzFile(const std::string& bytes) {
  FILE* f = std::fopen(fileName.c_str(), "wb");
  if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) abort();
}

// True when the count records at got are the expected ones, or with prefix their first count.
static bool SameRecords(const PointRecord* got, int32_t count, const Records& expected, bool prefix) {
  if (count < 0 || (prefix ? (size_t)count > expected.size() : (size_t)count != expected.size())) return false;
  return count == 0 || std::memcmp(got, expected.data(), count * sizeof(PointRecord)) == 0;
}

// Reads the fuzz file's pieces, up to its first limit bytes, as one stretch, in place (a stretch
// as counted: it ends before the first Ctrl-Z) or through a read buffer of bufferSize bytes;
// checks them.
static void ReadAndCheck(bool inPlace, size_t limit, size_t bufferSize, bool plainLines) {
  PointSource source;
  if (!OpenPointSource(fileName.c_str(), &source)) abort();
  if (inPlace) MapPointSource(&source);
  if (inPlace) limit = std::min(limit, fuzzBytes.find('\x1a'));
  const uint64_t size = std::min<uint64_t>(limit, source.opened.size);
  const Records expected = ExpectedRecords(reinterpret_cast<const uint8_t*>(fuzzBytes.data()), size, SIZE_MAX);
  std::vector<char> buffer(bufferSize);
  Records records(expected.size() + 1);
  PointStretch stretch{0, size, records.data(), (int64_t)records.size()};
  ReadPointStretch(source, inPlace, buffer.data(), bufferSize, plainLines, nullptr, &stretch);
  ClosePointSource(&source);
  if (stretch.failed || !SameRecords(records.data(), (int32_t)stretch.stored, expected, false)) abort();
}

// The changes: the file written anew at a moment of the load (later), and once more while it is
// read again (again).
static void ChangeFile(PointLoadMoment moment) {
  if (moment == POINT_WHILE_REREADING && again) {
    WriteFuzzFile(*again);
    again.reset();
  } else if (moment == changeMoment && later) {
    WriteFuzzFile(*later);
    fuzzBytes = *later;
    later.reset();
  }
}

// Loads the fuzz file with the changes set, and checks the table and the box shown: the records
// of the file as it is in the end (only their first ones, when it changed while read again), and
// the box when it changed. The records are those of the line feeds before the first Ctrl-Z.
static void LoadAndCheck(int threads, bool mapFile) {
  const bool changes = later.has_value();
  const bool rereadChanges = again.has_value();
  ResetFakePlatform();
  LoadPointFileWith(fileName.c_str(), PointLoadOptions{threads, mapFile, POINT_READ_BUFFER_MIN + 77});
  if (later) abort();  // the change was never made
  again.reset();
  const size_t lines = std::count(fuzzBytes.begin(), std::find(fuzzBytes.begin(), fuzzBytes.end(), '\x1a'), '\n');
  const Records expected = ExpectedRecords(reinterpret_cast<const uint8_t*>(fuzzBytes.data()), fuzzBytes.size(), lines);
  if (!SameRecords(pointTable.records, pointTable.count, expected, rereadChanges)) abort();
  if (loadedFileInfo.vertexCounter != (float)pointTable.count) abort();
  std::vector<std::string> boxes = FakeBoxes();
  if (boxes.size() != (changes ? 1u : 0u) ||
      (changes && boxes[0].find(MSG_POINT_FILE_INCOMPLETE) == std::string::npos)) abort();
  ReleasePointTable();
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  pointLoadHook = ChangeFile;
  std::atexit([] { std::remove(fileName.c_str()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  fuzzBytes = bytes;
  WriteFuzzFile(bytes);
  ReadAndCheck(true, SIZE_MAX, POINT_READ_BUFFER_MIN, true);
  ReadAndCheck(false, size - size / 3, POINT_READ_BUFFER_MIN + 77, false);
  if (const char* run = std::getenv("FUZZ_RUN"); run != nullptr && !std::strcmp(run, "reader")) return 0;
  const std::pair<int, bool> ways[] = {{1, true}, {2, false}, {7, true}, {7, false}};  // threads, in place
  for (const auto& [threads, mapFile] : ways) LoadAndCheck(threads, mapFile);
  // The changes, each on a way of loading and at a moment the input picks: cut in half, the
  // first byte deleted, a line put before it; the last changed once more while it is read again.
  // Each changes the size, so the loader can tell.
  const int pick = size > 0 ? data[0] : 0;
  const std::string laters[] = {bytes.substr(0, size / 2), bytes.substr(size > 0 ? 1 : 0), "1 2 3\n" + bytes};
  const int threads[] = {1, 2, 7};
  for (int i = 0; i < 4; ++i) {
    if (laters[i % 3] == bytes) continue;
    fuzzBytes = bytes;
    WriteFuzzFile(bytes);
    later = laters[i % 3];
    if (i == 3) again = later->substr(0, later->size() / 2);
    changeMoment = ((pick >> i) & 1) != 0 ? POINT_WHILE_COUNTING : POINT_WHILE_READING;
    const int way = (pick + i) % 6;
    LoadAndCheck(threads[way % 3], way < 3);
  }
  return 0;
}
