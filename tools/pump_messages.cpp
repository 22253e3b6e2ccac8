// The message pump of the programs that drive the core themselves.
#include "tools/pump_messages.h"

bool PumpMessages(WPARAM* quitCode) {
  MSG msg = {};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      if (quitCode != nullptr) *quitCode = msg.wParam;
      return false;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}
