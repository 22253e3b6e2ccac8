// Loading with a progress window (see load_progress.h).
#include "app/load_progress.h"

#include "records/app_state.h"
#include "pointdata/point_file.h"
#include "pointdata/point_progress.h"
#include "window/message_pump.h"
#include "window/progress_window.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

// A load on a thread of its own.
struct BackgroundLoad {
  const char* name;
  PointLoadOutcome outcome;
  bool done;
  std::mutex lock;
  std::condition_variable finished;
};

// Reads the file, then says it is done.
void RunLoad(BackgroundLoad* load) {
  const PointLoadOutcome outcome = ReadPointFile(load->name, PointLoadOptions());
  std::lock_guard<std::mutex> hold(load->lock);
  load->outcome = outcome;
  load->done = true;
  load->finished.notify_all();
}

// Waits for the load for at most that many milliseconds; true once it is done.
bool WaitForLoad(BackgroundLoad* load, int milliseconds) {
  std::unique_lock<std::mutex> hold(load->lock);
  return load->finished.wait_for(hold, std::chrono::milliseconds(milliseconds), [load] { return load->done; });
}

// Shows the progress until the load is done, handing the messages that come meanwhile to their
// windows; a quit request among them is posted again for the caller's loop.
void ShowProgressUntilLoaded(BackgroundLoad* load, MSG* last) {
  const bool shown = OpenProgressWindow(load->name);
  bool quit = false;
  do {
    if (!quit && !PumpMessages(last)) quit = true;
    if (shown) DrawProgress(PointLoadDone(), pointLoadProgress.recordsRead.load());
  } while (!WaitForLoad(load, PROGRESS_FRAME_MS));
  if (shown) CloseProgressWindow();
  if (quit) PostQuitMessage(static_cast<int>(last->wParam));
}

}  // namespace

// Starts the load on a thread and shows its progress if it takes long; a thread that cannot be
// started leaves the load to this one, without progress.
void LoadPointFileShowingProgress(const char* name, MSG* last) {
  MSG own = {};
  if (last == nullptr) last = &own;
  loadedFileInfo.fileName = name;
  BackgroundLoad load;
  load.name = name;
  load.outcome = POINT_FILE_CANNOT_OPEN;
  load.done = false;
  std::thread worker;
  try {
    worker = std::thread(RunLoad, &load);
  } catch (const std::system_error&) {
    ReportPointLoad(ReadPointFile(name, PointLoadOptions()));
    return;
  }
  if (!WaitForLoad(&load, PROGRESS_DELAY_MS)) ShowProgressUntilLoaded(&load, last);
  worker.join();
  ReportPointLoad(load.outcome);
}
