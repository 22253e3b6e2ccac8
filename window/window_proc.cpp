// The procedure of the viewer's window class: key flags, active flag, projection, quit.
#include "window/window_proc.h"

#include "records/app_state.h"
#include "render/scene.h"

// Turns the viewer's few messages into state changes; the rest go to DefWindowProcA.
LRESULT CALLBACK ViewerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      windowContext.active = HIWORD(wParam) == 0 ? 1 : 0;
      return 0;
    case WM_SYSCOMMAND:
      if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
      break;
    case WM_CLOSE:
      PostQuitMessage(0);
      return 0;
    case WM_KEYDOWN:
      // While minimised a key is only held: a tapped key (Escape above all) must not act on
      // the frame after the restore, whether or not a frame came between.
      if (wParam < VIRTUAL_KEY_COUNT) {
        keyTable.down[wParam] = 1;
        if (windowContext.active != 0) keyTable.pressed[wParam] = 1;
      }
      return 0;
    case WM_KEYUP:
      if (wParam < VIRTUAL_KEY_COUNT) keyTable.down[wParam] = 0;
      return 0;
    case WM_SIZE:
      ResizeScene(LOWORD(lParam), HIWORD(lParam));
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
