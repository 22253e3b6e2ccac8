// The viewer's window, device context and rendering context: creation and teardown.
#pragma once

#include "platform/platform_api.h"

// The pixel format asked for by every creation.
extern PIXELFORMATDESCRIPTOR PixelFormatRequest;

bool CreateViewerWindow(const char* title, int width, int height, int bits, bool fullscreen);
void DestroyViewerWindow();
