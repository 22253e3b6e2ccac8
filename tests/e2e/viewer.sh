#!/usr/bin/env bash
# The viewer end to end on a 1024x768 display (where the 800x600 mode is refused), driven by
# real X input: screenshots, boxes and exit codes.
# Usage: viewer.sh native|wine BUILD_DIR; runs on DISPLAY (tools/with-display.sh gives one).
mode=$1
build=$(cd "$2" && pwd)
source "$(dirname "$0")/../lib.sh"

# No argument: sphere.txt from the working folder, the titled window, cyan points; then the keys.
check_default_file() {
  at "default file"
  cp "$repo/sphere.txt" "$work/"
  start_viewer
  id=$(wait_viewer_window); check "window titled '$title' appears" $? || return
  read -r cx cy cw ch <<<"$(client_area "$id")"
  [ "$cw" = 800 ] && [ "$ch" = 600 ]; check "client area 800 x 600 (got $cw x $ch)" $?
  # At the screen's top-left: only the window manager's frame lies before the client area.
  [ "$cx" -le 8 ] && [ "$cy" -le 32 ]; check "window at the top-left (client at $cx,$cy)" $?
  wait_for 30 shows_above "$id" cyan 20; check "cyan points drawn" $?

  at "Right held"
  send_key "$id" Right cloud_moving "$id"; check "Right arrow sets the cloud turning" $?
  at "R"
  send_key "$id" r cloud_still "$id"; check "R stops the turning" $?
  at "digits"
  shoot "$id" "$work/size1.png"; small=$(cyan_pixels "$work/size1.png")
  send_key "$id" 5 shows_above "$id" cyan "$small"; check "digit 5 draws larger points than 1 (more than $small)" $?
  send_key "$id" 1 shows_below "$id" cyan "$((small + 1))"; check "digit 1 draws the small points again" $?
  at "Escape"
  send_key "$id" Escape viewer_ended
  code=$(wait_exit); check "Escape exits with 27 (got $code)" "$([ "$code" = 27 ]; echo $?)"
}

# Closing the window (Alt+F4 through the window manager): exit code 0.
check_close() {
  at "close"
  start_viewer
  id=$(wait_viewer_window); check "window for the close test" $? || return
  send_key "$id" alt+F4 viewer_ended
  code=$(wait_exit); check "closing the window exits with 0 (got $code)" "$([ "$code" = 0 ]; echo $?)"
}

# A file that cannot be opened: the box, then Return, then the window opens on an empty cloud.
check_missing_file() {
  at "missing file $*"
  start_viewer "$@"
  wait_for 60 box_seen "couldn't open file"; check "missing file '$*' reported in a box" $?
  wait_for 60 box_named "SHUTDOWN ERROR" >/dev/null; check "the box is captioned SHUTDOWN ERROR" $?
  ! window_named "$title" >/dev/null; check "no viewer window while the box is up" $?
  answer_box "SHUTDOWN ERROR" Return
  id=$(wait_viewer_window); check "window opens after the missing-file box" $? || { wait_exit >/dev/null; return; }
  # Once the overlay shows, the frame is drawn: no point in it.
  wait_for 30 shows_above "$id" blue 100; check "the overlay is drawn" $?
  shoot "$id" "$work/empty.png" cloud
  [ "$(cyan_pixels "$work/empty.png")" = 0 ]; check "the cloud is empty" $?
  send_key "$id" Escape viewer_ended
  wait_exit >/dev/null
}

# F1 where the mode is refused: the question; Yes goes on windowed, No closes with 0.
check_refused_fullscreen() {
  at "F1 answered Yes"
  start_viewer
  id=$(wait_viewer_window); check "window for the F1 test" $? || return
  send_key "$id" F1 box_named "Vexa GL"; check "refused fullscreen asks the question" $?
  wait_for 30 box_seen "Use Windowed Mode Instead?"; check "the question's text" $?
  answer_box "Vexa GL" Return
  id=$(wait_viewer_window); check "Yes gives the windowed viewer again" $? &&
    send_key "$id" Escape viewer_ended
  code=$(wait_exit); check "exit after the switch is 27 (got $code)" "$([ "$code" = 27 ]; echo $?)"

  at "F1 answered No"
  start_viewer
  id=$(wait_viewer_window); check "window for the F1/No test" $? || return
  send_key "$id" F1 box_named "Vexa GL"
  answer_box "Vexa GL" Escape
  wait_for 60 box_seen "Program Will Now Close"; check "No gives 'Program Will Now Close.'" $?
  answer_box "ERROR" Return
  code=$(wait_exit); check "failed switch exits with 0 (got $code)" "$([ "$code" = 0 ]; echo $?)"
}

# A cloud of 500,000 points, whose first 100 frames (until the first measured rate) take over
# 20 s: R and a digit tapped as soon as the window shows act before the rate line leaves
# "FPS 0.00". R moves the cloud's right edge into a strip it never reaches from the start
# position; size 5 fills the middle of the cloud, which size 1 leaves dark.
check_keys_on_a_big_cloud() {
  at "keys on a big cloud"
  for _ in $(seq 1 100); do cat "$repo/sphere.txt"; done >"$work/big.txt"
  start_viewer big.txt
  id=$(wait_viewer_window); check "window on the big cloud" $? || return
  local opened elapsed
  opened=$(date +%s%3N)
  focus "$id"
  # Taps, on purpose: a key pressed and released between two frames still counts once.
  xdotool key r 5
  wait_for 60 big_cloud_changed "$id"
  elapsed=$(($(date +%s%3N) - opened))
  convert "$work/big.png" -crop 120x20+610+478 +repage "$work/rate1.png"
  [ "${edge:-0}" -gt 0 ]; check "R acts on the big cloud (edge strip $edge)" $?
  [ "${middle:-0}" -gt 1200 ]; check "5 acts on the big cloud (middle $middle of 1600)" $?
  [ "$(differing_pixels "$work/rate0.png" "$work/rate1.png")" = 0 ]
  check "both before the first rate is measured, ${elapsed} ms after the window showed" $?
  send_key "$id" Escape viewer_ended
  code=$(wait_exit); check "Escape ends the big-cloud run with 27 (got $code)" "$([ "$code" = 27 ]; echo $?)"
}

# Whether the big cloud shows both keys' effects; keeps the rate line of the first frame drawn.
big_cloud_changed() {
  shoot "$1" "$work/big.png"
  edge=$(cyan_pixels "$work/big.png" 40x90+540+340)
  middle=$(cyan_pixels "$work/big.png" 40x40+470+367)
  [ -f "$work/rate0.png" ] || [ "${middle:-0}" = 0 ] ||
    convert "$work/big.png" -crop 120x20+610+478 +repage "$work/rate0.png"
  [ "${edge:-0}" -gt 0 ] && [ "${middle:-0}" -gt 1200 ]
}

# The Windows build only: the embedded manifest.
check_manifest() {
  at "manifest"
  i686-w64-mingw32-strings "$build/viewer.exe" | grep -q 'level="asInvoker" uiAccess="false"'
  check "manifest resource in viewer.exe" $?
  manifests=$(i686-w64-mingw32-objdump -p "$build/viewer.exe" | grep -c "Entry: ID: 0x000018")
  [ "$manifests" = 1 ]; check "exactly one manifest resource type" $?
}

[ "$mode" = wine ] && check_manifest
check_default_file
check_close
check_missing_file missing-cloud.txt
if [ "$mode" = native ]; then
  # Names that are no regular file: refused at once, without reading (a FIFO has no writer).
  check_missing_file .
  check_missing_file /dev/zero
  mkfifo "$work/no-writer.fifo" && check_missing_file no-writer.fifo
fi
if [ "$mode" = wine ]; then
  # A quoted name keeps its quotes: the open fails although the unquoted file exists.
  cp "$repo/sphere.txt" "$work/quoted.txt"
  check_missing_file '"quoted.txt"'
fi
check_refused_fullscreen
check_keys_on_a_big_cloud
finish
