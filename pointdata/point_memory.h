// Whether the point table fits the memory the process can still get, asked before the table is
// allocated: Linux grants a block it does not have and kills the process that fills it (and
// Wine's Windows programs with it), where a refusal must be shown instead. Natively the room is
// read from the kernel's files; on Windows from GlobalMemoryStatusEx, and under Wine, which
// reports the Linux system's memory there but not the limits of its control groups, from the
// kernel's files as well.
#pragma once

#include <cstdint>
#include <string>

// What the loader needs beside its table and its buffers: its threads' stacks, the page tables
// of a mapped file, the run-time's own blocks.
constexpr uint64_t POINT_LOADER_MARGIN = static_cast<uint64_t>(16) << 20;

// What drawing the cloud needs beside its table, so that a table the viewer accepts is one it
// can draw: a fixed part, and a share per point. Measured natively with Mesa's software renderer
// after a minute of frames (docs/performance.md): its memory beyond the table was 244 MB at
// 1,000,000 points and 1.35 GB at 10,000,000 (the rasteriser keeps each frame's points binned
// for its threads), about 121 MB and 123 bytes a point, beside 70 MB of its libraries.
constexpr uint64_t POINT_DRAWING_MARGIN = static_cast<uint64_t>(256) << 20;
constexpr uint64_t POINT_DRAWING_BYTES = 128;

// The memory a table of tableBytes needs with loader buffers of bufferBytes, and, forDrawing,
// with what drawing it takes; UINT64_MAX when that cannot be represented.
inline uint64_t PointMemoryNeeded(uint64_t tableBytes, uint64_t bufferBytes, bool forDrawing) {
  const uint64_t points = tableBytes / 12;
  const uint64_t drawing = points > UINT64_MAX / POINT_DRAWING_BYTES ? UINT64_MAX : points * POINT_DRAWING_BYTES;
  const uint64_t parts[] = {tableBytes, bufferBytes, POINT_LOADER_MARGIN, forDrawing ? POINT_DRAWING_MARGIN : 0,
                            forDrawing ? drawing : 0};
  uint64_t needed = 0;
  for (uint64_t part : parts) needed = part > UINT64_MAX - needed ? UINT64_MAX : needed + part;
  return needed;
}

// The bytes the process can still allocate and fill.
uint64_t PointMemoryRoom();

// True when a table of tableBytes and loader buffers of bufferBytes (and, forDrawing, what
// drawing it takes) fit the room.
inline bool PointMemoryFits(uint64_t tableBytes, uint64_t bufferBytes, bool forDrawing) {
  return PointMemoryNeeded(tableBytes, bufferBytes, forDrawing) <= PointMemoryRoom();
}

// The room a Linux kernel's files tell (natively, and under Wine through its drive of the Linux
// root): the least of the room under every memory limit of its control group and
// of the groups above it (cgroup v2's memory.max, v1's memory.limit_in_bytes, less the usage that
// is not reclaimable file cache: the group's file pages less the dirty ones and those under
// writeback, which the kernel drops before it kills), plus the swap the group may still use (v2's
// memory.swap.max, v1's memory.memsw limit, and no more than the system's free swap), and of the
// system's available memory and free swap (/proc/meminfo). UINT64_MAX when no file tells. The
// files are read below root: "" for the machine's own.
uint64_t AvailableMemoryBytes(const std::string& root);

#if defined(VIEWER_TEST_HOOKS) && !defined(_WIN32)
// Test hook, in the builds that carry the tests only: the folder PointMemoryRoom reads the
// kernel's files below ("" for the machine's own).
extern std::string pointMemoryRoot;
#endif
