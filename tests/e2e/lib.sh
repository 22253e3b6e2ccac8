# Shared helpers of the end-to-end scripts: display, viewer start, windows, pixels, tally.
# Sourced by run-native.sh, run-wine.sh and soak.sh after they set mode (native or wine).
set -u
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
# Without a test display of the caller's, the script runs again on a virtual one.
[ -n "${VIEWER_TEST_DISPLAY:-}" ] || exec "$repo/tools/with-display.sh" bash "$0" "$@"
title="Quillmere OpenGL by KALMO"
passed=0
failed=0
work=$(mktemp -d)
helpers=""

# Records one check by its status (0 passes).
check() {
  if [ "$2" = 0 ]; then echo "PASS $1"; passed=$((passed + 1)); else echo "FAIL $1"; failed=$((failed + 1)); fi
}

# Prints the tally and exits non-zero when anything failed.
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" = 0 ]
}

# Stops what this script started (by process id) and removes the work folder.
cleanup() {
  [ -n "${viewer_pid:-}" ] && kill "$viewer_pid" 2>/dev/null
  for pid in $helpers; do kill "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

# Starts the viewer in the work folder with the given arguments; sets viewer_pid.
start_viewer() {
  rm -f "$work/boxes.log"
  if [ "$mode" = wine ]; then
    # Wine's message-box trace names each box's text.
    (cd "$work" && WINEDEBUG=+msgbox exec wine "$build/viewer.exe" "$@" >/dev/null 2>"$work/boxes.log") &
  else
    (cd "$work" && VIEWER_MESSAGEBOX_LOG="$work/boxes.log" exec "$build/viewer" "$@" >/dev/null 2>&1) &
  fi
  viewer_pid=$!
}

# Waits (at most 20 s) for a visible window whose name matches; prints its id.
wait_window() {
  for _ in $(seq 1 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# Waits (at most 20 s, or the seconds given) for the viewer to end; prints its exit code
# or "timeout".
wait_exit() {
  for _ in $(seq 1 $(( ${1:-20} * 5 ))); do
    if ! kill -0 "$viewer_pid" 2>/dev/null; then
      wait "$viewer_pid"; echo $?; viewer_pid=""; return 0
    fi
    sleep 0.2
  done
  kill "$viewer_pid" 2>/dev/null; wait "$viewer_pid" 2>/dev/null; viewer_pid=""
  echo timeout
}

# Focuses a window and types keys into it as real input, each held for a quarter of a
# second as a person would: the viewer reads held keys once per frame, so a press and
# release that both arrive between two frames are never seen.
press() {
  local id=$1 key; shift
  xdotool windowactivate --sync "$id" >/dev/null 2>&1 || xdotool windowfocus --sync "$id" >/dev/null 2>&1
  sleep "${PRESS_SETTLE:-0.3}"
  for key in "$@"; do
    xdotool keydown "$key"; sleep "${PRESS_HOLD:-0.25}"; xdotool keyup "$key"
  done
}

# Takes a screenshot of the window into a file; with "cloud" as third argument only the
# middle of the window, where the cloud is drawn and no overlay line reaches.
shoot() {
  local id=$1 file=$2 crop
  eval "$(xdotool getwindowgeometry --shell "$id")"
  crop="${WIDTH}x${HEIGHT}+${X}+${Y}"
  [ "${3:-}" = cloud ] && crop="$((WIDTH * 5 / 8))x$((HEIGHT * 5 / 8))+$((X + WIDTH * 3 / 16))+$((Y + HEIGHT / 6))"
  import -window root -crop "$crop" +repage "$file" 2>/dev/null
}

# Number of cyan pixels (little red, much green and blue) in an image, or in the part of it
# given as WxH+X+Y (from the image's top-left).
cyan_pixels() {
  convert "$1" ${2:+-crop "$2" +repage} -fx '(r<0.35 && g>0.6 && b>0.6) ? 1 : 0' -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

# Number of differing pixels between two images of one size.
differing_pixels() {
  compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1
}

# Waits (at most 20 s) for a message box with this caption; prints its id. Boxes are
# looked up in the whole window tree: they sit inside the window manager's frames.
wait_box() {
  for _ in $(seq 1 100); do
    id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\":" | awk '{print $1}' | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# Answers the message box with this caption by a key, trying again while it stays up
# (a box that is still being mapped may not take the focus yet).
answer_box() {
  local id
  for _ in 1 2 3 4 5; do
    id=$(wait_box "$1") || return 1
    press "$id" "$2"
    sleep "${PRESS_SETTLE:-0.3}"
    xwininfo -root -tree 2>/dev/null | grep -qF "\"$1\":" || return 0
  done
  return 1
}

# Whether a message box with this text or caption is showing (or was logged).
box_seen() {
  for _ in $(seq 1 100); do
    xwininfo -root -children -tree 2>/dev/null | grep -q "$1" && return 0
    [ -f "$work/boxes.log" ] && grep -q "$1" "$work/boxes.log" && return 0
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}
