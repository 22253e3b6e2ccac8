// Frames that keep up with the mouse: while a button drags the view or the wheel has just
// turned, a cloud whose whole frame takes longer than FRAME_BUDGET_MS is drawn as an evenly
// spread share of its points, every stride-th record of the table as it lies (no copy), sized to
// draw in about that time; as soon as the mouse rests, the frames are whole again. Keyboard
// flight and every other frame are whole.
#pragma once

#include <cstdint>

// The time a frame drawn while the mouse moves the view should take: 25 frames a second.
constexpr uint32_t FRAME_BUDGET_MS = 40;
// How long after its last notch the wheel still counts as turning.
constexpr uint32_t WHEEL_REST_MS = 250;

// The stride for a frame after one of stride that took lastFrameMs: 1 unless the mouse is busy
// and the last whole frame took longer than FRAME_BUDGET_MS; then, on the first frame of the
// drag, the whole frame's time over the budget, rounded up, and after that the last stride
// scaled by the last frame's time over the budget (a frame's fixed cost, which no stride
// lowers, is learnt so), between 1 and points.
int32_t ChoosePointStride(bool mouseBusy, uint32_t wholeFrameMs, int32_t stride, uint32_t lastFrameMs,
                          int32_t points);

// Sets the next frame's stride from the pointer, the wheel and the last whole frame's time.
void ChooseFrameSampling();

// Notes how long a frame took to draw and show (from start, in timeGetTime's milliseconds), and
// when it drew every point, what a whole frame takes.
void NoteFrameTime(uint32_t start);
