// The two boxes a failure is shown in: window creation's, and the one teardown and the
// loader share. Each is modal, without an owner window, with its fixed caption and icon.
#pragma once

#include "platform/platform_api.h"
#include "records/texts.h"

// A creation failure: caption "ERROR", exclamation icon, OK.
inline void ReportCreationError(const char* text) {
  MessageBoxA(nullptr, text, CAPTION_ERROR, MB_OK | MB_ICONEXCLAMATION);
}

// A teardown failure, or a point file that cannot be loaded: caption "SHUTDOWN ERROR",
// information icon, OK.
inline void ReportShutdownError(const char* text) {
  MessageBoxA(nullptr, text, CAPTION_SHUTDOWN_ERROR, MB_OK | MB_ICONINFORMATION);
}
