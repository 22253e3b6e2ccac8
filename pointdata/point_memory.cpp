// The memory the process can still get natively (see point_memory.h).
#include "pointdata/point_memory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint64_t NO_LIMIT = UINT64_MAX;
constexpr size_t MEMORY_LINE_MAX = 4096;

// The value of the first line of the file at path that starts with key, a ':' or blanks, and
// a number ("MemAvailable:  123 kB", "inactive_file 123"), or of its first line when key is
// empty ("max" is no number). False when the file or the line cannot be read.
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

// What the limit of one group leaves: the limit less the usage that cannot be reclaimed
// (page cache the group may drop is still room), or NO_LIMIT when the group has none.
uint64_t GroupRoom(const std::string& group, const char* limitName, const char* usageName,
                   const char* cacheKey) {
  uint64_t limit = 0, usage = 0, cache = 0;
  if (!ReadMemoryNumber(group + limitName, "", &limit)) return NO_LIMIT;
  ReadMemoryNumber(group + usageName, "", &usage);
  ReadMemoryNumber(group + "/memory.stat", cacheKey, &cache);
  usage = usage > cache ? usage - cache : 0;
  return limit > usage ? limit - usage : 0;
}

// The least room under the limits of the group at path (below the hierarchy's mount) and
// of every group above it, up to the hierarchy's root.
uint64_t HierarchyRoom(const std::string& mount, std::string path, const char* limitName,
                       const char* usageName, const char* cacheKey) {
  uint64_t room = NO_LIMIT;
  for (;;) {
    if (!path.empty() && path.back() == '/') path.pop_back();
    uint64_t groupRoom = GroupRoom(mount + path, limitName, usageName, cacheKey);
    if (groupRoom < room) room = groupRoom;
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) break;
    path.erase(slash);
  }
  return room;
}

// The least room under the memory limits of the process's control groups, v2 ("0::/path")
// and v1 (a hierarchy whose controllers include memory, "4:memory:/path").
uint64_t ControlGroupRoom(const std::string& root) {
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
      groupRoom = HierarchyRoom(mount, path, "/memory.max", "/memory.current", "inactive_file");
    } else if (list.find(",memory,") != std::string::npos) {
      groupRoom = HierarchyRoom(mount + "/memory", path, "/memory.limit_in_bytes",
                                "/memory.usage_in_bytes", "total_inactive_file");
    }
    if (groupRoom < room) room = groupRoom;
  }
  std::fclose(file);
  return room;
}

// The system's available memory and free swap, or NO_LIMIT when /proc/meminfo does not say.
uint64_t SystemRoom(const std::string& root) {
  uint64_t availableKiB = 0, swapKiB = 0;
  const std::string meminfo = root + "/proc/meminfo";
  if (!ReadMemoryNumber(meminfo, "MemAvailable", &availableKiB)) return NO_LIMIT;
  ReadMemoryNumber(meminfo, "SwapFree", &swapKiB);
  return (availableKiB + swapKiB) * 1024;
}

}  // namespace

// The least room under the process's memory limits and the system's memory.
uint64_t AvailableMemoryBytes(const std::string& root) {
  uint64_t groups = ControlGroupRoom(root);
  uint64_t system = SystemRoom(root);
  return groups < system ? groups : system;
}
