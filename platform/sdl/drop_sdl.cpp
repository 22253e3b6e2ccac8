// SHELL32's files dropped on a window: DragQueryFileA and DragFinish, over the drops the
// message queue gathers (DragAcceptFiles is a window's flag: windows_sdl.cpp).
// Built on SDL2's drop events: the files of one drop, each an SDL_DROPFILE up to SDL_DROPCOMPLETE,
// become one HDROP, which WM_DROPFILES carries until DragFinish.
// Leaves out: DragQueryPoint, DragQueryFileW (names are SDL's UTF-8 bytes), dropped text.
#include <cstring>
#include <string>
#include <vector>

#include "platform/sdl/standin_sdl.h"

namespace {

// One drop's files, behind its HDROP.
struct SdlDrop {
  std::vector<std::string> files;
};

// The drop whose files are still coming.
struct SdlDropsState {
  SdlDrop* gathering;
};

SdlDropsState sdlDrops = {};

SdlDrop* SdlDropOf(HDROP drop) { return reinterpret_cast<SdlDrop*>(drop); }

}  // namespace

// A dropped file joins the drop under way; once the drop is complete it is handed over. SDL's
// copy of each name (and of dropped text, which is not kept) is freed here.
HDROP SdlGatherDrop(const SDL_DropEvent& event) {
  if (event.type == SDL_DROPFILE && event.file != nullptr) {
    if (sdlDrops.gathering == nullptr) sdlDrops.gathering = new SdlDrop();
    sdlDrops.gathering->files.emplace_back(event.file);
  }
  SDL_free(event.file);
  if (event.type != SDL_DROPCOMPLETE || sdlDrops.gathering == nullptr) return nullptr;
  HDROP drop = reinterpret_cast<HDROP>(sdlDrops.gathering);
  sdlDrops.gathering = nullptr;
  return drop;
}

extern "C" {

// The number of files for index 0xFFFFFFFF; else a file's name length without its NUL when no
// buffer is given, or its name copied (cut to the buffer, NUL included) and the characters
// copied; 0 for an index past the last file.
UINT WINAPI DragQueryFileA(HDROP drop, UINT file, LPSTR name, UINT size) {
  if (drop == nullptr) return 0;
  const std::vector<std::string>& files = SdlDropOf(drop)->files;
  if (file == 0xFFFFFFFFu) return static_cast<UINT>(files.size());
  if (file >= files.size()) return 0;
  const std::string& path = files[file];
  if (name == nullptr) return static_cast<UINT>(path.size());
  if (size == 0) return 0;
  const size_t copied = path.size() < size - 1 ? path.size() : size - 1;
  std::memcpy(name, path.data(), copied);
  name[copied] = '\0';
  return static_cast<UINT>(copied);
}

// Frees the drop.
void WINAPI DragFinish(HDROP drop) { delete SdlDropOf(drop); }

}  // extern "C"
