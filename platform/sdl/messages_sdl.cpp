// USER32's message queue: PeekMessageA, TranslateMessage, DispatchMessageA, PostQuitMessage, DefWindowProcA.
// Built on SDL2 events; key events are queued as key messages, window events sent on the way, and
// the end of the session (SIGTERM, SIGINT, SIGHUP) sent as every window's close command.
// An SDL event is taken only while the queue has room for the message it may make, so no message
// is ever dropped: the rest wait in SDL's own queue.
// Leaves out: GetMessage and waiting, timers, WM_PAINT, mouse messages, sent messages from other threads,
// character messages (the viewer reads none) and the scan codes in key messages.
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
  SdlMessageQueue input;  // Key messages made from SDL events
  bool quitPending;
  int quitCode;
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

// Drops the queued messages of a window that is gone.
void SdlQueueForget(SdlMessageQueue* queue, HWND window) {
  SdlMessageQueue kept = {};
  for (int i = 0; i < queue->count; ++i) {
    const MSG& item = queue->items[(queue->head + i) % STANDIN_QUEUE_LENGTH];
    if (item.hwnd != window) SdlQueuePush(&kept, item);
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

// Handles one SDL event: window events are sent at once, key events queued (at most one message).
void SdlHandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_WINDOWEVENT:
      SdlSendWindowEvent(event.window);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      SdlQueueKeyEvent(event.key);
      break;
    default:
      // SDL_QUIT is ignored: closing comes through SDL_WINDOWEVENT_CLOSE.
      break;
  }
}

}  // namespace

void SdlForgetWindowMessages(HWND window) { SdlQueueForget(&sdlMessages.input, window); }

extern "C" {

// Key messages from SDL's events (window events are sent on the way), then WM_QUIT. SDL's events
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
