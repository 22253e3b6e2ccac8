// Whether the point table fits the memory the process can still get, asked before the table is
// allocated: Linux grants a block it does not have and kills the process that fills it (and
// Wine's Windows programs with it), where a refusal must be shown instead. Natively the room is
// read from the kernel's files; on Windows from GlobalMemoryStatusEx, which under Wine reports
// the Linux side.
#pragma once

#include <cstdint>
#include <string>

// What the viewer needs beside its table and the loader's buffers, kept free when a table is
// accepted, so that a table it accepts is a table it can draw: a fixed part, and a copy of the
// table. Measured natively with Mesa's software renderer (docs/performance.md): beyond its table,
// the viewer with its first frame drawn held 228 MB more than while loading at 1,000,000 points
// and 340 MB more at 10,000,000, about 216 MB and 12 bytes a point (the renderer's own copy of
// the points it draws from).
constexpr uint64_t POINT_MEMORY_MARGIN = static_cast<uint64_t>(256) << 20;

// The memory a table of tableBytes needs with loader buffers of bufferBytes: the table twice (the
// renderer's copy), the buffers and the margin; UINT64_MAX when that cannot be represented.
inline uint64_t PointMemoryNeeded(uint64_t tableBytes, uint64_t bufferBytes) {
  const uint64_t parts[] = {tableBytes, tableBytes, bufferBytes, POINT_MEMORY_MARGIN};
  uint64_t needed = 0;
  for (uint64_t part : parts) needed = part > UINT64_MAX - needed ? UINT64_MAX : needed + part;
  return needed;
}

// The bytes the process can still allocate and fill.
uint64_t PointMemoryRoom();

// True when a table of tableBytes and loader buffers of bufferBytes fit the room.
inline bool PointMemoryFits(uint64_t tableBytes, uint64_t bufferBytes) {
  return PointMemoryNeeded(tableBytes, bufferBytes) <= PointMemoryRoom();
}

#if !defined(_WIN32)
// Natively, the room: the least of the room under every memory limit of its control group and
// of the groups above it (cgroup v2's memory.max, v1's memory.limit_in_bytes, less the usage that
// is not reclaimable file cache: the group's file pages less the dirty ones and those under
// writeback, which the kernel drops before it kills), plus the swap the group may still use (v2's
// memory.swap.max, v1's memory.memsw limit, and no more than the system's free swap), and of the
// system's available memory and free swap (/proc/meminfo). UINT64_MAX when no file tells. The
// files are read below root: "" for the machine's own.
uint64_t AvailableMemoryBytes(const std::string& root);

#if defined(VIEWER_TEST_HOOKS)
// Test hook, in the builds that carry the tests only: the folder PointMemoryRoom reads the
// kernel's files below ("" for the machine's own).
extern std::string pointMemoryRoot;
#endif
#endif
