// USER32's message queue: PeekMessageA, TranslateMessage, DispatchMessageA, PostQuitMessage, DefWindowProcA.
// Built on SDL2 events; key and mouse events are queued as key and mouse messages (a move right
// after a move with the same buttons replaces it, as Windows coalesces moves), a drop of files
// as WM_DROPFILES for a window that takes them, window events
// sent on the way, and the end of the session (SIGTERM, SIGINT, SIGHUP) sent as every window's
// close command. An SDL event is taken only while the queue has room for the message it may
// make, so no message is ever dropped: the rest wait in SDL's own queue.
// Leaves out: GetMessage and waiting, timers, WM_PAINT, sent messages from other threads,
// character messages (the viewer reads none), the scan codes in key messages, the fourth and
// fifth buttons, double clicks and the sideways wheel.
#include <algorithm>
#include <cassert>

#include "platform/sdl/standin_sdl.h"

namespace {

constexpr int STANDIN_QUEUE_LENGTH = 256;
// A key message's lParam: the repeat count in the low word, then these bits.
constexpr uint32_t KEY_REPEAT_ONE = 1u;
constexpr uint32_t KEY_CONTEXT_ALT = 1u << 29;   // Alt was down
constexpr uint32_t KEY_WAS_DOWN = 1u << 30;      // the key was down before this message
constexpr uint32_t KEY_GOING_UP = 1u << 31;      // a key-up

struct SdlMessageQueue {
  MSG items[STANDIN_QUEUE_LENGTH];
  int head;
  int count;
};

struct SdlMessagesState {
  SdlMessageQueue input;  // Key and mouse messages made from SDL events
  bool quitPending;
  int quitCode;
  Uint32 buttons;  // SDL's mask of the mouse buttons held, as its events told
};

SdlMessagesState sdlMessages = {};

bool SdlQueueHasRoom(const SdlMessageQueue& queue) { return queue.count < STANDIN_QUEUE_LENGTH; }

// Appends a message; the caller has made sure there is room.
void SdlQueuePush(SdlMessageQueue* queue, const MSG& msg) {
  assert(SdlQueueHasRoom(*queue));
  queue->items[(queue->head + queue->count) % STANDIN_QUEUE_LENGTH] = msg;
  ++queue->count;
}

bool SdlMessageMatches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
  if (window != nullptr && msg.hwnd != window) return false;
  if (filterMin == 0 && filterMax == 0) return true;
  return msg.message >= filterMin && msg.message <= filterMax;
}

// Takes (or, without PM_REMOVE, copies) the first message that passes the filters.
bool SdlQueueTake(SdlMessageQueue* queue, MSG* out, HWND window, UINT filterMin, UINT filterMax,
                  bool remove) {
  for (int i = 0; i < queue->count; ++i) {
    int index = (queue->head + i) % STANDIN_QUEUE_LENGTH;
    if (!SdlMessageMatches(queue->items[index], window, filterMin, filterMax)) continue;
    *out = queue->items[index];
    if (!remove) return true;
    for (int j = i; j > 0; --j) {
      queue->items[(queue->head + j) % STANDIN_QUEUE_LENGTH] =
          queue->items[(queue->head + j - 1) % STANDIN_QUEUE_LENGTH];
    }
    queue->head = (queue->head + 1) % STANDIN_QUEUE_LENGTH;
    --queue->count;
    return true;
  }
  return false;
}

// Drops the queued messages of a window that is gone (and the drops they carry).
void SdlQueueForget(SdlMessageQueue* queue, HWND window) {
  SdlMessageQueue kept = {};
  for (int i = 0; i < queue->count; ++i) {
    const MSG& item = queue->items[(queue->head + i) % STANDIN_QUEUE_LENGTH];
    if (item.hwnd != window) {
      SdlQueuePush(&kept, item);
    } else if (item.message == WM_DROPFILES) {
      DragFinish(reinterpret_cast<HDROP>(item.wParam));
    }
  }
  *queue = kept;
}

MSG SdlMakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg = {};
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = SDL_GetTicks();
  int x = 0;
  int y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  msg.pt.x = x;
  msg.pt.y = y;
  return msg;
}

// Queues the key message Windows would post for one SDL key event (the queue has room for it).
void SdlQueueKeyEvent(const SDL_KeyboardEvent& event) {
  HWND window = SdlKeyWindow(event.windowID);
  if (window == nullptr) return;
  int virtualKey = SdlKeyToVirtualKey(&event.keysym);
  if (virtualKey == 0) return;
  bool down = event.type == SDL_KEYDOWN;
  Uint16 modifiers = event.keysym.mod;
  bool alt = (modifiers & KMOD_ALT) != 0;
  bool ctrl = (modifiers & KMOD_CTRL) != 0;
  // Keys with Alt (but not AltGr-style Ctrl+Alt), Alt itself and F10 are system keys.
  bool system = (alt && !ctrl) || virtualKey == VK_F10 || (virtualKey == VK_MENU && !ctrl);
  UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  uint32_t lParam = KEY_REPEAT_ONE;
  if (alt) lParam |= KEY_CONTEXT_ALT;
  if (!down || event.repeat != 0) lParam |= KEY_WAS_DOWN;
  if (!down) lParam |= KEY_GOING_UP;
  MSG msg = SdlMakeMessage(window, message, static_cast<WPARAM>(virtualKey),
                           static_cast<LPARAM>(static_cast<int32_t>(lParam)));
  SdlQueuePush(&sdlMessages.input, msg);
}

// MK_ flags of the buttons in an SDL button mask, with Shift and Ctrl as the keyboard holds them.
WPARAM SdlMouseKeyFlags(Uint32 buttons) {
  WPARAM flags = 0;
  if ((buttons & SDL_BUTTON_LMASK) != 0) flags |= MK_LBUTTON;
  if ((buttons & SDL_BUTTON_RMASK) != 0) flags |= MK_RBUTTON;
  if ((buttons & SDL_BUTTON_MMASK) != 0) flags |= MK_MBUTTON;
  const SDL_Keymod modifiers = SDL_GetModState();
  if ((modifiers & KMOD_SHIFT) != 0) flags |= MK_SHIFT;
  if ((modifiers & KMOD_CTRL) != 0) flags |= MK_CONTROL;
  return flags;
}

// A point as Windows packs it into lParam: x in the low word, y in the high one.
LPARAM SdlPointParam(int x, int y) {
  return static_cast<LPARAM>(static_cast<int32_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) |
                                                  static_cast<uint32_t>(x & 0xFFFF)));
}

// Queues WM_xBUTTONDOWN or WM_xBUTTONUP for the left, right or middle button, with the buttons
// held after it (the queue has room for it).
void SdlQueueButtonEvent(const SDL_MouseButtonEvent& event) {
  const bool down = event.type == SDL_MOUSEBUTTONDOWN;
  UINT message = 0;
  switch (event.button) {
    case SDL_BUTTON_LEFT: message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case SDL_BUTTON_RIGHT: message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    case SDL_BUTTON_MIDDLE: message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    default: return;
  }
  if (down) {
    sdlMessages.buttons |= SDL_BUTTON(event.button);
  } else {
    sdlMessages.buttons &= ~SDL_BUTTON(event.button);
  }
  HWND window = SdlKeyWindow(event.windowID);
  if (window == nullptr) return;
  SdlQueuePush(&sdlMessages.input, SdlMakeMessage(window, message, SdlMouseKeyFlags(sdlMessages.buttons),
                                                  SdlPointParam(event.x, event.y)));
}

// Queues WM_MOUSEMOVE, or puts the new place into a move queued last with the same buttons.
void SdlQueueMotionEvent(const SDL_MouseMotionEvent& event) {
  sdlMessages.buttons = event.state;
  HWND window = SdlKeyWindow(event.windowID);
  if (window == nullptr) return;
  const MSG msg = SdlMakeMessage(window, WM_MOUSEMOVE, SdlMouseKeyFlags(event.state), SdlPointParam(event.x, event.y));
  SdlMessageQueue& queue = sdlMessages.input;
  if (queue.count > 0) {
    MSG& last = queue.items[(queue.head + queue.count - 1) % STANDIN_QUEUE_LENGTH];
    if (last.message == WM_MOUSEMOVE && last.hwnd == window && last.wParam == msg.wParam) {
      last = msg;
      return;
    }
  }
  SdlQueuePush(&queue, msg);
}

// Queues WM_MOUSEWHEEL: the notches, forward positive, in WHEEL_DELTA units in the high word of
// wParam over the MK_ flags, and the pointer's place on the screen in lParam.
void SdlQueueWheelEvent(const SDL_MouseWheelEvent& event) {
  const int64_t notches = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -int64_t{event.y} : event.y;
  if (notches == 0) return;
  HWND window = SdlKeyWindow(event.windowID);
  if (window == nullptr) return;
  // The high word holds a signed 16-bit turn; a larger one is cut to it.
  const int64_t delta = std::max<int64_t>(-32768, std::min<int64_t>(32767, notches * WHEEL_DELTA));
  const WPARAM wParam = (static_cast<WPARAM>(static_cast<uint16_t>(delta)) << 16) | SdlMouseKeyFlags(sdlMessages.buttons);
  int x = 0;
  int y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  SdlQueuePush(&sdlMessages.input, SdlMakeMessage(window, WM_MOUSEWHEEL, wParam, SdlPointParam(x, y)));
}

// Queues WM_DROPFILES once a drop is complete, for a window that takes dropped files (the queue
// has room for it); a drop no window takes is given back.
void SdlQueueDropEvent(const SDL_DropEvent& event) {
  HDROP drop = SdlGatherDrop(event);
  if (drop == nullptr) return;
  HWND window = SdlDropWindow(event.windowID);
  if (window == nullptr) {
    DragFinish(drop);
    return;
  }
  SdlQueuePush(&sdlMessages.input, SdlMakeMessage(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0));
}

// Handles one SDL event: window events are sent at once, key, mouse and drop events queued (at
// most one message).
void SdlHandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_WINDOWEVENT:
      SdlSendWindowEvent(event.window);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      SdlQueueKeyEvent(event.key);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      SdlQueueButtonEvent(event.button);
      break;
    case SDL_MOUSEMOTION:
      SdlQueueMotionEvent(event.motion);
      break;
    case SDL_MOUSEWHEEL:
      SdlQueueWheelEvent(event.wheel);
      break;
    case SDL_DROPBEGIN:
    case SDL_DROPFILE:
    case SDL_DROPTEXT:
    case SDL_DROPCOMPLETE:
      SdlQueueDropEvent(event.drop);
      break;
    default:
      // SDL_QUIT is ignored: closing comes through SDL_WINDOWEVENT_CLOSE.
      break;
  }
}

}  // namespace

void SdlForgetWindowMessages(HWND window) { SdlQueueForget(&sdlMessages.input, window); }

extern "C" {

// Key and mouse messages from SDL's events (window events are sent on the way), then WM_QUIT. SDL's events
// are taken only while the queue has room; a full queue that holds nothing the filters pass
// leaves them in SDL's queue for a later call.
BOOL WINAPI PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
  if (msg == nullptr) return FALSE;
  bool removing = (remove & PM_REMOVE) != 0;
  // The end of the session closes the windows there are; one that comes while there are none
  // waits for the next window.
  if (SdlEndRequested() && SdlCloseEveryWindow()) SdlTakeEndRequest();
  for (;;) {
    if (SdlQueueTake(&sdlMessages.input, msg, window, filterMin, filterMax, removing)) return TRUE;
    if (!SdlVideoStarted() || !SdlQueueHasRoom(sdlMessages.input)) break;
    SDL_Event event;
    if (SDL_PollEvent(&event) == 0) break;
    SdlHandleEvent(event);
  }
  if (sdlMessages.quitPending && SdlMessageMatches(SdlMakeMessage(nullptr, WM_QUIT, 0, 0), nullptr,
                                               filterMin, filterMax)) {
    *msg = SdlMakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(sdlMessages.quitCode), 0);
    if (removing) sdlMessages.quitPending = false;
    return TRUE;
  }
  return FALSE;
}

// Makes no character messages: the viewer reads none.
BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }

// Calls the procedure of the message's window; messages for no window (WM_QUIT) go nowhere.
LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  if (msg == nullptr || msg->hwnd == nullptr) return 0;
  return SdlSendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

// WM_QUIT comes out of PeekMessageA once the queue holds nothing else.
void WINAPI PostQuitMessage(int exitCode) {
  sdlMessages.quitPending = true;
  sdlMessages.quitCode = exitCode;
}

// Alt+F4 becomes SC_CLOSE, SC_CLOSE becomes WM_CLOSE and WM_CLOSE destroys the window; the rest give 0.
LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == VK_F4 && (static_cast<uint32_t>(lParam) & (1u << 29)) != 0) {
        SdlSendMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SdlSendMessage(window, WM_CLOSE, 0, 0);
      return 0;
    default:
      return 0;
  }
}

}  // extern "C"
