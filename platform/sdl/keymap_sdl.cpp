// Windows' virtual-key codes for SDL keys.
// Built on SDL2's key symbols and scan codes.
// Leaves out: keys the viewer and DefWindowProcA never read (the other letters, punctuation,
// keypad, editing and lock keys, most function keys), scan codes, characters, dead keys, IME.
#include "platform/sdl/standin_sdl.h"

namespace {

struct SdlKeyRow {
  SDL_Scancode scancode;
  int virtualKey;
};

// Keys by position; letters are looked up by symbol first so they follow the layout as on Windows.
const SdlKeyRow STANDIN_KEY_ROWS[] = {
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE}, {SDL_SCANCODE_SPACE, VK_SPACE}, {SDL_SCANCODE_1, '1'}, {SDL_SCANCODE_2, '2'}, {SDL_SCANCODE_3, '3'},
    {SDL_SCANCODE_4, '4'}, {SDL_SCANCODE_5, '5'}, {SDL_SCANCODE_6, '6'}, {SDL_SCANCODE_7, '7'},
    {SDL_SCANCODE_8, '8'}, {SDL_SCANCODE_9, '9'}, {SDL_SCANCODE_0, '0'},
    {SDL_SCANCODE_Q, 'Q'}, {SDL_SCANCODE_W, 'W'}, {SDL_SCANCODE_R, 'R'}, {SDL_SCANCODE_A, 'A'},
    {SDL_SCANCODE_S, 'S'}, {SDL_SCANCODE_D, 'D'}, {SDL_SCANCODE_Z, 'Z'},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT}, {SDL_SCANCODE_RSHIFT, VK_SHIFT},
    {SDL_SCANCODE_LALT, VK_MENU}, {SDL_SCANCODE_RALT, VK_MENU},
    {SDL_SCANCODE_F1, VK_F1}, {SDL_SCANCODE_F4, VK_F4}, {SDL_SCANCODE_F10, VK_F10},
    {SDL_SCANCODE_UP, VK_UP}, {SDL_SCANCODE_DOWN, VK_DOWN}, {SDL_SCANCODE_LEFT, VK_LEFT},
    {SDL_SCANCODE_RIGHT, VK_RIGHT}, {SDL_SCANCODE_PAGEUP, VK_PRIOR}, {SDL_SCANCODE_PAGEDOWN, VK_NEXT},
};

}  // namespace

// Letters go by the symbol the layout gives them, everything else (digits included) by position.
int SdlKeyToVirtualKey(const SDL_Keysym* key) {
  if (key == nullptr) return 0;
  if (key->sym >= SDLK_a && key->sym <= SDLK_z) return 'A' + (key->sym - SDLK_a);
  for (const SdlKeyRow& row : STANDIN_KEY_ROWS) {
    if (row.scancode == key->scancode) return row.virtualKey;
  }
  return 0;
}
