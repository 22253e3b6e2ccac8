// The loader's threads: one piece of work per stretch of the file, each on a thread of its own
// with a read buffer of its own, the first on the calling thread with the caller's buffer. A
// stretch whose thread cannot be started, or whose buffer cannot be had, is done by the calling
// thread once the others are started, with its buffer: the work is the same either way.
#pragma once

#include <cstddef>

// The moments of a load at which its passes run their work.
enum PointLoadMoment { POINT_WHILE_COUNTING, POINT_WHILE_READING, POINT_WHILE_REREADING };

// The work for stretch `index`, with a read buffer of the size given to RunPointWork (null when
// no buffers are asked for).
typedef void (*PointWork)(void* context, int index, char* buffer);

// Runs work for stretches 0 to n - 1 at a moment of the load and returns when all are done.
// With buffers, each thread allocates one of bufferSize bytes; callerBuffer is the calling
// thread's.
void RunPointWork(PointLoadMoment moment, int n, PointWork work, void* context, bool buffers, char* callerBuffer,
                  size_t bufferSize);

#if defined(VIEWER_TEST_HOOKS)
// Test hooks, in the builds that carry the tests only: every thread start, or every thread's
// buffer, fails as if the system refused it; and when set, pointLoadHook is called at each
// moment, once the other stretches' threads are started and before the first stretch's work
// (and after each read of a pass that reads again), where a test changes the file.
extern bool pointThreadsRefused;
extern bool pointBuffersRefused;
extern void (*pointLoadHook)(PointLoadMoment moment);
#endif
