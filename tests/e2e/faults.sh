#!/usr/bin/env bash
# Window creation failing at each step in turn, on the real native viewer: the named library
# call fails on its Nth use (tests/faults/fail_call.c, preloaded). Each run must show its box
# after the window is gone, with no more X windows or open files than where the window was never
# made, and exit with its code; built with AddressSanitizer, an exit also checks for leaks.
# Usage: faults.sh BUILD_DIR FAIL_CALL_LIBRARY; runs on DISPLAY (1024x768: F1 is refused).
mode=native build=$(cd "$1" && pwd) faults=$2
source "$(dirname "$0")/../lib.sh"

# The call that fails, the box it gives (caption ERROR), the exit code. SDL_GL_MakeCurrent's first
# use is in making the context, its second in making it current. The last row is the F1 switch
# (the mode refused, answered Yes). Video starts with the first window, so its failure is the
# window's. Without its font the viewer runs without text.
rows=("SDL_InitSubSystem:1|Window Creation Error.|0" "SDL_CreateWindow:1|Window Creation Error.|0"
  "SDL_GL_CreateContext:1|Can't Create A GL Rendering Context.|0"
  "SDL_GL_MakeCurrent:2|Can't Activate The GL Rendering Context.|0" "FcFontMatch:1||27"
  "SDL_CreateWindow:2|Window Creation Error.|0")
# X windows on the screen and open files of the viewer: "windows files".
held() { echo "$(xwininfo -root -tree | grep -c '^ *0x') $(ls "/proc/$viewer_pid/fd" | wc -l)"; }

for row in "${rows[@]}"; do
  IFS='|' read -r fail text code <<<"$row"
  at "$fail fails"
  VIEWER_FAIL=$fail LD_PRELOAD=$faults start_viewer
  [ "$fail" != SDL_CreateWindow:2 ] || { viewer_window && send_key "$id" F1 box_named "Vexa GL" &&
    answer_box "Vexa GL" Return; check "F1 on the window, the question answered Yes" $?; }
  if [ -n "$text" ]; then
    wait_for 60 box_named ERROR >/dev/null && ! window_named "$title" >/dev/null && box_seen "ERROR|$text|"
    check "the box \"$text\", the viewer's window gone" $?
    # The first window step's failure sets the measure; the video had not started before it.
    now=$(held); [ "$fail" = SDL_CreateWindow:1 ] && before=$now
    [ -z "${before:-}" ] || { [ "$now" = "$before" ]; check "X windows and open files as without a window ($before -> $now)" $?; }
    answer_box ERROR Return; exits_with "$code" "$fail failing"
  else
    viewer_window && wait_for 30 shows "$id" cyan 20 && ! shows "$id" blue 0 190x45+12+20; check "the window shows the points, no text" $?
    escape_exits
  fi
done
finish
