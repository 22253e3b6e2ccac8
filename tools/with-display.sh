#!/usr/bin/env bash
# Runs a command on a virtual X display with a window manager, then stops both.
# With VIEWER_TEST_DISPLAY set, the caller's DISPLAY is used as it is.
set -u
if [ -n "${VIEWER_TEST_DISPLAY:-}" ]; then
  exec "$@"
fi
number=""
for n in 90 91 92 93 94 95 96 97 98 99; do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then number=$n; break; fi
done
[ -n "$number" ] || { echo "with-display: no free display number" >&2; exit 1; }
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
wm_pid=""
cleanup() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT
export DISPLAY=":$number"
for _ in $(seq 1 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.2
done
xdpyinfo >/dev/null 2>&1 || { echo "with-display: Xvfb did not start" >&2; exit 1; }
openbox >/dev/null 2>&1 &
wm_pid=$!
sleep 1
export VIEWER_TEST_DISPLAY=1
"$@"
