// The memory the process can still get on Windows (see point_memory.h).
#include "pointdata/point_memory.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

// Wine's drive of the Linux root, where its kernel's files are.
const char* const WINE_ROOT_DRIVE = "Z:";

// True under Wine, whose ntdll names its version.
bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace

// The commit charge the system can still grant (memory and page file) or the process's free
// address space (the 32-bit build's is at most 4 GB), whichever is less; under Wine, no more
// than the Linux kernel's files allow (its control groups' limits among them). UINT64_MAX when
// nothing says.
uint64_t PointMemoryRoom() {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  uint64_t room = UINT64_MAX;
  if (GlobalMemoryStatusEx(&status)) {
    room = status.ullAvailPageFile < status.ullAvailVirtual ? status.ullAvailPageFile : status.ullAvailVirtual;
  }
  if (RunningUnderWine()) {
    const uint64_t linux = AvailableMemoryBytes(WINE_ROOT_DRIVE);
    if (linux < room) room = linux;
  }
  return room;
}
