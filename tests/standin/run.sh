#!/bin/bash
# Tests of the native stand-in through the key-echo window (tools/demo_keys.cpp) under X.
# Usage: tests/standin/run.sh [path/to/demo-keys]   (default /tmp/b-sdl/demo-keys)
# Starts its own Xvfb on :77 unless VIEWER_TEST_DISPLAY is set, in which case DISPLAY is used as given.
# Prints "N passed, N failed" and exits non-zero if any check failed.
HERE="$(cd "$(dirname "$0")" && pwd)"
DEMO_KEYS="${1:-${DEMO_KEYS:-/tmp/b-sdl/demo-keys}}"
. "$HERE/lib.sh"

if [ ! -x "$DEMO_KEYS" ]; then
  echo "no demo-keys at $DEMO_KEYS"
  echo "0 passed, 1 failed"
  exit 1
fi

OWN_DISPLAY=0
XVFB_PID=""
WM_PID=""
WORK="$(mktemp -d /tmp/standin-tests.XXXXXX)"

cleanup() {
  if [ -n "$WM_PID" ]; then kill "$WM_PID" 2>/dev/null; wait "$WM_PID" 2>/dev/null; fi
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

if [ -z "$VIEWER_TEST_DISPLAY" ]; then
  export DISPLAY=:77
  Xvfb :77 -screen 0 1024x768x24 -nolisten tcp > "$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  OWN_DISPLAY=1
  tries=0
  until xdpyinfo > /dev/null 2>&1 || xwininfo -root > /dev/null 2>&1; do
    tries=$((tries + 1))
    if [ $tries -gt 50 ]; then echo "Xvfb did not start"; echo "0 passed, 1 failed"; exit 1; fi
    sleep 0.1
  done
fi
export DISPLAY

for test in "$HERE"/test_*.sh; do
  . "$test"
done

echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
