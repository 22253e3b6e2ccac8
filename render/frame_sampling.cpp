// Frames that keep up with the mouse (see frame_sampling.h).
#include "render/frame_sampling.h"

#include "records/app_state.h"

// Every stride-th point takes about 1 / stride of the whole frame's time, besides the frame's
// fixed cost, which the later frames of the drag show.
int32_t ChoosePointStride(bool mouseBusy, uint32_t wholeFrameMs, int32_t stride, uint32_t lastFrameMs,
                          int32_t points) {
  if (!mouseBusy || wholeFrameMs <= FRAME_BUDGET_MS) return 1;
  const int64_t next = stride <= 1 ? (wholeFrameMs + FRAME_BUDGET_MS - 1) / FRAME_BUDGET_MS
                                   : (static_cast<int64_t>(stride) * lastFrameMs + FRAME_BUDGET_MS / 2) / FRAME_BUDGET_MS;
  return static_cast<int32_t>(next < 1 ? 1 : next > points ? (points > 1 ? points : 1) : next);
}

// A drag under way, or a wheel notch within WHEEL_REST_MS, keeps the mouse busy.
void ChooseFrameSampling() {
  const bool wheelTurning = frameSampling.wheelTurned != 0 && timeGetTime() - frameSampling.wheelTime < WHEEL_REST_MS;
  frameSampling.stride = ChoosePointStride(pointerState.drag != DRAG_NONE || wheelTurning, frameSampling.wholeFrameMs,
                                           frameSampling.stride, frameSampling.lastFrameMs, pointTable.count);
}

// Only a frame of every point tells what a whole one costs.
void NoteFrameTime(uint32_t start) {
  frameSampling.lastFrameMs = timeGetTime() - start;
  if (frameSampling.stride == 1) frameSampling.wholeFrameMs = frameSampling.lastFrameMs;
}
