// Far more key events than the native stand-in's message queue holds, pushed into SDL at once for
// a real window, then read with PeekMessageA: first only the key-ups (the key-downs, which that
// filter does not pass, pile up in the queue), then everything. Every message arrives, the
// last key-up included.
#include "platform/sdl/standin_sdl.h"

#include <gtest/gtest.h>

namespace {

constexpr int kPresses = 1000;  // Four times the queue's 256 messages, in each direction

LRESULT CALLBACK FloodProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void PushKey(Uint32 type, Uint32 windowId, SDL_Keycode key) {
  SDL_Event event = {};
  event.key.type = type;
  event.key.windowID = windowId;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.sym = key;
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

struct Seen {
  int downs = 0;
  int ups = 0;
  MSG last = {};
};

// Takes the window's messages that pass the filter until none is left.
void Drain(HWND window, UINT filterMin, UINT filterMax, Seen* seen) {
  MSG msg = {};
  while (PeekMessageA(&msg, window, filterMin, filterMax, PM_REMOVE)) {
    seen->downs += msg.message == WM_KEYDOWN;
    seen->ups += msg.message == WM_KEYUP;
    seen->last = msg;
  }
}

TEST(MessageFlood, EveryKeyMessageArrives) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = FloodProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "Flood";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  HWND window = CreateWindowExA(0, "Flood", "Flood", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  Uint32 id = SDL_GetWindowID(SdlWindowFromHandle(window));
  for (int i = 0; i < kPresses; ++i) {
    SDL_Keycode key = i + 1 < kPresses ? SDLK_a : SDLK_z;
    PushKey(SDL_KEYDOWN, id, key);
    PushKey(SDL_KEYUP, id, key);
  }

  Seen seen;
  Drain(window, WM_KEYUP, WM_KEYUP, &seen);
  EXPECT_EQ(seen.downs, 0);
  Drain(window, 0, 0, &seen);
  EXPECT_EQ(seen.downs, 1000);
  EXPECT_EQ(seen.ups, 1000);
  EXPECT_EQ(seen.last.message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(seen.last.wParam, static_cast<WPARAM>('Z'));

  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_TRUE(UnregisterClassA("Flood", windowClass.hInstance));
}

}  // namespace
