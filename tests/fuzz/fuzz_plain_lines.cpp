// libFuzzer target, differential: any bytes, written to a real file and read by the
// loader's reading pass twice, with the plain-line scan and with the general scan alone,
// through read buffers of different sizes. The records must be identical, bit for bit.
#include "pointdata/point_file.h"
#include "pointdata/point_reader.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Reads the open file from its start into records (room for every piece: at least a byte
// each); returns how many were stored.
int32_t ReadAll(FILE* file, size_t bufferSize, bool plainLines, std::vector<PointRecord>* records) {
  std::vector<char> buffer(bufferSize);
  bool failed = false;
  if (std::fseek(file, 0, SEEK_SET) != 0) abort();
  int32_t stored = ReadPointRecords(file, buffer.data(), buffer.size(), records->data(),
                                    (int32_t)records->size(), plainLines, &failed);
  if (failed) abort();
  return stored;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string name = "/tmp/fuzz-plain-lines-" + std::to_string(getpid()) + ".txt";
  FILE* f = std::fopen(name.c_str(), "w+b");
  if (f == nullptr || std::fwrite(data, 1, size, f) != size || std::fflush(f) != 0) abort();
  std::vector<PointRecord> plain(size + 1), general(size + 1);
  int32_t plainCount = ReadAll(f, POINT_READ_BUFFER_MIN, true, &plain);
  int32_t generalCount = ReadAll(f, POINT_READ_BUFFER_MIN + 77, false, &general);
  std::fclose(f);
  if (plainCount != generalCount ||
      std::memcmp(plain.data(), general.data(), plainCount * sizeof(PointRecord)) != 0) abort();
  return 0;
}
