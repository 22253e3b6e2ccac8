// Offers an 800x600 display mode with 60 Hz timings beside the screen's own, through RandR, for
// as long as it runs: the X server drops a mode its maker no longer holds. (Xvfb's own mode has
// no timings, and Wine takes no mode without them.) Prints "ready" once offered; exit 2 without
// a display or RandR output.
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <unistd.h>

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  XRRScreenResources* screen = XRRGetScreenResources(display, DefaultRootWindow(display));
  if (screen == nullptr || screen->noutput < 1) return 2;
  char name[] = "800x600_60";
  XRRModeInfo mode = {0, 800, 600, 40000000, 840, 968, 1056, 0, 601, 605, 628, name, 10, 0};
  XRRAddOutputMode(display, screen->outputs[0], XRRCreateMode(display, DefaultRootWindow(display), &mode));
  XSync(display, False);
  std::puts("ready");
  std::fflush(stdout);
  pause();
}
