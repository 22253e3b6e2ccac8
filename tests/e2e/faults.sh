#!/usr/bin/env bash
# Window creation failing at each step in turn, and the teardown's release of the rendering
# context, on the real native viewer: the named library call fails on its Nth use
# (tests/faults/fail_call.c, preloaded). A creation failure must show its box after the
# window is gone, with no more of the viewer's X windows or open files than where the window
# was never made; each run must exit with its code; built with AddressSanitizer, an exit also
# checks for leaks.
# Usage: faults.sh BUILD_DIR FAIL_CALL_LIBRARY X_WINDOWS_OF; runs on DISPLAY (1024x768: F1 is refused).
mode=native build=$(cd "$1" && pwd) faults=$2 x_windows_of=$3
source "$(dirname "$0")/../lib.sh"

# The call that fails, when (at start-up; after F1, the mode refused and answered Yes; at the
# teardown after Escape), the box it gives ("caption|text", none without), the exit code.
# SDL_GL_MakeCurrent's first use is in making the context, its second in making it current,
# its third in the teardown's release. Video starts with the first window, so its failure is
# the window's. Without its font the viewer runs without text.
rows=("SDL_InitSubSystem:1|start|ERROR|Window Creation Error.|0" "SDL_CreateWindow:1|start|ERROR|Window Creation Error.|0"
  "SDL_GL_CreateContext:1|start|ERROR|Can't Create A GL Rendering Context.|0"
  "SDL_GL_MakeCurrent:2|start|ERROR|Can't Activate The GL Rendering Context.|0" "FcFontMatch:1|start|||27"
  "SDL_CreateWindow:2|F1|ERROR|Window Creation Error.|0"
  "SDL_GL_MakeCurrent:3|Escape|SHUTDOWN ERROR|Release Of DC And RC Failed.|27")
# The viewer's own X windows (those of each of its connections) and its open files: "windows files".
held() { echo "$("$x_windows_of" "$viewer_pid") $(ls "/proc/$viewer_pid/fd" | wc -l)"; }

for row in "${rows[@]}"; do
  IFS='|' read -r fail when caption text code <<<"$row"
  at "$fail fails"
  VIEWER_FAIL=$fail LD_PRELOAD=$faults start_viewer
  [ "$when" != F1 ] || { viewer_window && send_key "$id" F1 box_named "Vexa GL" &&
    answer_box "Vexa GL" Return; check "F1 on the window, the question answered Yes" $?; }
  if [ -z "$text" ]; then
    viewer_window && wait_for 30 shows "$id" cyan 20 && ! shows "$id" blue 0 190x45+12+20; check "the window shows the points, no text" $?
    escape_exits; continue
  elif [ "$when" = Escape ]; then
    viewer_window && wait_for 30 shows "$id" cyan 20 && send_key "$id" Escape box_named "$caption" &&
      box_seen "$caption|$text|"
    check "Escape: the box \"$text\", captioned $caption" $?
  else
    wait_for 60 box_named "$caption" >/dev/null && ! window_named "$title" >/dev/null && box_seen "$caption|$text|"
    check "the box \"$text\", the viewer's window gone" $?
    # The first window step's failure sets the measure; the video had not started before it.
    now=$(held); [ "$fail" = SDL_CreateWindow:1 ] && before=$now
    [ -z "${before:-}" ] || { [ "$now" = "$before" ]; check "the viewer's X windows and open files as without a window ($before -> $now)" $?; }
  fi
  answer_box "$caption" Return; exits_with "$code" "$fail failing"
done
finish
