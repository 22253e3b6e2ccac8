// The procedure of the viewer's window class: key flags, the mouse, active flag, projection, quit,
// files dropped.
#include "window/window_proc.h"

#include "controls/mouse_controls.h"
#include "records/app_state.h"
#include "render/scene.h"

#include <cstdint>
#include <string>

namespace {

// A key-down message's lParam has this bit set when the key was already down: an auto-repeat.
constexpr uint32_t KEY_PREVIOUSLY_DOWN = 1u << 30;

// The pointer's client coordinates, packed as signed 16-bit words (negative left of or above
// the client area, while the mouse is captured).
int PointerX(LPARAM lParam) { return static_cast<int16_t>(LOWORD(lParam)); }
int PointerY(LPARAM lParam) { return static_cast<int16_t>(HIWORD(lParam)); }

// A button pressed: its drag starts, and the window keeps the mouse until it ends.
void StartDrag(HWND window, uint8_t drag, LPARAM lParam) {
  PressMouseButton(drag, PointerX(lParam), PointerY(lParam));
  SetCapture(window);
}

// Whether the drag under way goes on: while one of its buttons is held (a button released
// elsewhere, or while another window had the mouse, shows here too); otherwise it ends and
// the mouse is let go.
bool KeepDrag(WPARAM buttons) {
  if (pointerState.drag == DRAG_NONE) return false;
  if (DragHeld(buttons)) return true;
  EndDrag();
  ReleaseCapture();
  return false;
}

// Keeps the name of the first file dropped for the main loop, which opens it between two frames
// (a load, its progress and its boxes do not belong inside a message's dispatch), and gives
// the drop back.
void TakeDroppedFile(HDROP drop) {
  const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
  std::string name(length + 1, '\0');
  if (length > 0 && DragQueryFileA(drop, 0, &name[0], length + 1) == length) {
    droppedFile.name.assign(name, 0, length);
    droppedFile.waiting = 1;
  }
  DragFinish(drop);
}

}  // namespace

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
      // the frame after the restore, whether or not a frame came between. An auto-repeat is
      // no new press.
      if (wParam < VIRTUAL_KEY_COUNT) {
        keyTable.down[wParam] = 1;
        if (windowContext.active != 0 && (static_cast<uint32_t>(lParam) & KEY_PREVIOUSLY_DOWN) == 0) {
          keyTable.pressed[wParam] = 1;
        }
      }
      return 0;
    case WM_KEYUP:
      if (wParam < VIRTUAL_KEY_COUNT) keyTable.down[wParam] = 0;
      return 0;
    case WM_SIZE:
      pointerState.clientHeight = HIWORD(lParam);
      ResizeScene(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_LBUTTONDOWN:
      StartDrag(window, DRAG_TURN, lParam);
      return 0;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      StartDrag(window, DRAG_MOVE, lParam);
      return 0;
    case WM_MOUSEMOVE:
      if (KeepDrag(wParam)) DragPointerTo(PointerX(lParam), PointerY(lParam));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      KeepDrag(wParam);
      return 0;
    case WM_MOUSEWHEEL:
      TurnWheel(static_cast<int16_t>(HIWORD(wParam)));
      return 0;
    case WM_DROPFILES:
      TakeDroppedFile(reinterpret_cast<HDROP>(wParam));
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
