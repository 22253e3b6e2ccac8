# The checks both platforms share; sourced after lib.sh with mode and build set.

# (a) No argument: sphere.txt from the working folder, the titled window, cyan points.
check_default_file() {
  cp "$repo/sphere.txt" "$work/"
  start_viewer
  id=$(wait_window "^$title\$"); check "window titled '$title' appears" $?
  [ -z "$id" ] && { kill "$viewer_pid" 2>/dev/null; viewer_pid=""; return; }
  read -r cx cy cw ch <<<"$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$4}
    /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')"
  [ "$cw" = 800 ] && [ "$ch" = 600 ]; check "client area 800 x 600 (got $cw x $ch)" $?
  # At the screen's top-left: only the window manager's frame lies before the client area.
  [ "$cx" -le 8 ] && [ "$cy" -le 32 ]; check "window at the top-left (client at $cx,$cy)" $?
  sleep 2
  shoot "$id" "$work/start.png"
  [ "$(cyan_pixels "$work/start.png")" -gt 20 ] 2>/dev/null; check "cyan points drawn" $?

  # (b) Right held turns the cloud; R stops it; a larger point size shows more cyan.
  xdotool windowactivate --sync "$id" >/dev/null 2>&1; sleep 0.3
  xdotool keydown Right; sleep 2; xdotool keyup Right
  shoot "$id" "$work/turn1.png" cloud; sleep 0.5; shoot "$id" "$work/turn2.png" cloud
  [ "$(differing_pixels "$work/turn1.png" "$work/turn2.png")" -gt 0 ] 2>/dev/null
  check "Right arrow sets the cloud turning" $?
  press "$id" r; sleep 0.5
  shoot "$id" "$work/still1.png" cloud; sleep 0.5; shoot "$id" "$work/still2.png" cloud
  [ "$(differing_pixels "$work/still1.png" "$work/still2.png")" = 0 ]; check "R stops the turning" $?
  press "$id" 1; sleep 0.5; shoot "$id" "$work/size1.png"
  press "$id" 5; sleep 0.5; shoot "$id" "$work/size5.png"
  small=$(cyan_pixels "$work/size1.png"); large=$(cyan_pixels "$work/size5.png")
  [ "$large" -gt "$small" ] 2>/dev/null; check "digit 5 draws larger points than 1 ($large > $small)" $?

  # (c) Escape: exit code 27.
  press "$id" Escape
  code=$(wait_exit); check "Escape exits with 27 (got $code)" "$([ "$code" = 27 ]; echo $?)"
}

# (c) Closing the window (Alt+F4 through the window manager): exit code 0.
check_close() {
  start_viewer
  id=$(wait_window "^$title\$") || { check "window for the close test" 1; return; }
  sleep 1
  press "$id" alt+F4
  code=$(wait_exit); check "closing the window exits with 0 (got $code)" "$([ "$code" = 0 ]; echo $?)"
}

# (d) A missing file: the box, then Return, then the window still opens.
check_missing_file() {
  start_viewer "$@"
  box_seen "couldn't open file"; check "missing file '$*' reported in a box" $?
  bid=$(wait_box "SHUTDOWN ERROR"); check "the box is captioned SHUTDOWN ERROR" $?
  xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1
  check "no viewer window while the box is up" "$([ $? != 0 ]; echo $?)"
  answer_box "SHUTDOWN ERROR" Return
  id=$(wait_window "^$title\$"); check "window opens after the missing-file box" $?
  [ -z "$id" ] && { wait_exit >/dev/null; return; }
  sleep 1
  shoot "$id" "$work/empty.png" cloud
  [ "$(cyan_pixels "$work/empty.png")" = 0 ]; check "the cloud is empty" $?
  press "$id" Escape
  wait_exit >/dev/null
}

# (e) F1 on a 1024x768 screen: refused fullscreen, question; Yes goes on windowed.
check_f1_yes() {
  start_viewer
  id=$(wait_window "^$title\$") || { check "window for the F1 test" 1; return; }
  sleep 1
  press "$id" F1
  box_seen "Vexa GL"; check "refused fullscreen asks the question" $?
  answer_box "Vexa GL" Return
  sleep 1
  id=$(wait_window "^$title\$"); check "Yes gives the windowed viewer again" $?
  [ -n "$id" ] && press "$id" Escape
  code=$(wait_exit); check "exit after the switch is 27 (got $code)" "$([ "$code" = 27 ]; echo $?)"
}

# (e) F1 answered No: "Program Will Now Close.", Return, exit code 0.
check_f1_no() {
  start_viewer
  id=$(wait_window "^$title\$") || { check "window for the F1/No test" 1; return; }
  sleep 1
  press "$id" F1
  answer_box "Vexa GL" Escape
  box_seen "Program Will Now Close"; check "No gives 'Program Will Now Close.'" $?
  sleep 0.5
  answer_box "ERROR" Return
  code=$(wait_exit); check "failed switch exits with 0 (got $code)" "$([ "$code" = 0 ]; echo $?)"
}

# (g) A cloud of 500,000 points, whose first 100 frames (until the first measured rate)
# take over 20 s here: R and a digit tapped as soon as the window shows act before the
# rate line leaves "FPS 0.00". R moves the cloud's right edge into a strip it never reaches
# from the start position; size 5 fills the middle of the cloud, which size 1 leaves dark.
check_keys_on_a_big_cloud() {
  for _ in $(seq 1 100); do cat "$repo/sphere.txt"; done >"$work/big.txt"
  start_viewer big.txt
  id=$(wait_window "^$title\$") || { check "window on the big cloud" 1; return; }
  local opened elapsed edge=0 middle=0 rate_line=1
  opened=$(date +%s%N)
  PRESS_SETTLE=0 PRESS_HOLD=0.1 press "$id" r 5
  for _ in $(seq 1 100); do
    shoot "$id" "$work/big.png"
    edge=$(cyan_pixels "$work/big.png" 40x90+540+340)
    middle=$(cyan_pixels "$work/big.png" 40x40+470+367)
    # The rate line's look at the first drawn frame, still "FPS 0.00".
    [ -f "$work/rate0.png" ] || [ "${middle:-0}" = 0 ] ||
      convert "$work/big.png" -crop 120x20+610+478 +repage "$work/rate0.png"
    [ "${edge:-0}" -gt 0 ] && [ "${middle:-0}" -gt 1200 ] && break
    sleep 0.1
  done
  elapsed=$(( ($(date +%s%N) - opened) / 1000000 ))
  convert "$work/big.png" -crop 120x20+610+478 +repage "$work/rate1.png"
  rate_line=$(differing_pixels "$work/rate0.png" "$work/rate1.png")
  [ "${edge:-0}" -gt 0 ]; check "R acts on the big cloud (edge strip $edge)" $?
  [ "${middle:-0}" -gt 1200 ]; check "5 acts on the big cloud (middle $middle of 1600)" $?
  [ "$rate_line" = 0 ]; check "both before the first rate is measured, ${elapsed} ms after the window showed" $?
  press "$id" Escape
  code=$(wait_exit 60); check "Escape ends the big-cloud run with 27 (got $code)" "$([ "$code" = 27 ]; echo $?)"
}
