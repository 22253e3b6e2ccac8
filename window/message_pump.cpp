// The message pump (see message_pump.h).
#include "window/message_pump.h"

// Translates and dispatches until the queue is empty or WM_QUIT comes.
bool PumpMessages(MSG* last) {
  MSG message = {};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (last != nullptr) *last = message;
    if (message.message == WM_QUIT) return false;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}
