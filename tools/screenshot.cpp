// Screenshot: the start view of a point file as the viewer draws it, saved as a binary PPM
// (the README's pictures: screenshot sphere.txt view.ppm && convert view.ppm view.png); with
// "colours", in the height colours, as after C.
// Usage: screenshot FILE OUT.ppm [colours] (needs a display).
#include <cstdio>
#include <cstring>
#include <vector>

#include "records/app_state.h"
#include "records/texts.h"
#include "records/window_size.h"
#include "window/viewer_window.h"
#include "pointdata/cloud_bounds.h"
#include "pointdata/point_file.h"
#include "render/frame.h"
#include "render/framing.h"
#include "window/message_pump.h"

namespace {

// Writes the back buffer, top row first, as a binary PPM.
bool WriteBackBuffer(const char* path) {
  std::vector<unsigned char> pixels(static_cast<size_t>(WINDOW_WIDTH) * WINDOW_HEIGHT * 3);
  glFinish();
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", WINDOW_WIDTH, WINDOW_HEIGHT);
  for (int row = WINDOW_HEIGHT - 1; row >= 0; row--) {
    std::fwrite(&pixels[static_cast<size_t>(row) * WINDOW_WIDTH * 3], 1, WINDOW_WIDTH * 3, file);
  }
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4 || (argc == 4 && std::strcmp(argv[3], "colours") != 0)) {
    std::fprintf(stderr, "usage: screenshot FILE OUT.ppm [colours]\n");
    return 2;
  }
  LoadPointFile(argv[1]);
  MeasureCloudBounds();
  ChooseFraming();
  heightColours.on = argc == 4 ? 1 : 0;
  if (!CreateViewerWindow(VIEWER_TITLE, WINDOW_WIDTH, WINDOW_HEIGHT, COLOUR_BITS, false)) return 1;
  PumpMessages();
  DrawFrame();
  bool written = WriteBackBuffer(argv[2]);
  DestroyViewerWindow();
  ReleasePointTable();
  return written ? 0 : 1;
}
