// The viewer's entry function and main loop.
#pragma once

#include "platform/platform_api.h"

// Called once by the platform's start-up code with the command-line tail.
int ViewerMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);
