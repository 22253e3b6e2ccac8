// The native stand-in's message queue (256 messages) flooded with 1000 key presses pushed into SDL
// at once for the viewer's window (which the pixel tests open for the whole program), then read
// with PeekMessageA: first only the key-ups, so that the key-downs, which that filter does not
// pass, pile up in the queue; then everything. Every message arrives, the last key-up included.
#include "platform/sdl/standin_sdl.h"
#include "records/app_state.h"

#include <gtest/gtest.h>

namespace {

TEST(MessageFlood, EveryKeyMessageArrives) {
  SDL_Event event = {};
  event.key.windowID = SDL_GetWindowID(SdlWindowFromHandle(windowContext.window));
  for (int i = 0; i < 2000; ++i) {  // A down and an up each time, the last press on Z
    event.type = i % 2 == 0 ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.keysym.sym = i < 1998 ? SDLK_a : SDLK_z;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }
  int downs = 0, ups = 0;
  MSG msg = {}, last = {};
  for (UINT filter : {static_cast<UINT>(WM_KEYUP), 0u}) {
    while (PeekMessageA(&msg, windowContext.window, filter, filter, PM_REMOVE)) {
      downs += msg.message == WM_KEYDOWN;
      ups += msg.message == WM_KEYUP;
      last = msg;
    }
  }
  EXPECT_EQ(downs, 1000);
  EXPECT_EQ(ups, 1000);
  EXPECT_EQ(last.message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(last.wParam, static_cast<WPARAM>('Z'));
}

}  // namespace
