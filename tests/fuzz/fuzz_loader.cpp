// libFuzzer target: any bytes, written to a real file and read as the viewer reads it. Every
// record must be, bit for bit, what the general scan makes of the pieces a 255-byte
// text-mode line reader would deliver for the lines a line feed ends: through the reading
// pass alone, with small read buffers, with the plain-line scan and without it (the second
// time only up to a limit short of the file's end); and through the whole loader with the
// reading pass cut into 1, 2 and 7 stretches, once as the file is and once cut in half
// between the two passes, which must be reported when it loses line feeds, keeping only
// the whole lines read. With FUZZ_RUN=reader, the reading pass alone: the loader's 1 MiB
// buffer costs a sanitised build most of its time, so that run tries many more inputs.
#include "records/texts.h"
#include "tests/fake/fake_platform.h"
#include "tests/fuzz/line_reader_model.h"
#include "pointdata/point_file.h"
#include "pointdata/point_number.h"
#include "pointdata/point_reader.h"
#include "pointdata/point_records.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static const std::string fileName = "/tmp/fuzz-loader-" + std::to_string(getpid()) + ".txt";
static const uint8_t* fuzzData = nullptr;  // the fuzz input
static size_t fuzzSize = 0;

// Writes the fuzz input to the fuzz file; returns it open for reading, at its start.
static FILE* WriteFuzzFile() {
  FILE* f = std::fopen(fileName.c_str(), "w+b");
  if (f == nullptr || std::fwrite(fuzzData, 1, fuzzSize, f) != fuzzSize || std::fflush(f) != 0) abort();
  return f;
}

// Removes the fuzz file when the run ends.
static void RemoveFuzzFile() { std::remove(fileName.c_str()); }

// Aborts unless the count records at got are the expected ones.
static void CheckRecords(const PointRecord* got, int32_t count, const Records& expected) {
  if (count != (int32_t)expected.size() ||
      (count > 0 && std::memcmp(got, expected.data(), count * sizeof(PointRecord)) != 0)) abort();
}

// Reads the open fuzz file's pieces, up to its first limit bytes, as one stretch through a
// read buffer of bufferSize bytes; checks them.
static void ReadAndCheck(FILE* file, size_t limit, size_t bufferSize, bool plainLines, const Records& expected) {
  std::vector<char> buffer(bufferSize);
  Records records(expected.size() + 1);
  PointStretch stretch;
  stretch.size = limit;
  stretch.records = records.data();
  stretch.count = (int64_t)records.size();
  ReadPointStretch(file, buffer.data(), bufferSize, plainLines, &stretch);
  CheckRecords(records.data(), stretch.failed ? -1 : (int32_t)stretch.stored, expected);
}

// Cuts the fuzz file to half its size.
static void CutFileInHalf(FILE*) { if (truncate(fileName.c_str(), (off_t)(fuzzSize / 2)) != 0) abort(); }

// Loads the fuzz file in 1, 2 and 7 stretches with the seam between its passes given (it
// stays set: only the loader calls it) and checks the table and the message box shown
// (nullptr: none).
static void LoadAndCheck(const Records& expected, const char* message, void (*between)(FILE*)) {
  for (int threads : {1, 2, 7}) {
    std::fclose(WriteFuzzFile());
    ResetFakePlatform();
    betweenPointPasses = between;
    LoadPointFileThreads(fileName.c_str(), threads);
    CheckRecords(pointTable.records, pointTable.count, expected);
    if (loadedFileInfo.vertexCounter != (float)pointTable.count) abort();
    std::vector<std::string> boxes = FakeBoxes();
    if (boxes.size() != (message ? 1u : 0u) || (message && boxes[0].find(message) == std::string::npos)) abort();
    ReleasePointTable();
  }
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::atexit(RemoveFuzzFile);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzData = data;
  fuzzSize = size;
  FILE* f = WriteFuzzFile();
  ReadAndCheck(f, SIZE_MAX, POINT_READ_BUFFER_MIN, true, ExpectedRecords(data, size, SIZE_MAX));
  const size_t part = size - size / 3;
  ReadAndCheck(f, part, POINT_READ_BUFFER_MIN + 77, false, ExpectedRecords(data, part, SIZE_MAX));
  std::fclose(f);
  if (const char* run = std::getenv("FUZZ_RUN"); run != nullptr && !std::strcmp(run, "reader")) return 0;
  // The table holds a record for each line feed counted (there are at least as many pieces);
  // cut in half, the file is reported when it has fewer line feeds, keeping the records of
  // its whole lines (a line cut by half makes none).
  size_t lines = std::count(data, std::find(data, data + size, 0x1A), '\n');
  LoadAndCheck(ExpectedRecords(data, size, lines), nullptr, nullptr);
  const uint8_t* halfEnd = std::find(data, data + size / 2, 0x1A);
  LoadAndCheck(ExpectedRecords(data, size / 2, lines),
               (size_t)std::count(data, halfEnd, '\n') < lines ? MSG_POINT_FILE_INCOMPLETE : nullptr, CutFileInHalf);
  return 0;
}
