// Per-frame keyboard handling: rotation speeds, position, reset and point size.
#pragma once

void ApplyViewControls();
