#!/usr/bin/env bash
# End to end: drives the real viewer with real X input and reads real screenshots and exit
# codes. Usage: run.sh BUILD_DIR [wine]. Needs a display with a window manager
# (tools/with-display.sh gives one).
set -u
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
mode=${2:-native}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$repo/sphere.txt" "$work/"
passed=0
failed=0
title="Quillmere OpenGL by KALMO"

check() {
  if [ "$2" = 0 ]; then echo "PASS $1"; passed=$((passed + 1)); else echo "FAIL $1"; failed=$((failed + 1)); fi
}

# Starts the viewer in the work folder with the given arguments; sets viewer_pid.
start_viewer() {
  cd "$work" || return 1
  if [ "$mode" = wine ]; then
    wine "$build/viewer.exe" "$@" >/dev/null 2>&1 &
  else
    "$build/viewer" "$@" >/dev/null 2>&1 &
  fi
  viewer_pid=$!
  cd - >/dev/null || return 1
}

# Waits (at most 30 s) for a top-level window with this exact name; prints its id.
wait_window() {
  for _ in $(seq 1 150); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# Waits (at most 20 s) for the viewer to exit; prints its exit code.
wait_exit() {
  for _ in $(seq 1 100); do
    kill -0 "$viewer_pid" 2>/dev/null || { wait "$viewer_pid"; echo $?; return 0; }
    sleep 0.2
  done
  kill "$viewer_pid" 2>/dev/null
  echo timeout
}

# Focuses a window and types keys into it as real (XTEST) input.
press() {
  local id=$1; shift
  xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id" 2>/dev/null
  sleep 0.3
  xdotool key "$@"
}

# Waits (at most 30 s) for a window with this name, shown or not (message boxes are
# found only this way); prints its id.
wait_any_window() {
  for _ in $(seq 1 150); do
    id=$(xwininfo -root -children 2>/dev/null | grep -F "\"$1\"" | awk '{print $1}' | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# Counts cyan pixels (the cloud) in a screenshot of the window.
count_cyan() {
  import -window "$1" "$work/shot.png" 2>/dev/null
  convert "$work/shot.png" -fx '(r<0.2 && g>0.8 && b>0.8) ? 1 : 0' -format '%[fx:mean*w*h]' info: 2>/dev/null | cut -d. -f1
}

# 1. No argument: sphere.txt from the working folder, cloud on screen, Escape gives 27.
start_viewer
win=$(wait_window "$title"); check "window opens with its title" $?
sleep 2
cyan=$(count_cyan "$win")
[ "${cyan:-0}" -gt 500 ]; check "the cloud is drawn (cyan pixels: ${cyan:-0})" $?
geometry=$(xwininfo -id "$win" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w"x"h}')
[ "$geometry" = 800x600 ]; check "client area is 800x600 ($geometry)" $?
xdotool windowactivate --sync "$win" 2>/dev/null; xdotool windowfocus --sync "$win" 2>/dev/null
sleep 0.5
press "$win" 5; sleep 1
bigger=$(count_cyan "$win")
[ "${bigger:-0}" -gt "${cyan:-0}" ]; check "digit 5 makes the points bigger (${cyan:-0} -> ${bigger:-0})" $?
press "$win" Escape
code=$(wait_exit); [ "$code" = 27 ]; check "Escape exits with 27 (got $code)" $?

# 2. Closing the window (Alt+F4 through the window manager) exits with 0.
start_viewer
win=$(wait_window "$title"); check "window opens again" $?
sleep 1
xdotool windowactivate --sync "$win" 2>/dev/null; sleep 0.5
press "$win" alt+F4
code=$(wait_exit); [ "$code" = 0 ]; check "closing the window exits with 0 (got $code)" $?

# 3. A missing file: the message before the window, then an empty cloud.
start_viewer missing-file.txt
box=$(wait_any_window "SHUTDOWN ERROR"); check "\"couldn't open file\" box under SHUTDOWN ERROR" $?
xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; [ $? != 0 ]; check "no viewer window before the box is answered" $?
xdotool windowactivate --sync "$box" 2>/dev/null; xdotool windowfocus --sync "$box" 2>/dev/null; sleep 0.5
press "$box" Return
win=$(wait_window "$title"); check "the window opens after OK" $?
sleep 2
cyan=$(count_cyan "$win")
[ "${cyan:-0}" -lt 50 ]; check "the cloud is empty (cyan pixels: ${cyan:-0})" $?
xdotool windowactivate --sync "$win" 2>/dev/null; sleep 0.3
press "$win" Escape
code=$(wait_exit); [ "$code" = 27 ]; check "Escape exits with 27 (got $code)" $?

# 4. The Windows executable carries its asInvoker manifest as a resource.
if [ "$mode" = wine ]; then
  i686-w64-mingw32-objdump -s -j .rsrc "$build/viewer.exe" | tr -d '\n' | grep -q 'asInvoker' ||
    strings "$build/viewer.exe" | grep -q 'level="asInvoker" uiAccess="false"'
  check "manifest asks for asInvoker without UI access" $?
fi

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
