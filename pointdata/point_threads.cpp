// The loader's threads (see point_threads.h).
#include "pointdata/point_threads.h"

#include "pointdata/point_count.h"

#include <cstdlib>
#include <system_error>
#include <thread>

#if defined(VIEWER_TEST_HOOKS)
bool pointThreadsRefused = false;
bool pointBuffersRefused = false;
void (*pointLoadHook)(PointLoadMoment moment) = nullptr;
#endif

namespace {

// One stretch's work on a thread of its own.
struct PointWorkItem {
  PointWork work;
  void* context;
  int index;
  bool buffers;
  size_t bufferSize;
  bool left;  // not done: its buffer could not be had
};

// A read buffer, or null when it cannot be had.
char* AllocateReadBuffer(size_t bytes) {
#if defined(VIEWER_TEST_HOOKS)
  if (pointBuffersRefused) return nullptr;
#endif
  return static_cast<char*>(std::malloc(bytes));
}

// Runs one stretch's work with a buffer of its own, or leaves it for the calling thread.
void RunPointWorkItem(PointWorkItem* item) {
  char* buffer = item->buffers ? AllocateReadBuffer(item->bufferSize) : nullptr;
  if (item->buffers && buffer == nullptr) {
    item->left = true;
    return;
  }
  item->work(item->context, item->index, buffer);
  std::free(buffer);
}

// Starts a thread for the item; false when it cannot be started.
bool StartPointThread(std::thread* thread, PointWorkItem* item) {
#if defined(VIEWER_TEST_HOOKS)
  if (pointThreadsRefused) return false;
#endif
  try {
    *thread = std::thread(RunPointWorkItem, item);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

}  // namespace

// Starts the other stretches' threads, does the first, joins, then does what was left.
void RunPointWork(PointLoadMoment moment, int n, PointWork work, void* context, bool buffers, char* callerBuffer,
                  size_t bufferSize) {
  std::thread threads[POINT_STRETCHES_MAX];
  PointWorkItem items[POINT_STRETCHES_MAX];
  for (int i = 1; i < n; ++i) {
    items[i] = PointWorkItem{work, context, i, buffers, bufferSize, false};
    if (!StartPointThread(&threads[i], &items[i])) items[i].left = true;
  }
#if defined(VIEWER_TEST_HOOKS)
  if (pointLoadHook != nullptr) pointLoadHook(moment);
#else
  (void)moment;
#endif
  work(context, 0, callerBuffer);
  for (int i = 1; i < n; ++i) {
    if (threads[i].joinable()) threads[i].join();
    if (items[i].left) work(context, i, callerBuffer);
  }
}
