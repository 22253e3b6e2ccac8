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
  wait_for 30 cyan_above "$id" 20; check "cyan points drawn" $?

  at "Right held"
  send_key "$id" Right cloud_moving "$id"; check "Right arrow sets the cloud turning" $?
  at "R"
  send_key "$id" r cloud_still "$id"; check "R stops the turning" $?
  at "digits"
  shoot "$id" "$work/size1.png"; small=$(cyan_pixels "$work/size1.png")
  send_key "$id" 5 cyan_above "$id" "$small"; check "digit 5 draws larger points than 1 (more than $small)" $?
  send_key "$id" 1 cyan_below "$id" "$((small + 1))"; check "digit 1 draws the small points again" $?
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
  sleep 1
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
if [ "$mode" = wine ]; then
  # A quoted name keeps its quotes: the open fails although the unquoted file exists.
  cp "$repo/sphere.txt" "$work/quoted.txt"
  check_missing_file '"quoted.txt"'
fi
check_refused_fullscreen
finish
