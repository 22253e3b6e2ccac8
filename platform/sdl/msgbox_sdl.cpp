// USER32's MessageBoxA.
// Built on SDL2's SDL_ShowMessageBox (works before SDL_Init, always without an owner window);
// a box that cannot be shown (no display) goes to standard error instead.
// Leaves out: owner windows, drawn icons, button sets other than OK and Yes/No, help buttons, default-button flags.
#include <cstdio>
#include <cstdlib>

#include "platform/sdl/standin_sdl.h"

namespace {

constexpr UINT STANDIN_BUTTON_MASK = 0x0000000F;
constexpr UINT STANDIN_ICON_MASK = 0x000000F0;
// What SDL returns when the box was closed by the window manager.
constexpr int STANDIN_CLOSED_BUTTON = -1;

const Uint32 kSdlReturn = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
const Uint32 kSdlEscape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;

struct SdlButtonSet {
  int count;
  SDL_MessageBoxButtonData buttons[2];
  int closedResult;  // The answer when the box is closed without a button
};

// The buttons of MB_YESNO or, for any other type, MB_OK; Return picks the first and Escape the last, as on Windows.
SdlButtonSet SdlButtonsForType(UINT type) {
  if ((type & STANDIN_BUTTON_MASK) == MB_YESNO) {
    return {2, {{kSdlReturn, IDYES, "Yes"}, {kSdlEscape, IDNO, "No"}}, IDNO};
  }
  return {1, {{kSdlReturn | kSdlEscape, IDOK, "OK"}}, IDOK};
}

Uint32 SdlIconFlagsForType(UINT type) {
  switch (type & STANDIN_ICON_MASK) {
    case MB_ICONHAND: return SDL_MESSAGEBOX_ERROR;
    case MB_ICONEXCLAMATION: return SDL_MESSAGEBOX_WARNING;
    case MB_ICONASTERISK:
    case MB_ICONQUESTION: return SDL_MESSAGEBOX_INFORMATION;
    default: return 0;
  }
}

// >>test hook: the message-box log, compiled into test builds only (VIEWER_TEST_HOOKS, which
// tests/CMakeLists.txt sets; the viewer preset, which makes the packages, builds without it).
// Why: the end-to-end suites must read each box's caption, text and type, and SDL draws its box
// text where no X tool can read it; under Wine, Wine's own +msgbox trace gives the same.
// With VIEWER_MESSAGEBOX_LOG naming a file, each box adds "caption|text|type" to it (text with
// backslash and line feed written as \\ and \n, type as 0x%08X) before it shows.
#ifdef VIEWER_TEST_HOOKS
void SdlLogMessageBox(const char* caption, const char* text, UINT type) {
  const char* path = std::getenv("VIEWER_MESSAGEBOX_LOG");
  if (path == nullptr || path[0] == '\0') return;
  FILE* file = std::fopen(path, "a");
  if (file == nullptr) return;
  std::fprintf(file, "%s|", caption);
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '\n') {
      std::fputs("\\n", file);
    } else if (*c == '\\') {
      std::fputs("\\\\", file);
    } else {
      std::fputc(*c, file);
    }
  }
  std::fprintf(file, "|0x%08X\n", type);
  std::fclose(file);
}
#else
void SdlLogMessageBox(const char*, const char*, UINT) {}
#endif
// <<test hook

}  // namespace

extern "C" {

// A modal box with the buttons and icon asked for; the chosen button's ID, or 0 if no box could be shown.
int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  const char* shownText = text != nullptr ? text : "";
  const char* shownCaption = caption != nullptr ? caption : "Error";
  SdlLogMessageBox(shownCaption, shownText, type);
  SdlButtonSet set = SdlButtonsForType(type);
  SDL_MessageBoxData data = {};
  data.flags = SdlIconFlagsForType(type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  data.window = nullptr;
  data.title = shownCaption;
  data.message = shownText;
  data.numbuttons = set.count;
  data.buttons = set.buttons;
  int button = 0;
  if (SDL_ShowMessageBox(&data, &button) != 0) {
    std::fprintf(stderr, "%s: %s\n", shownCaption, shownText);
    return 0;
  }
  return button == STANDIN_CLOSED_BUTTON ? set.closedResult : button;
}

}  // extern "C"
