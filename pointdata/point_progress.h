// How far the load under way has come, for a progress display on another thread: the loader's
// threads add to it as they go, and anyone may read it at any time.
#pragma once

#include <atomic>
#include <cstdint>

// The bytes the counting threads add to it at a time, and the records the reading threads do.
constexpr uint64_t POINT_PROGRESS_BYTES = static_cast<uint64_t>(4) << 20;
constexpr int64_t POINT_PROGRESS_RECORDS = 65536;

// The two passes' progress.
struct PointLoadProgress {
  std::atomic<uint64_t> bytes{0};         // the file's size, once it is open
  std::atomic<uint64_t> bytesCounted{0};  // bytes the counting pass has looked at
  std::atomic<uint64_t> records{0};       // records to read, once counted
  std::atomic<uint64_t> recordsRead{0};   // records the reading pass has filled
};

extern PointLoadProgress pointLoadProgress;

// Starts the progress of a load of a file of size bytes.
void StartPointLoadProgress(uint64_t size);

// The share of the load done, 0 to 1: counting is about a quarter of the work, reading the rest.
double PointLoadDone();
