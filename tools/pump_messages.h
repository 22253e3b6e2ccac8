// The message pump of the programs that drive the core themselves (tests, benchmarks, tools);
// the viewer's own main loop is in app/viewer_main.cpp.
#pragma once

#include "platform/platform_api.h"

// Hands every queued message to its window; false once WM_QUIT was retrieved (its code then
// goes to quitCode, when given).
bool PumpMessages(WPARAM* quitCode = nullptr);
