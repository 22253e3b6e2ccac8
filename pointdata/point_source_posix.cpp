// The point file's bytes natively (see point_source.h): POSIX files, pread and mmap.
#include "pointdata/point_source.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The mapping being read, for the bus-error handler: a page of it that the file lost (it was cut
// while mapped) faults with SIGBUS, which would end the process.
std::atomic<uintptr_t> mappedBegin{0};
std::atomic<uintptr_t> mappedEnd{0};
std::atomic<bool> mappingLost{false};
struct sigaction previousBusAction;
size_t mappedLength = 0;

// Puts a page of zeros where the mapping lost a page, so the access that faulted reads zeros
// (no line feed, no number: the reading pass then finds the file short of what it counted).
// Any other bus error goes to the action there was before.
void MendLostPage(int signal, siginfo_t* info, void*) {
  const uintptr_t at = reinterpret_cast<uintptr_t>(info->si_addr);
  if (info->si_code > 0 && at >= mappedBegin.load() && at < mappedEnd.load()) {
    const uintptr_t page = at & ~(static_cast<uintptr_t>(sysconf(_SC_PAGESIZE)) - 1);
    void* zeros = mmap(reinterpret_cast<void*>(page), static_cast<size_t>(sysconf(_SC_PAGESIZE)), PROT_READ,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros != MAP_FAILED) {
      mappingLost.store(true);
      return;
    }
  }
  sigaction(SIGBUS, &previousBusAction, nullptr);
  // A fault runs again under that action on return; a signal sent by a process is sent again.
  if (info->si_code <= 0) raise(signal);
}

// The identity in a stat record.
PointFileIdentity IdentityOf(const struct stat& info) {
  PointFileIdentity identity;
  identity.size = info.st_size > 0 ? static_cast<uint64_t>(info.st_size) : 0;
  identity.modified = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  identity.changed = static_cast<int64_t>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
  return identity;
}

// Unmaps the file and gives SIGBUS back to the action there was before.
void UnmapPointSource(PointSource* source) {
  if (source->mapped == nullptr) return;
  munmap(const_cast<char*>(source->mapped), mappedLength);
  mappedBegin.store(0);
  mappedEnd.store(0);
  sigaction(SIGBUS, &previousBusAction, nullptr);
  source->mapped = nullptr;
}

}  // namespace

// Opened without blocking, so a FIFO without a writer cannot hold the caller up; read blocking
// as usual once it is known to be a regular file.
bool OpenPointSource(const char* name, PointSource* source) {
  *source = PointSource();
  const int fd = open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || fcntl(fd, F_SETFL, 0) != 0) {
    close(fd);
    return false;
  }
  source->handle = fd;
  source->opened = IdentityOf(info);
  return true;
}

// Unmaps and closes the file.
void ClosePointSource(PointSource* source) {
  UnmapPointSource(source);
  if (source->handle >= 0) close(static_cast<int>(source->handle));
  source->handle = -1;
}

// The file's size and times now.
bool ReadPointIdentity(const PointSource& source, PointFileIdentity* identity) {
  struct stat info;
  if (fstat(static_cast<int>(source.handle), &info) != 0) return false;
  *identity = IdentityOf(info);
  return true;
}

// pread leaves no shared file position, so threads may read at once.
size_t ReadPointBytesAt(const PointSource& source, uint64_t offset, char* dest, size_t n, bool* failed) {
  size_t done = 0;
  while (done < n) {
    const ssize_t got = pread(static_cast<int>(source.handle), dest + done, n - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) *failed = true;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

// Maps the file's size at opening, with the bus-error handler in place for as long as it is mapped.
bool MapPointSource(PointSource* source) {
  const uint64_t size = source->opened.size;
  if (size == 0 || size > SIZE_MAX / 2) return false;
  struct sigaction mend = {};
  mend.sa_sigaction = MendLostPage;
  mend.sa_flags = SA_SIGINFO;
  sigemptyset(&mend.sa_mask);
  if (sigaction(SIGBUS, &mend, &previousBusAction) != 0) return false;
  void* mapped = mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_PRIVATE, static_cast<int>(source->handle), 0);
  if (mapped == MAP_FAILED) {
    sigaction(SIGBUS, &previousBusAction, nullptr);
    return false;
  }
  mappedLength = static_cast<size_t>(size);
  mappingLost.store(false);
  mappedBegin.store(reinterpret_cast<uintptr_t>(mapped));
  mappedEnd.store(reinterpret_cast<uintptr_t>(mapped) + mappedLength);
  source->mapped = static_cast<const char*>(mapped);
  return true;
}

bool PointMappingLost(const PointSource& source) { return source.mapped != nullptr && mappingLost.load(); }
