// Windows' virtual-key codes, scan codes and TranslateMessage characters for SDL keys.
// Built on SDL2's key symbols and scan codes.
// Leaves out: keys the viewer never reads (punctuation, keypad, editing and lock keys), characters
// of shifted digits, dead keys, IME.
#include "platform/sdl/standin_sdl.h"

namespace {

struct SdlKeyRow {
  SDL_Scancode scancode;
  int virtualKey;
  int scanCode;  // Set-1 code, 0x100 added for the extended (E0-prefixed) keys
};

// Keys by position; letters are looked up by symbol first so they follow the layout as on Windows.
const SdlKeyRow kSdlKeyRows[] = {
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0x01},
    {SDL_SCANCODE_1, '1', 0x02}, {SDL_SCANCODE_2, '2', 0x03}, {SDL_SCANCODE_3, '3', 0x04},
    {SDL_SCANCODE_4, '4', 0x05}, {SDL_SCANCODE_5, '5', 0x06}, {SDL_SCANCODE_6, '6', 0x07},
    {SDL_SCANCODE_7, '7', 0x08}, {SDL_SCANCODE_8, '8', 0x09}, {SDL_SCANCODE_9, '9', 0x0A},
    {SDL_SCANCODE_0, '0', 0x0B},
    {SDL_SCANCODE_Q, 'Q', 0x10}, {SDL_SCANCODE_W, 'W', 0x11}, {SDL_SCANCODE_E, 'E', 0x12},
    {SDL_SCANCODE_R, 'R', 0x13}, {SDL_SCANCODE_T, 'T', 0x14}, {SDL_SCANCODE_Y, 'Y', 0x15},
    {SDL_SCANCODE_U, 'U', 0x16}, {SDL_SCANCODE_I, 'I', 0x17}, {SDL_SCANCODE_O, 'O', 0x18},
    {SDL_SCANCODE_P, 'P', 0x19},
    {SDL_SCANCODE_RETURN, VK_RETURN, 0x1C}, {SDL_SCANCODE_LCTRL, VK_CONTROL, 0x1D},
    {SDL_SCANCODE_A, 'A', 0x1E}, {SDL_SCANCODE_S, 'S', 0x1F}, {SDL_SCANCODE_D, 'D', 0x20},
    {SDL_SCANCODE_F, 'F', 0x21}, {SDL_SCANCODE_G, 'G', 0x22}, {SDL_SCANCODE_H, 'H', 0x23},
    {SDL_SCANCODE_J, 'J', 0x24}, {SDL_SCANCODE_K, 'K', 0x25}, {SDL_SCANCODE_L, 'L', 0x26},
    {SDL_SCANCODE_LSHIFT, VK_SHIFT, 0x2A},
    {SDL_SCANCODE_Z, 'Z', 0x2C}, {SDL_SCANCODE_X, 'X', 0x2D}, {SDL_SCANCODE_C, 'C', 0x2E},
    {SDL_SCANCODE_V, 'V', 0x2F}, {SDL_SCANCODE_B, 'B', 0x30}, {SDL_SCANCODE_N, 'N', 0x31},
    {SDL_SCANCODE_M, 'M', 0x32},
    {SDL_SCANCODE_RSHIFT, VK_SHIFT, 0x36}, {SDL_SCANCODE_LALT, VK_MENU, 0x38},
    {SDL_SCANCODE_SPACE, VK_SPACE, 0x39},
    {SDL_SCANCODE_F1, VK_F1, 0x3B}, {SDL_SCANCODE_F2, VK_F2, 0x3C}, {SDL_SCANCODE_F3, VK_F3, 0x3D},
    {SDL_SCANCODE_F4, VK_F4, 0x3E}, {SDL_SCANCODE_F5, VK_F5, 0x3F}, {SDL_SCANCODE_F6, VK_F6, 0x40},
    {SDL_SCANCODE_F7, VK_F7, 0x41}, {SDL_SCANCODE_F8, VK_F8, 0x42}, {SDL_SCANCODE_F9, VK_F9, 0x43},
    {SDL_SCANCODE_F10, VK_F10, 0x44}, {SDL_SCANCODE_F11, VK_F11, 0x57}, {SDL_SCANCODE_F12, VK_F12, 0x58},
    {SDL_SCANCODE_RCTRL, VK_CONTROL, 0x11D}, {SDL_SCANCODE_RALT, VK_MENU, 0x138},
    {SDL_SCANCODE_HOME, VK_HOME, 0x147}, {SDL_SCANCODE_UP, VK_UP, 0x148},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR, 0x149}, {SDL_SCANCODE_LEFT, VK_LEFT, 0x14B},
    {SDL_SCANCODE_RIGHT, VK_RIGHT, 0x14D}, {SDL_SCANCODE_END, VK_END, 0x14F},
    {SDL_SCANCODE_DOWN, VK_DOWN, 0x150}, {SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0x151},
};

const SdlKeyRow* SdlFindKeyRow(SDL_Scancode scancode) {
  for (const SdlKeyRow& row : kSdlKeyRows) {
    if (row.scancode == scancode) return &row;
  }
  return nullptr;
}

}  // namespace

// Letters go by the symbol the layout gives them, everything else (digits included) by position.
int SdlKeyToVirtualKey(const SDL_Keysym* key) {
  if (key == nullptr) return 0;
  if (key->sym >= SDLK_a && key->sym <= SDLK_z) return 'A' + (key->sym - SDLK_a);
  const SdlKeyRow* row = SdlFindKeyRow(key->scancode);
  return row != nullptr ? row->virtualKey : 0;
}

// The scan code that goes into bits 16 to 24 of a key message's lParam.
int SdlKeyToScanCode(const SDL_Keysym* key) {
  if (key == nullptr) return 0;
  const SdlKeyRow* row = SdlFindKeyRow(key->scancode);
  return row != nullptr ? row->scanCode : 0;
}

// Letters honour Shift and Caps Lock and become control codes with Ctrl, as TranslateMessage does;
// digits and the space bar give themselves.
int SdlVirtualKeyToCharacter(int virtualKey, Uint16 modifiers) {
  bool shift = (modifiers & KMOD_SHIFT) != 0;
  bool ctrl = (modifiers & KMOD_CTRL) != 0;
  bool caps = (modifiers & KMOD_CAPS) != 0;
  if (virtualKey >= 'A' && virtualKey <= 'Z') {
    if (ctrl) return virtualKey - 'A' + 1;
    return (shift != caps) ? virtualKey : virtualKey - 'A' + 'a';
  }
  if (virtualKey == VK_ESCAPE) return 27;
  if (virtualKey == VK_RETURN) return ctrl ? 10 : 13;
  if (virtualKey == VK_SPACE && !ctrl) return ' ';
  if (virtualKey >= '0' && virtualKey <= '9' && !ctrl && !shift) return virtualKey;
  return -1;
}
