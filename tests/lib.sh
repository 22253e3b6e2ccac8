# The shell harness of the suites driven through X (tests/e2e), on DISPLAY:
# checks that keep the window tree and a screenshot when they fail, waits on what is on screen
# or in a log, keys held until their effect shows, and the viewer's runs.
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
title="Quillmere OpenGL by KALMO"
logs=${VIEWER_TEST_LOGS:-$repo/build/test-logs}
work=$(mktemp -d)
mkdir -p "$logs" && cp "$repo/sphere.txt" "$work/"
passed=0 failed=0 step=start viewer_pid="" class=""
trap 'stop_viewer; rm -rf "$work"' EXIT

# Names the step the next checks belong to.
at() { step=$*; echo "---- $step (${SECONDS}s)"; }

# Records one check (status 0 passes); a failure keeps the window tree and a screenshot.
check() {
  [ "$2" = 0 ] && { echo "PASS $1"; passed=$((passed + 1)); return; }
  local base=$logs/$(basename "$0" .sh)-${mode:-}-$$-fail$((failed += 1))
  xwininfo -root -tree >"$base.tree.txt" 2>&1; import -window root "$base.png" 2>/dev/null
  echo "FAIL $1 (step: $step); on screen: $base.png, window tree $base.tree.txt, windows named:" \
    "$(grep -o '"[^"]*":' "$base.tree.txt" | sort -u | tr '\n' ' ')"; return 1
}

# Prints the tally; the status says whether anything failed.
finish() { echo "$passed passed, $failed failed"; [ "$failed" = 0 ]; }

# Runs a command every tenth of a second until it succeeds, for about SECONDS at most.
wait_for() { local end=$((SECONDS + $1)); until "${@:2}"; do [ "$SECONDS" -lt "$end" ] && sleep 0.1 || return 1; done; }

# The id of the visible window named exactly NAME; of a window named NAME anywhere in the tree
# (message boxes sit in frames); whether no such box is up.
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep .; }
box_named() { xwininfo -root -tree 2>/dev/null | grep -F "\"$1\":" | awk '{print $1; exit}' | grep .; }
no_box() { ! box_named "$1" >/dev/null; }

# Prints window ID's client area: x y width height (screen coordinates).
client_area() { echo $(xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left [XY]:|Width:|Height:/ {print $NF}'); }

# Sends KEY to window ID until EFFECT (a command) succeeds: focused, held until the effect shows
# (for HOLD seconds at most, default 2; the displays run without key repeat, so a held key is one
# press), released, the effect awaited 20 s, and if it never came pressed again, three times at most.
send_key() {
  local try
  for try in 1 2 3; do
    { [ "$(xdotool getwindowfocus)" = "$(($1))" ] || timeout 10 xdotool windowactivate --sync "$1" ||
        timeout 10 xdotool windowfocus --sync "$1"
      xdotool keydown "$2"; wait_for "${HOLD:-2}" "${@:3}"; xdotool keyup "$2"; wait_for 20 "${@:3}"; } >/dev/null 2>&1 && return
    echo "     $2 had no effect on try $try ($step)"
  done; return 1
}

# Answers the box with this caption by a key, tapped until the box is gone.
answer_box() { local box; box=$(wait_for 60 box_named "$1") && HOLD=0 send_key "$box" "$2" no_box "$1"; }

# The Windows path of a Unix path (Z: is the Unix root). Wine starts a program given by its
# Unix path through its start.exe, which about once in a thousand starts fails to start it
# ("Application could not be started"); given by its Windows path, the program starts itself.
windows_path() { echo "Z:${1//\//\\}"; }

# Starts the viewer in the work folder with these arguments; its message boxes are logged (by
# the stand-in natively, by Wine's trace under Wine), and box_seen tells whether a box with this
# text (natively "caption|text|") is up or was logged. stop_viewer stops it if it still runs.
start_viewer() {
  local run=("$build/viewer"); [ "$mode" = wine ] && run=(wine "$(windows_path "$build/viewer.exe")"); rm -f "$work/boxes.log"
  (cd "$work" && VIEWER_MESSAGEBOX_LOG="$work/boxes.log" WINEDEBUG=+msgbox exec "${run[@]}" "$@" >/dev/null 2>>boxes.log) &
  viewer_pid=$!
}
box_seen() { box_named "$1" >/dev/null || grep -qF "$1" "$work/boxes.log" 2>/dev/null; }
stop_viewer() { [ -z "$viewer_pid" ] || { kill "$viewer_pid"; wait "$viewer_pid"; viewer_pid=""; } 2>/dev/null; }
viewer_ended() { ! kill -0 "$viewer_pid" 2>/dev/null; }

# Waits (generously) for the viewer's window, whose id it keeps in id; run_viewer starts it first.
viewer_window() { id=$(wait_for 60 window_named "$title"); }
run_viewer() { start_viewer "$@"; viewer_window; check "the viewer's window appears" $?; }

# Starts the viewer by a command (after NAME) in the current folder, as a user would: its window
# (its class kept in class), the sphere, and Escape; the screenshot kept as NAME.png in the logs.
sphere_and_escape() {
  "${@:2}" >/dev/null 2>&1 & viewer_pid=$!
  viewer_window; check "the window appears" $? || { stop_viewer; return; }
  class=$(xprop -id "$id" WM_CLASS | sed 's/.*", "//; s/"$//')
  wait_for 30 shows "$id" cyan 20; check "the sphere: cyan points" $?
  cp "$work/shown.png" "$logs/$1.png"; escape_exits
}

# Waits (generously) for the viewer to end and checks that WHAT exits with CODE; escape_exits
# presses Escape for it: 27.
exits_with() {
  local code=timeout; wait_for 60 viewer_ended && { wait "$viewer_pid"; code=$? viewer_pid=""; }
  stop_viewer; [ "$code" = "$1" ]; check "$2 exits with $1 (got $code)" $?
}
escape_exits() { at Escape; send_key "$id" Escape viewer_ended; exits_with 27 Escape; }

# Takes a screenshot of window ID's client area into FILE, or of its part WxH+X+Y. It reads the
# screen, which shows what every window draws.
shoot() {
  local x y w h; read -r x y w h <<<"$(client_area "$1")"
  import -window root png:- | convert - -crop "${w}x$h+$x+$y" +repage ${3:+-crop "$3" +repage} "$2"
} 2>/dev/null

# Number of pixels of a colour (cyan, blue, ...) in an image.
colour_pixels() { convert "$2" -fuzz 25% -fill white -opaque "$1" -fill black +opaque white -format '%[fx:round(mean*w*h)]' info:; }

# Whether window ID (or its part WxH+X+Y) shows more than N pixels of a colour.
shows() { shoot "$1" "$work/shown.png" "${4:-}" && [ "$(colour_pixels "$2" "$work/shown.png")" -gt "$3" ]; } 2>/dev/null
