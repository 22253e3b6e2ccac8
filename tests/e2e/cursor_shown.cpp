// Asks the X server whether the pointer's cursor shows: exit 0 when its image has a visible
// pixel, 1 when it is blank (hidden), 2 without a display. The process's end frees what it holds.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return 2;
  XFixesCursorImage* image = XFixesGetCursorImage(display);
  for (int i = 0; image != nullptr && i < image->width * image->height; i++) {
    if ((image->pixels[i] >> 24) != 0) return 0;
  }
  return 1;
}
