// The message pump: every queued message handed to its window, as the viewer's main loop
// and the programs that drive the core themselves (tests, benchmarks, tools) need it.
#pragma once

#include "platform/platform_api.h"

// Hands every queued message to its window; false once WM_QUIT was retrieved. Each message
// retrieved, WM_QUIT included, is kept in *last when given: the viewer's exit code is the
// wParam of the last one.
bool PumpMessages(MSG* last = nullptr);
