# The shell harness of every suite driven through X: tally, waits on what is on screen, keys
# with retries, screenshots, and what was on screen when a check failed. Sourced by the
# scripts in tests/e2e/ and tests/standin/; they run on the display in DISPLAY
# (tools/with-display.sh provides one).
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
title="Quillmere OpenGL by KALMO"
logs=${VIEWER_TEST_LOGS:-$repo/build/test-logs}
suite=$(basename "$0" .sh)
mkdir -p "$logs"
work=$(mktemp -d)
passed=0
failed=0
step="start"       # what the script is doing, named in failures
viewer_pid=""
helper_pids=""

# Names the step the next checks belong to.
at() { step=$*; echo "---- $step (${SECONDS}s)"; }

# Records one check (status 0 passes); a failure also keeps the window tree and a screenshot.
check() {
  if [ "$2" = 0 ]; then
    echo "PASS $1"; passed=$((passed + 1)); return 0
  fi
  failed=$((failed + 1))
  local base="$logs/$suite-${mode:-}-$$-fail$failed"
  echo "FAIL $1 (step: $step)"
  xwininfo -root -tree >"$base.tree.txt" 2>&1
  import -window root "$base.png" >/dev/null 2>&1
  echo "     on screen: $(grep -c '^ *0x' "$base.tree.txt") windows; named:" \
    "$(grep -o '"[^"]*":' "$base.tree.txt" | sort -u | tr '\n' ' ')"
  echo "     window tree $base.tree.txt, screenshot $base.png"
  return 1
}

# Prints the tally; the status says whether anything failed.
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" = 0 ]
}

# Stops what this script started, by process id, and removes its work folder.
cleanup() {
  stop_viewer
  local pid
  for pid in $helper_pids; do kill "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

# Runs a command every tenth of a second until it succeeds or SECONDS have passed.
wait_for() {
  local seconds=$1 end
  shift
  end=$(($(date +%s%3N) + $(awk "BEGIN {printf \"%d\", $seconds * 1000}")))
  until "$@"; do
    [ "$(date +%s%3N)" -lt "$end" ] || return 1
    sleep 0.1
  done
}

# Prints the id of the visible window named exactly NAME.
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep .; }

# Waits (generously) for the viewer's window; prints its id.
wait_viewer_window() {
  wait_for 60 window_named "$title"
}

# Whether window ID no longer exists.
window_gone() { ! xwininfo -id "$1" >/dev/null 2>&1; }

# Prints a window's client area: x y width height (screen coordinates).
client_area() {
  xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

# Prints the id of a window anywhere in the tree (message boxes sit in frames) named NAME.
box_named() { xwininfo -root -tree 2>/dev/null | grep -F "\"$1\":" | awk '{print $1}' | head -n 1 | grep .; }

# Whether the viewer process has ended.
viewer_ended() { ! kill -0 "$viewer_pid" 2>/dev/null; }

# Starts the viewer in the work folder with the given arguments; sets viewer_pid. Message
# boxes are logged: by the stand-in's hook natively, by Wine's trace under Wine.
start_viewer() {
  stop_viewer
  rm -f "$work/boxes.log"
  if [ "$mode" = wine ]; then
    (cd "$work" && WINEDEBUG=+msgbox exec wine "$build/viewer.exe" "$@" >/dev/null 2>"$work/boxes.log") &
  else
    (cd "$work" && VIEWER_MESSAGEBOX_LOG="$work/boxes.log" exec "$build/viewer" "$@" >/dev/null 2>&1) &
  fi
  viewer_pid=$!
}

# Stops a viewer a failed check left running.
stop_viewer() {
  [ -n "$viewer_pid" ] || return 0
  kill "$viewer_pid" 2>/dev/null; wait "$viewer_pid" 2>/dev/null; viewer_pid=""
}

# Waits (generously) for the viewer to end; prints its exit code, or "timeout" after killing it.
wait_exit() {
  if wait_for 60 viewer_ended; then
    wait "$viewer_pid"; echo $?
  else
    stop_viewer; echo timeout
  fi
  viewer_pid=""
}

# Whether a box with this text or caption is up or was logged.
box_seen() {
  box_named "$1" >/dev/null || grep -qF "$1" "$work/boxes.log" 2>/dev/null
}

# Whether window ID has the keyboard focus.
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$(($1))" ]; }

# Gives window ID the focus, and waits a little for it to arrive.
focus() {
  focused "$1" && return 0
  timeout 10 xdotool windowactivate --sync "$1" >/dev/null 2>&1 ||
    timeout 10 xdotool windowfocus --sync "$1" >/dev/null 2>&1
  wait_for 3 focused "$1"
}

# Sends KEY to window ID until EFFECT (a command) succeeds: the key is held until the effect
# shows (at most HOLD seconds, default 2), then released and the effect awaited (SETTLE, 20 s); if it
# never shows the key is pressed again, three times at most. The displays run without key
# repeat, so a held key is one press.
send_key() {
  local id=$1 key=$2 hold=${HOLD:-2} settle=${SETTLE:-20} try
  shift 2
  for try in 1 2 3; do
    focus "$id"
    xdotool keydown "$key"
    wait_for "$hold" "$@" >/dev/null
    xdotool keyup "$key"
    wait_for "$settle" "$@" >/dev/null && return 0
    echo "     $key had no effect on try $try ($step)"
  done
  return 1
}

# Whether no box with this caption is up (a new box may get the window id of the last one).
no_box() { ! box_named "$1" >/dev/null; }

# Answers the box with this caption by a key, pressed until the box is gone.
answer_box() {
  local id
  id=$(wait_for 60 box_named "$1") || return 1
  HOLD=0.2 SETTLE=10 send_key "$id" "$2" no_box "$1"
}

# Takes a screenshot of window ID into FILE; with "cloud" only the middle of the client area,
# where the cloud is drawn and no overlay line reaches.
shoot() {
  local x y w h crop
  read -r x y w h <<<"$(client_area "$1")"
  crop="${w}x${h}+${x}+${y}"
  [ "${3:-}" = cloud ] && crop="$((w * 5 / 8))x$((h * 5 / 8))+$((x + w * 3 / 16))+$((y + h / 6))"
  import -window root -crop "$crop" +repage "$2" 2>/dev/null
}

# Number of pixels of a colour (cyan, blue, ...) in an image, or in the part of it given as
# WxH+X+Y (from the image's top-left).
colour_pixels() {
  convert "$2" ${3:+-crop "$3" +repage} -fuzz 25% -fill white -opaque "$1" -fill black +opaque white \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

cyan_pixels() { colour_pixels cyan "$@"; }

# Number of differing pixels between two images of one size.
differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }

# Whether the cloud in window ID changes between two screenshots half a second apart.
cloud_moving() {
  shoot "$1" "$work/a.png" cloud; sleep 0.5; shoot "$1" "$work/b.png" cloud
  [ "$(differing_pixels "$work/a.png" "$work/b.png")" != 0 ]
}

cloud_still() { ! cloud_moving "$1"; }

# Whether window ID shows more (above) or fewer (below) than N pixels of a colour.
shows_above() { shoot "$1" "$work/shown.png"; [ "$(colour_pixels "$2" "$work/shown.png")" -gt "$3" ] 2>/dev/null; }
shows_below() { shoot "$1" "$work/shown.png"; [ "$(colour_pixels "$2" "$work/shown.png")" -lt "$3" ] 2>/dev/null; }
