// libFuzzer target: any bytes, written to a real file and loaded as the viewer loads it,
// once as they are and once cut in half between the two passes. Every record must be what
// the general scan makes of the pieces a 255-byte text-mode line reader would deliver,
// and a file cut short must be reported, keeping only what was read.
#include "app/messages.h"
#include "platform/fake/fake_platform.h"
#include "pointdata/point_file.h"
#include "pointdata/point_number.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string fileName;  // the fuzz file, one per process
off_t halfSize = 0;    // half the fuzz input's size

// The records a text-mode stream and a 255-byte line reader give for the first size bytes
// of data (CR LF read as LF, the input ended at a Ctrl-Z): one a piece, as many as a table
// of limit records holds (SIZE_MAX: a table sized by these bytes' own line feeds, *lines).
std::vector<PointRecord> ExpectedRecords(const uint8_t* data, size_t size, size_t limit,
                                         size_t* lines) {
  std::string text;
  for (size_t i = 0; i < size && data[i] != 0x1A; ++i) {
    if (data[i] != '\r' || i + 1 == size || data[i + 1] != '\n') text += (char)data[i];
  }
  *lines = 0;
  for (char c : text) *lines += c == '\n';
  std::vector<PointRecord> records;
  float xyz[3] = {0.0f, 0.0f, 0.0f};
  size_t room = limit == SIZE_MAX ? *lines : limit;
  for (size_t pos = 0; pos < text.size() && records.size() < room;) {
    size_t lineFeed = text.find('\n', pos);
    size_t length = std::min(lineFeed == std::string::npos ? text.size() - pos : lineFeed - pos + 1,
                             (size_t)254);
    std::string piece = text.substr(pos, length);
    const char* stop = nullptr;
    ScanPiece(piece.c_str(), piece.c_str() + length, xyz, &stop);
    records.push_back({xyz[0], xyz[1], xyz[2]});
    pos += length;
  }
  return records;
}

// Cuts the fuzz file to half its size.
void CutFileInHalf(FILE*) {
  if (truncate(fileName.c_str(), halfSize) != 0) abort();
}

// Loads the fuzz file, the seam given, and checks the table against what was expected.
void LoadAndCheck(const std::vector<PointRecord>& expected, bool reported, void (*between)(FILE*)) {
  ResetFakePlatform();
  betweenPointPasses = between;
  LoadPointFile(fileName.c_str());
  betweenPointPasses = nullptr;
  if (pointTable.count != (int32_t)expected.size()) abort();
  if (loadedFileInfo.vertexCounter != (float)pointTable.count) abort();
  if (fakePlatform.boxes.size() != (reported ? 1u : 0u)) abort();
  if (reported && fakePlatform.boxes[0].text != MSG_POINT_FILE_INCOMPLETE) abort();
  if (!expected.empty() && std::memcmp(pointTable.records, expected.data(),
                                       expected.size() * sizeof(PointRecord)) != 0) abort();
  ReleasePointTable();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (fileName.empty()) fileName = "/tmp/fuzz-loader-" + std::to_string(getpid()) + ".txt";
  FILE* f = std::fopen(fileName.c_str(), "wb");
  if (f == nullptr || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) abort();
  size_t lines = 0, halfLines = 0;
  halfSize = (off_t)(size / 2);
  LoadAndCheck(ExpectedRecords(data, size, SIZE_MAX, &lines), false, nullptr);
  std::vector<PointRecord> half = ExpectedRecords(data, size / 2, lines, &halfLines);
  // A half file is reported when its pieces do not fill the table (a line cut by half
  // still makes one).
  LoadAndCheck(half, half.size() < lines, CutFileInHalf);
  return 0;
}
