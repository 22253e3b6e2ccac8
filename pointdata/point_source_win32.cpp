// The point file's bytes on Windows (see point_source.h): a file handle and positional reads.
// Not mapped: a view of the whole file does not fit the 32-bit build's address space, and in
// the 64-bit build positional reads measured as fast (docs/performance.md), while a mapped file
// that another program cuts would fault where a read only comes up short.
#include "pointdata/point_source.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

HANDLE HandleOf(const PointSource& source) { return reinterpret_cast<HANDLE>(source.handle); }

}  // namespace

// Shared with writers and deleters as a text editor expects; devices ("NUL", "CON") and pipes
// are refused, and a directory does not open without backup semantics.
bool OpenPointSource(const char* name, PointSource* source) {
  *source = PointSource();
  HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  source->handle = reinterpret_cast<intptr_t>(file);
  if (GetFileType(file) != FILE_TYPE_DISK || !ReadPointIdentity(*source, &source->opened)) {
    ClosePointSource(source);
    return false;
  }
  return true;
}

void ClosePointSource(PointSource* source) {
  if (source->handle != -1) CloseHandle(HandleOf(*source));
  source->handle = -1;
}

// The size and the last write time, to 100 ns.
bool ReadPointIdentity(const PointSource& source, PointFileIdentity* identity) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(HandleOf(source), &info)) return false;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  identity->size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  identity->modified = static_cast<int64_t>((static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                            info.ftLastWriteTime.dwLowDateTime);
  identity->changed = 0;
  return true;
}

// Each read names its offset, so threads sharing the handle never depend on its file position.
size_t ReadPointBytesAt(const PointSource& source, uint64_t offset, char* dest, size_t n, bool* failed) {
  size_t done = 0;
  while (done < n) {
    const uint64_t at = offset + done;
    OVERLAPPED place = {};
    place.Offset = static_cast<DWORD>(at);
    place.OffsetHigh = static_cast<DWORD>(at >> 32);
    const size_t left = n - done;
    const DWORD want = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    DWORD got = 0;
    if (!ReadFile(HandleOf(source), dest + done, want, &got, &place)) {
      if (GetLastError() != ERROR_HANDLE_EOF) *failed = true;
      break;
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

bool MapPointSource(PointSource*) { return false; }

bool PointMappingLost(const PointSource&) { return false; }
