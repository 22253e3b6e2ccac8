// The memory a Linux kernel's files say the process can still get (see point_memory.h).
#include "pointdata/point_memory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint64_t NO_LIMIT = UINT64_MAX;
constexpr size_t MEMORY_LINE_MAX = 4096;

// The value of the first line of the file at path that starts with key, a ':' or blanks, and
// a number ("MemAvailable:  123 kB", "file 123"), or of its first line when key is empty
// ("max" is no number). False when the file or the line cannot be read.
bool ReadMemoryNumber(const std::string& path, const char* key, uint64_t* value) {
  FILE* file = std::fopen(path.c_str(), "r");
  if (file == nullptr) return false;
  char line[MEMORY_LINE_MAX];
  const size_t keyLength = std::strlen(key);
  bool found = false;
  while (!found && std::fgets(line, sizeof line, file) != nullptr) {
    if (std::strncmp(line, key, keyLength) != 0) continue;
    const char* p = line + keyLength;
    if (keyLength > 0 && *p != ':' && *p != ' ') continue;
    p += std::strspn(p, ": \t");
    char* end = nullptr;
    unsigned long long number = std::strtoull(p, &end, 10);
    found = end != p && *p != '-';
    *value = number;
    if (keyLength == 0) break;
  }
  std::fclose(file);
  return found;
}

// A number of a file, or otherwise.
uint64_t MemoryNumberOr(const std::string& path, const char* key, uint64_t otherwise) {
  uint64_t value = 0;
  return ReadMemoryNumber(path, key, &value) ? value : otherwise;
}

// a - b, or 0 below it.
uint64_t Less(uint64_t a, uint64_t b) { return a > b ? a - b : 0; }

// a + b, held at NO_LIMIT.
uint64_t Plus(uint64_t a, uint64_t b) { return a > NO_LIMIT - b ? NO_LIMIT : a + b; }

// The file names of one control-group hierarchy's memory files.
struct GroupFiles {
  const char* limit;      // the memory limit
  const char* usage;      // the memory in use
  const char* swapLimit;  // the limit on swap (v2) or on memory and swap together (v1)
  const char* swapUsage;
  const char* filePages;  // memory.stat's keys: file pages, of them dirty and under writeback
  const char* dirtyPages;
  const char* writebackPages;
  bool swapWithMemory;    // v1: the swap files count memory and swap together
};

const GroupFiles V2_FILES = {"/memory.max", "/memory.current", "/memory.swap.max", "/memory.swap.current",
                             "file", "file_dirty", "file_writeback", false};
const GroupFiles V1_FILES = {"/memory.limit_in_bytes", "/memory.usage_in_bytes", "/memory.memsw.limit_in_bytes",
                             "/memory.memsw.usage_in_bytes", "total_cache", "total_dirty", "total_writeback", true};

// What the limits of one group leave: the memory limit less the usage that is not reclaimable
// file cache, and the swap the group may still use, no more than swapFree; NO_LIMIT when the
// group limits neither.
uint64_t GroupRoom(const std::string& group, const GroupFiles& files, uint64_t swapFree) {
  const uint64_t limit = MemoryNumberOr(group + files.limit, "", NO_LIMIT);
  if (limit == NO_LIMIT && !files.swapWithMemory) return NO_LIMIT;
  const std::string stat = group + "/memory.stat";
  const uint64_t reclaimable = Less(MemoryNumberOr(stat, files.filePages, 0),
                                    Plus(MemoryNumberOr(stat, files.dirtyPages, 0),
                                         MemoryNumberOr(stat, files.writebackPages, 0)));
  const uint64_t held = Less(MemoryNumberOr(group + files.usage, "", 0), reclaimable);
  const uint64_t memory = Less(limit, held);
  const uint64_t swapLimit = MemoryNumberOr(group + files.swapLimit, "", NO_LIMIT);
  const uint64_t swapUsage = MemoryNumberOr(group + files.swapUsage, "", 0);
  uint64_t swap = Less(swapLimit, swapUsage);
  // v1 limits memory and swap together: the swap is what that limit leaves beyond the memory.
  if (files.swapWithMemory) swap = Less(Less(swapLimit, Less(swapUsage, reclaimable)), memory);
  return Plus(memory, swap < swapFree ? swap : swapFree);
}

// The least room under the limits of the group at path (below the hierarchy's mount) and
// of every group above it, up to the hierarchy's root.
uint64_t HierarchyRoom(const std::string& mount, std::string path, const GroupFiles& files, uint64_t swapFree) {
  uint64_t room = NO_LIMIT;
  for (;;) {
    if (!path.empty() && path.back() == '/') path.pop_back();
    const uint64_t groupRoom = GroupRoom(mount + path, files, swapFree);
    if (groupRoom < room) room = groupRoom;
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) break;
    path.erase(slash);
  }
  return room;
}

// The least room under the memory limits of the process's control groups, v2 ("0::/path")
// and v1 (a hierarchy whose controllers include memory, "4:memory:/path").
uint64_t ControlGroupRoom(const std::string& root, uint64_t swapFree) {
  FILE* file = std::fopen((root + "/proc/self/cgroup").c_str(), "r");
  if (file == nullptr) return NO_LIMIT;
  uint64_t room = NO_LIMIT;
  char line[MEMORY_LINE_MAX];
  while (std::fgets(line, sizeof line, file) != nullptr) {
    line[std::strcspn(line, "\n")] = 0;
    char* controllers = std::strchr(line, ':');
    char* path = controllers != nullptr ? std::strchr(controllers + 1, ':') : nullptr;
    if (path == nullptr) continue;
    *path++ = 0;
    ++controllers;
    const std::string list = "," + std::string(controllers) + ",";
    const std::string mount = root + "/sys/fs/cgroup";
    uint64_t groupRoom = NO_LIMIT;
    if (*controllers == 0) {
      groupRoom = HierarchyRoom(mount, path, V2_FILES, swapFree);
    } else if (list.find(",memory,") != std::string::npos) {
      groupRoom = HierarchyRoom(mount + "/memory", path, V1_FILES, swapFree);
    }
    if (groupRoom < room) room = groupRoom;
  }
  std::fclose(file);
  return room;
}

}  // namespace

// The least room under the process's memory limits and the system's memory.
uint64_t AvailableMemoryBytes(const std::string& root) {
  const std::string meminfo = root + "/proc/meminfo";
  uint64_t availableKiB = 0;
  const bool systemKnown = ReadMemoryNumber(meminfo, "MemAvailable", &availableKiB);
  const uint64_t swapFree = MemoryNumberOr(meminfo, "SwapFree", 0) * 1024;
  const uint64_t groups = ControlGroupRoom(root, systemKnown ? swapFree : NO_LIMIT);
  const uint64_t system = systemKnown ? Plus(availableKiB * 1024, swapFree) : NO_LIMIT;
  return groups < system ? groups : system;
}

#if defined(VIEWER_TEST_HOOKS) && !defined(_WIN32)
std::string pointMemoryRoot;

// The machine's own files, or those below the test's folder.
uint64_t PointMemoryRoom() { return AvailableMemoryBytes(pointMemoryRoot); }
#elif !defined(_WIN32)
// The machine's own files.
uint64_t PointMemoryRoom() { return AvailableMemoryBytes(""); }
#endif
