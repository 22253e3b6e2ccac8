// The point file's bytes as the operating system gives them: a regular file opened without
// blocking, the identity that tells whether it changed while it was read (its size and times),
// positional reads that threads may make at once, and a read-only mapping of the whole file
// where the platform has one. What the bytes mean is the reader's (point_reader.h).
#pragma once

#include <cstddef>
#include <cstdint>

// What tells one version of the file from another: a write, a cut or a rewrite changes it.
struct PointFileIdentity {
  uint64_t size = 0;     // bytes
  int64_t modified = 0;  // last write, in the platform's finest unit
  int64_t changed = 0;   // last change of the file's data or attributes (natively; 0 on Windows)
};

// An open point file.
struct PointSource {
  intptr_t handle = -1;        // the file descriptor, or the Windows file handle
  PointFileIdentity opened;    // the file as it was opened; both passes read at most its size
  const char* mapped = nullptr;  // the whole file, read-only, while mapped
};

// Opens name for reading when it is a regular file (a directory, a device, a FIFO or a socket
// cannot be read twice alike); false when it cannot be opened or is no regular file. Decided
// from the opened file, so nothing can be swapped in between; a FIFO without a writer cannot
// hold the caller up.
bool OpenPointSource(const char* name, PointSource* source);

// Unmaps and closes the file.
void ClosePointSource(PointSource* source);

// The file's identity now; false when it cannot be read.
bool ReadPointIdentity(const PointSource& source, PointFileIdentity* identity);

// True when the file's identity now is still identity (false also when it cannot be read).
inline bool PointSourceStill(const PointSource& source, const PointFileIdentity& identity) {
  PointFileIdentity now;
  return ReadPointIdentity(source, &now) && now.size == identity.size && now.modified == identity.modified &&
         now.changed == identity.changed;
}

// Reads up to n bytes at offset into dest; returns how many (fewer at the file's end, 0 on a
// failed read, which also sets failed). Threads may read one file at once.
size_t ReadPointBytesAt(const PointSource& source, uint64_t offset, char* dest, size_t n, bool* failed);

// Maps the whole file read-only where that is worth it and possible (natively; never an empty
// file); false leaves it to positional reads. Natively a page the file lost while mapped (it
// was cut) reads as zeros instead of ending the process, and PointMappingLost says so.
bool MapPointSource(PointSource* source);

// True when the source is mapped and a page of the mapping was lost since it was made.
bool PointMappingLost(const PointSource& source);
