// Per-frame keyboard handling: rotation speeds, position, reset, point size and the switches.
#pragma once

// Adds delta to a stored float in double precision and stores the result back as a float.
void AddStep(float& field, double delta);

// Stops the spin: the rotation speeds to 0.
void StopTurning();

// R's reset, also of a file dropped on the window: the speeds to 0 and the cloud at
// (0, 0, HOME_POSITION_Z); the angles stay.
void ResetView();

// True while the key with this virtual-key code is held, and for the first frame after a
// key-down message of it even when its key-up came before that frame.
bool KeyDown(int virtualKey);

// True for the first frame after a key-down message of the key that was not an auto-repeat:
// once per press.
bool KeyPressed(int virtualKey);

// Clears the pressed flags once a frame has seen them.
void ForgetKeyPresses();

// Turns the held keys into changes of the view, and each press of F or C into its switch;
// needs the rendering context current.
void ApplyViewControls();
