// Whether the point table fits the memory the process can still get, asked before the table is
// allocated: Linux grants a block it does not have and kills the process that fills it (and
// Wine's Windows programs with it), where a refusal must be shown instead. Natively the room is
// read from the kernel's files; on Windows from GlobalMemoryStatusEx, which under Wine reports
// the Linux side.
#pragma once

#include <cstdint>
#include <string>

// What the viewer needs beside its table and the loader's buffers, kept free when a table is
// accepted, so that a table it accepts is a table it can draw. Measured natively with Mesa's
// software renderer (docs/performance.md): the viewer's resident memory beside a 1,000,000 and
// a 10,000,000 point table, less the table, was 205 and 246 MiB; a GPU driver needs less.
constexpr uint64_t POINT_MEMORY_MARGIN = static_cast<uint64_t>(256) << 20;

// True when a table of tableBytes and loader buffers of bufferBytes fit the room the process
// has, with POINT_MEMORY_MARGIN to spare.
bool PointMemoryFits(uint64_t tableBytes, uint64_t bufferBytes);

#if !defined(_WIN32)
// The bytes the process can still allocate and fill: the least of the room under every memory
// limit of its control group and of the groups above it (cgroup v2's memory.max, v1's
// memory.limit_in_bytes, less the usage that is not reclaimable file cache: the group's file
// pages less the dirty ones and those under writeback, which the kernel drops before it kills),
// plus the swap the group may still use (v2's memory.swap.max, v1's memory.memsw limit, and no
// more than the system's free swap), and of the system's available memory and free swap
// (/proc/meminfo). UINT64_MAX when no file tells. The files are read below root: "" for the
// machine's own.
uint64_t AvailableMemoryBytes(const std::string& root);
#endif
