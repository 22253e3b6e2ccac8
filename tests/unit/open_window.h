// The viewer's window as the viewer opens it, for the tests against the fake.
#pragma once

#include "app/messages.h"
#include "app/window_size.h"
#include "platform/viewer_window.h"

// CreateViewerWindow with the viewer's title, size and (unless given) colour depth.
inline bool OpenTestWindow(bool fullscreen, int bits = kColourBits) {
  return CreateViewerWindow(VIEWER_TITLE, kWindowWidth, kWindowHeight, bits, fullscreen);
}
