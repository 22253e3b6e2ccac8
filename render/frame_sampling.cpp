// Frames that keep up with the mouse (see frame_sampling.h).
#include "render/frame_sampling.h"

#include "records/app_state.h"

// Every stride-th point takes about 1 / stride of the whole frame's time.
int32_t ChoosePointStride(bool mouseBusy, uint32_t wholeFrameMs) {
  if (!mouseBusy || wholeFrameMs <= FRAME_BUDGET_MS) return 1;
  return static_cast<int32_t>((wholeFrameMs + FRAME_BUDGET_MS - 1) / FRAME_BUDGET_MS);
}

// A drag under way, or a wheel notch within WHEEL_REST_MS, keeps the mouse busy.
void ChooseFrameSampling() {
  const bool wheelTurning = frameSampling.wheelTurned != 0 && timeGetTime() - frameSampling.wheelTime < WHEEL_REST_MS;
  frameSampling.stride = ChoosePointStride(pointerState.drag != DRAG_NONE || wheelTurning, frameSampling.wholeFrameMs);
}

// Only a frame of every point tells what the next one will cost.
void NoteFrameTime(uint32_t start) {
  if (frameSampling.stride == 1) frameSampling.wholeFrameMs = timeGetTime() - start;
}
