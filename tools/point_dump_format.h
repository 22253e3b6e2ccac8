// The text point-dump prints for a loaded table, which the parity suite's model prints too:
// "count N", "vertices N", then one record a line as the IEEE-754 bit patterns of x, y and
// z in hexadecimal; or, in summary, one FNV-1a hash of all those bit patterns instead of the
// records.
#pragma once

#include "records/app_state.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

// The bit pattern of a float.
inline uint32_t FloatBits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Prints count, vertex counter and records (or their hash) to standard output.
inline void PrintPointDump(int32_t count, float vertices, const PointRecord* records, bool summary) {
  std::printf("count %d\n", (int)count);
  std::printf("vertices %.0f\n", (double)vertices);
  uint64_t hash = 0xcbf29ce484222325ull;
  for (int32_t i = 0; i < count; ++i) {
    uint32_t bits[3] = {FloatBits(records[i].x), FloatBits(records[i].y), FloatBits(records[i].z)};
    if (!summary) std::printf("%08x %08x %08x\n", (unsigned)bits[0], (unsigned)bits[1], (unsigned)bits[2]);
    for (uint32_t b : bits) hash = (hash ^ b) * 0x100000001b3ull;
  }
  if (summary) std::printf("hash %016llx\n", (unsigned long long)hash);
}
