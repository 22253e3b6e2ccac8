// The memory the process can still get on Windows (see point_memory.h).
#include "pointdata/point_memory.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// The commit charge the system can still grant (memory and page file) and the process's free
// address space (the 32-bit build's is at most 4 GB), the lesser of them against the table, the
// buffers and the margin. Under Wine the figures are the Linux side's memory and swap.
bool PointMemoryFits(uint64_t tableBytes, uint64_t bufferBytes) {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return true;
  const uint64_t room = status.ullAvailPageFile < status.ullAvailVirtual ? status.ullAvailPageFile : status.ullAvailVirtual;
  const uint64_t wanted = tableBytes + bufferBytes;
  return wanted >= tableBytes && wanted <= room && room - wanted >= POINT_MEMORY_MARGIN;
}
