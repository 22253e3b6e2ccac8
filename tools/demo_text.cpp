// Text demo: opens the viewer's window, draws one line of overlay text in blue and keeps the
// window up, draining its messages, for the given number of seconds.
// Usage: demo-text [seconds]  (default 3).
#include <cstdlib>
#include <ctime>

#include "records/app_state.h"
#include "records/texts.h"
#include "records/window_size.h"
#include "platform/platform_api.h"
#include "window/viewer_window.h"
#include "render/scene.h"
#include "window/message_pump.h"

namespace {

// Clears the window and prints the line near the top left, as the overlay does.
void DrawTextLine() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glTranslatef(0.0f, 0.0f, -1.0f);
  glColor3f(0.0f, 0.0f, 1.0f);
  glRasterPos2f(-0.55f, 0.38f);
  PrintText("Filename: %s", "sphere.txt");
  SwapBuffers(windowContext.deviceContext);
}

}  // namespace

int main(int argc, char** argv) {
  DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 3;
  if (!CreateViewerWindow(VIEWER_TITLE, WINDOW_WIDTH, WINDOW_HEIGHT, COLOUR_BITS, false)) return 1;
  DWORD start = timeGetTime();
  while (timeGetTime() - start < seconds * 1000 && PumpMessages()) {
    DrawTextLine();
    timespec pause = {0, 20 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  DestroyViewerWindow();
  return 0;
}
