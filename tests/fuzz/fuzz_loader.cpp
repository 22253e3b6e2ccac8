// libFuzzer target: any bytes, loaded as a point file through both passes of the loader.
// Built with ASan + UBSan by run-fuzz.sh; the one platform call, MessageBoxA, is stubbed.
#include "app/app_state.h"
#include "pointdata/point_file.h"
#include "pointdata/point_scan.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int WINAPI MessageBoxA(HWND, LPCSTR, LPCSTR, UINT) { return IDOK; }

// The records the loader must make: one per line feed before the first Ctrl-Z.
static int32_t ExpectedRecords(const uint8_t* data, size_t size) {
  int32_t lines = 0;
  for (size_t i = 0; i < size && data[i] != 0x1A; ++i) lines += data[i] == '\n';
  return lines;
}

// Loads the bytes with the given read buffer size and checks the table's shape.
static void LoadWithBuffer(const uint8_t* data, size_t size, size_t bufferSize) {
  std::vector<char> buffer(bufferSize);
  PointInput input;
  input.memory = reinterpret_cast<const char*>(data);
  input.memorySize = size;
  ResetAppState();
  LoadPointInput(&input, buffer.data(), buffer.size());
  if (pointTable.count != ExpectedRecords(data, size)) abort();
  if (pointTable.count > 0 && pointTable.records == nullptr) abort();
  if (loadedFileInfo.vertexCounter != static_cast<float>(pointTable.count)) abort();
  ReleasePointTable();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LoadWithBuffer(data, size, POINT_READ_BUFFER_MIN);
  LoadWithBuffer(data, size, POINT_READ_BUFFER_MIN + 77);
  // The number scanner on its own, at every start position of a short input.
  if (size <= 512) {
    const char* text = reinterpret_cast<const char*>(data);
    for (size_t i = 0; i < size; ++i) {
      float value = 0.0f;
      const char* next = ScanNumber(text + i, text + size, &value);
      if (next != nullptr && (next <= text + i || next > text + size)) abort();
    }
  }
  return 0;
}
