// The procedure of the viewer's window class.
#pragma once

#include "platform/platform_api.h"

LRESULT CALLBACK ViewerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
