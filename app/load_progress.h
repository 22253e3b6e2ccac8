// Loading the point file on a thread of its own, while the calling thread shows the load's
// progress in a window of its own once the load has taken longer than PROGRESS_DELAY_MS.
#pragma once

#include "platform/platform_api.h"

// How long a load runs before its progress shows, milliseconds: with the program's start and
// the making of the window, a long load's progress is on screen within half a second.
constexpr int PROGRESS_DELAY_MS = 250;
// How often the progress is drawn again, milliseconds.
constexpr int PROGRESS_FRAME_MS = 50;

// Loads the named file as LoadPointFile does (the name recorded first, the message boxes after
// the load, on the calling thread), showing the progress of a long load; messages that come
// meanwhile are handed to their windows (the last one kept in *last when given), and a quit
// request among them is posted again.
void LoadPointFileShowingProgress(const char* name, MSG* last = nullptr);
