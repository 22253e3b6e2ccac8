// The memory the process can still get natively, read from the kernel's files before the
// point table is allocated: Linux grants a block it does not have and kills the process that
// fills it, where a refusal must be shown instead. Windows commits an allocation at once, so
// the allocation's own failure says it there, and this is built natively only.
#pragma once

#include <cstdint>
#include <string>

// The bytes the process can still allocate and fill: the least of the room under every
// memory limit of its control group and of the groups above it (cgroup v2's memory.max,
// v1's memory.limit_in_bytes, less the usage that cannot be reclaimed), and of the system's
// available memory and free swap (/proc/meminfo). UINT64_MAX when no file tells. The files
// are read below root: "" for the machine's own.
uint64_t AvailableMemoryBytes(const std::string& root);
