// Windows' virtual-key codes, scan codes and TranslateMessage characters for SDL keys.
// Built on SDL2's key symbols and scan codes.
// Leaves out: keyboard layouts other than US English for characters, dead keys, IME, OEM extras.
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
    {SDL_SCANCODE_MINUS, 0xBD, 0x0C}, {SDL_SCANCODE_EQUALS, 0xBB, 0x0D},
    {SDL_SCANCODE_BACKSPACE, VK_BACK, 0x0E}, {SDL_SCANCODE_TAB, VK_TAB, 0x0F},
    {SDL_SCANCODE_Q, 'Q', 0x10}, {SDL_SCANCODE_W, 'W', 0x11}, {SDL_SCANCODE_E, 'E', 0x12},
    {SDL_SCANCODE_R, 'R', 0x13}, {SDL_SCANCODE_T, 'T', 0x14}, {SDL_SCANCODE_Y, 'Y', 0x15},
    {SDL_SCANCODE_U, 'U', 0x16}, {SDL_SCANCODE_I, 'I', 0x17}, {SDL_SCANCODE_O, 'O', 0x18},
    {SDL_SCANCODE_P, 'P', 0x19},
    {SDL_SCANCODE_LEFTBRACKET, 0xDB, 0x1A}, {SDL_SCANCODE_RIGHTBRACKET, 0xDD, 0x1B},
    {SDL_SCANCODE_RETURN, VK_RETURN, 0x1C}, {SDL_SCANCODE_LCTRL, VK_CONTROL, 0x1D},
    {SDL_SCANCODE_A, 'A', 0x1E}, {SDL_SCANCODE_S, 'S', 0x1F}, {SDL_SCANCODE_D, 'D', 0x20},
    {SDL_SCANCODE_F, 'F', 0x21}, {SDL_SCANCODE_G, 'G', 0x22}, {SDL_SCANCODE_H, 'H', 0x23},
    {SDL_SCANCODE_J, 'J', 0x24}, {SDL_SCANCODE_K, 'K', 0x25}, {SDL_SCANCODE_L, 'L', 0x26},
    {SDL_SCANCODE_SEMICOLON, 0xBA, 0x27}, {SDL_SCANCODE_APOSTROPHE, 0xDE, 0x28},
    {SDL_SCANCODE_GRAVE, 0xC0, 0x29}, {SDL_SCANCODE_LSHIFT, VK_SHIFT, 0x2A},
    {SDL_SCANCODE_BACKSLASH, 0xDC, 0x2B},
    {SDL_SCANCODE_Z, 'Z', 0x2C}, {SDL_SCANCODE_X, 'X', 0x2D}, {SDL_SCANCODE_C, 'C', 0x2E},
    {SDL_SCANCODE_V, 'V', 0x2F}, {SDL_SCANCODE_B, 'B', 0x30}, {SDL_SCANCODE_N, 'N', 0x31},
    {SDL_SCANCODE_M, 'M', 0x32},
    {SDL_SCANCODE_COMMA, 0xBC, 0x33}, {SDL_SCANCODE_PERIOD, 0xBE, 0x34},
    {SDL_SCANCODE_SLASH, 0xBF, 0x35}, {SDL_SCANCODE_RSHIFT, VK_SHIFT, 0x36},
    {SDL_SCANCODE_KP_MULTIPLY, 0x6A, 0x37}, {SDL_SCANCODE_LALT, VK_MENU, 0x38},
    {SDL_SCANCODE_SPACE, VK_SPACE, 0x39}, {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, 0x3A},
    {SDL_SCANCODE_F1, VK_F1, 0x3B}, {SDL_SCANCODE_F2, VK_F2, 0x3C}, {SDL_SCANCODE_F3, VK_F3, 0x3D},
    {SDL_SCANCODE_F4, VK_F4, 0x3E}, {SDL_SCANCODE_F5, VK_F5, 0x3F}, {SDL_SCANCODE_F6, VK_F6, 0x40},
    {SDL_SCANCODE_F7, VK_F7, 0x41}, {SDL_SCANCODE_F8, VK_F8, 0x42}, {SDL_SCANCODE_F9, VK_F9, 0x43},
    {SDL_SCANCODE_F10, VK_F10, 0x44},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x90, 0x145}, {SDL_SCANCODE_SCROLLLOCK, 0x91, 0x46},
    {SDL_SCANCODE_KP_7, 0x67, 0x47}, {SDL_SCANCODE_KP_8, 0x68, 0x48}, {SDL_SCANCODE_KP_9, 0x69, 0x49},
    {SDL_SCANCODE_KP_MINUS, 0x6D, 0x4A},
    {SDL_SCANCODE_KP_4, 0x64, 0x4B}, {SDL_SCANCODE_KP_5, 0x65, 0x4C}, {SDL_SCANCODE_KP_6, 0x66, 0x4D},
    {SDL_SCANCODE_KP_PLUS, 0x6B, 0x4E},
    {SDL_SCANCODE_KP_1, 0x61, 0x4F}, {SDL_SCANCODE_KP_2, 0x62, 0x50}, {SDL_SCANCODE_KP_3, 0x63, 0x51},
    {SDL_SCANCODE_KP_0, 0x60, 0x52}, {SDL_SCANCODE_KP_PERIOD, 0x6E, 0x53},
    {SDL_SCANCODE_F11, VK_F11, 0x57}, {SDL_SCANCODE_F12, VK_F12, 0x58},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN, 0x11C}, {SDL_SCANCODE_RCTRL, VK_CONTROL, 0x11D},
    {SDL_SCANCODE_KP_DIVIDE, 0x6F, 0x135}, {SDL_SCANCODE_RALT, VK_MENU, 0x138},
    {SDL_SCANCODE_PAUSE, VK_PAUSE, 0x45},
    {SDL_SCANCODE_HOME, VK_HOME, 0x147}, {SDL_SCANCODE_UP, VK_UP, 0x148},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR, 0x149}, {SDL_SCANCODE_LEFT, VK_LEFT, 0x14B},
    {SDL_SCANCODE_RIGHT, VK_RIGHT, 0x14D}, {SDL_SCANCODE_END, VK_END, 0x14F},
    {SDL_SCANCODE_DOWN, VK_DOWN, 0x150}, {SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0x151},
    {SDL_SCANCODE_INSERT, VK_INSERT, 0x152}, {SDL_SCANCODE_DELETE, VK_DELETE, 0x153},
    {SDL_SCANCODE_LGUI, 0x5B, 0x15B}, {SDL_SCANCODE_RGUI, 0x5C, 0x15C},
    {SDL_SCANCODE_APPLICATION, 0x5D, 0x15D},
};

// US-layout characters of the punctuation keys, unshifted and shifted.
struct SdlCharRow {
  int virtualKey;
  char plain;
  char shifted;
};

const SdlCharRow kSdlCharRows[] = {
    {'1', '1', '!'}, {'2', '2', '@'}, {'3', '3', '#'}, {'4', '4', '$'}, {'5', '5', '%'},
    {'6', '6', '^'}, {'7', '7', '&'}, {'8', '8', '*'}, {'9', '9', '('}, {'0', '0', ')'},
    {0xBA, ';', ':'}, {0xBB, '=', '+'}, {0xBC, ',', '<'}, {0xBD, '-', '_'}, {0xBE, '.', '>'},
    {0xBF, '/', '?'}, {0xC0, '`', '~'}, {0xDB, '[', '{'}, {0xDC, '\\', '|'}, {0xDD, ']', '}'},
    {0xDE, '\'', '"'}, {VK_SPACE, ' ', ' '}, {0x6A, '*', '*'}, {0x6B, '+', '+'},
    {0x6D, '-', '-'}, {0x6F, '/', '/'},
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

// Letters honour Shift and Caps Lock and become control codes with Ctrl, as TranslateMessage does.
int SdlVirtualKeyToCharacter(int virtualKey, Uint16 modifiers) {
  bool shift = (modifiers & KMOD_SHIFT) != 0;
  bool ctrl = (modifiers & KMOD_CTRL) != 0;
  bool caps = (modifiers & KMOD_CAPS) != 0;
  if (virtualKey >= 'A' && virtualKey <= 'Z') {
    if (ctrl) return virtualKey - 'A' + 1;
    return (shift != caps) ? virtualKey : virtualKey - 'A' + 'a';
  }
  switch (virtualKey) {
    case VK_ESCAPE: return 27;
    case VK_RETURN: return ctrl ? 10 : 13;
    case VK_BACK: return ctrl ? 127 : 8;
    case VK_TAB: return ctrl ? -1 : 9;
    default: break;
  }
  if (ctrl) return -1;
  if (virtualKey >= 0x60 && virtualKey <= 0x69) {
    return (modifiers & KMOD_NUM) != 0 ? '0' + (virtualKey - 0x60) : -1;
  }
  if (virtualKey == 0x6E) return (modifiers & KMOD_NUM) != 0 ? '.' : -1;
  for (const SdlCharRow& row : kSdlCharRows) {
    if (row.virtualKey == virtualKey) return shift ? row.shifted : row.plain;
  }
  return -1;
}
