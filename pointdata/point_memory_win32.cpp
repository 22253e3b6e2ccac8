// The memory the process can still get on Windows (see point_memory.h).
#include "pointdata/point_memory.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// The commit charge the system can still grant (memory and page file) or the process's free
// address space (the 32-bit build's is at most 4 GB), whichever is less. Under Wine the figures
// are the Linux side's memory and swap. UINT64_MAX when Windows does not say.
uint64_t PointMemoryRoom() {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return UINT64_MAX;
  return status.ullAvailPageFile < status.ullAvailVirtual ? status.ullAvailPageFile : status.ullAvailVirtual;
}
